// F10: the two-digit month of the ICMS assessment table widened and
// rewritten as month and year.

#include "catalogue/fixups.h"

namespace converte::catalogue {

// Placeholder until the fix-up is written: it does nothing and returns true.
bool MGAPICM(driver::RunContext& /*run*/) { return true; }

}  // namespace converte::catalogue
