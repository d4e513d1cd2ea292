// The sample-company generator: catalogue tables in an older structure with the data the fix-ups
// read. FODEPEND only for seeds that are multiples of 3: the other companies keep their dependants
// in the employee table's columns alone, which the dependants fix-up moves out.

#pragma once

#include <cstdint>
#include <string>

namespace converte::sample {
struct CompanyOptions {
  std::uint32_t seed = 1;          // chooses which catalogue fields are missing or at another length
  std::uint64_t records = 20000;   // records in all tables together (about)
};
// Writes one company directory (created when missing) holding all 73 tables that the catalogue
// names, in an older structure, and the company record (DADOS first record without GARVIN_VER).
// Deterministic for a given seed and size. Throws std::runtime_error on failure.
void writeCompany(const std::string& directory, const CompanyOptions& options);
// Writes <workDir>/GARVIN.INI naming <workDir>/GARV as base, and companies first..last under it
// (company n with seed options.seed + n).
void writeBase(const std::string& workDir, int first, int last, const CompanyOptions& options);
}
