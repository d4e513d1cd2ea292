// The reindex request: after the loop, one call of the suite's automation
// server asks it to rebuild the indexes of the whole company range.

#pragma once

#include <string>

namespace converte::driver {

struct RunContext;

// GVEXEC_DLL_GARVIN: first and last are the company numbers right-aligned
// in three characters. Logs the request; a failure is reported and the run
// goes on.
void GVEXEC_DLL_GARVIN(RunContext& run, const std::string& first, const std::string& last);

}  // namespace converte::driver
