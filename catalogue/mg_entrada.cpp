// F9: the ICMS rate of every entry-book record taken from its rate code.
// Runs once in a company's life: the script calls it below version 10.

#include "catalogue/fixups.h"

namespace converte::catalogue {

// Placeholder until the fix-up is written: it does nothing and returns true.
bool MGENTRADA(driver::RunContext& /*run*/) { return true; }

}  // namespace converte::catalogue
