// F11: union codes brought to five digits and the employee history tables
// of eSocial created and filled.

#include "catalogue/fixups.h"

namespace converte::catalogue {

// Placeholder until the fix-up is written: it does nothing.
void MGESOCIAL(driver::RunContext& /*run*/) {}

}  // namespace converte::catalogue
