// F6: the vacation records numbered and their day counts filled in, the
// last number kept in GVCHAVES.

#include "catalogue/fixups.h"

namespace converte::catalogue {

// Placeholder until the fix-up is written: it does nothing and returns true.
bool MGFERFUN(driver::RunContext& /*run*/) { return true; }

}  // namespace converte::catalogue
