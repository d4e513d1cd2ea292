// The company loop: for each company number of the range, the company
// directory made the default directory, the leftovers of earlier runs and
// the index files deleted, the migration script run; after the loop, the
// reindex request and the end of run.

#pragma once

#include <string>
#include <string_view>

namespace converte::driver {

struct RunContext;

// The company directory of number n under the base directory (trimmed).
std::string companyDirectory(std::string_view base, long long n);

// Walks the range VEMPINI to VEMPFIM. Ends the program (ProgramEnd) when
// index files survive their deletion.
void runCompanyLoop(RunContext& run);
// The reindex request when chosen, then MGSAIR2. Does not return.
[[noreturn]] void afterCompanyLoop(RunContext& run);

// XRUN: deletes every file matching the path pattern. True.
bool XRUN(RunContext& run, std::string_view pattern);
// EFILE: whether the file exists, or for a name with `*` or `?` whether
// any file matches it (unqualified: default directory, then the search
// path).
bool EFILE(RunContext& run, std::string_view name);

// n right-aligned in three characters; "***" when it does not fit.
std::string threeCharacters(long long n);

}  // namespace converte::driver
