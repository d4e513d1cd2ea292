// The company record, the first record of the company's DADOS table: the
// check at the start of a company (recorded version, branch-code length)
// and the recording of this release's version at the end.

#pragma once

namespace converte::driver {
struct RunContext;
}

namespace converte::catalogue {

enum class CompanyState {
  Migrate,          // go on with the script
  MigratedByNewer,  // recorded by a newer converter: leave the company as it is
  NoCompany,        // neither DADOS.DBF nor SINDICAT.DBF
};

// Reads the recorded version into XVERSAOATUAL (0 without DADOS or without
// GARVIN_VER) and the branch-code length into D_TMASFIL (3 when the mask is
// blank or missing). Logs the two lines of a company recorded by a newer
// converter.
CompanyState checkCompanyRecord(driver::RunContext& run);

// Sets the first record's GARVIN_VER to XVERGARVIN when DADOS.DBF exists.
void recordVersion(driver::RunContext& run);

// The lengths a company without a usable company record works with.
inline constexpr int kDefaultBranchCodeLength = 3;
inline constexpr int kDefaultAccountCodeLength = 14;

}  // namespace converte::catalogue
