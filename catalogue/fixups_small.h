// The script's small data fix-ups, each deciding from the data (mostly the
// first record) whether there is anything to do: duplicate codes (F1),
// company settings (F2), referential account codes (F3), the income-report
// flag of the payroll events (F5) and the sections' exoneration flag (F8).

#pragma once

#include <string>
#include <string_view>

namespace converte::driver {
struct RunContext;
}

namespace converte::catalogue {

// F1: LFDUPLIC's codes in six digits with leading zeros, when the first
// record's code is shorter than six characters.
void fixDuplicateCodes(driver::RunContext& run);
// F2: ARQ_PAR "S" when blank; the account-code length D_TAMMASC from
// TAMMASC, 14 when below 1 or when the company has no DADOS table.
void fixCompanySettings(driver::RunContext& run);
// F3: COD_SPED copied into a blank COD_FCONT of CTCONTAS.
void fixReferentialAccounts(driver::RunContext& run);
// F5: RAIS_EVE copied into DIRF_EVE of every event when the first event's
// DIRF_EVE is blank.
void fixIncomeReportFlag(driver::RunContext& run);
// F8: the company's exoneration flag copied into the only section record of
// SECAOVIG and then of SECAO.
void fixSectionExoneration(driver::RunContext& run);

// The numeric value of a code written in width digits with leading zeros: a
// code that does not begin with a digit (after leading blanks) counts as 0.
std::string zeroPaddedCode(std::string_view code, int width);

}  // namespace converte::catalogue
