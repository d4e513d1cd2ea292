// The company-record check at the start of a company and the recording of
// the migration version.

#include "catalogue/company_record.h"

#include <string>

#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/run_context.h"
#include "migration/text_format.h"

namespace converte::catalogue {
namespace {

constexpr std::string_view kCompanyTable = "DADOS";
constexpr std::string_view kCompanyFile = "DADOS.DBF";
constexpr std::string_view kUnionFile = "SINDICAT.DBF";

// Length of the first record's text field without trailing blanks; 0 when
// the table has no such field.
int rightTrimmedLength(storage::WorkArea& area, std::string_view field) {
  int position = area.fieldPos(field);
  if (position == 0) return 0;
  storage::FieldValue value = area.getField(position);
  if (!value.isString()) return 0;
  std::size_t end = value.string().find_last_not_of(' ');
  return end == std::string::npos ? 0 : static_cast<int>(end) + 1;
}

void logNewerVersion(driver::RunContext& run) {
  std::string version = migration::rightAligned(run.XVERSAOATUAL, 3);
  driver::MGLIGAMSG(run, std::string(kAlreadyConverted) + version);
  driver::MGLIGAMSG(run, std::string(kNeedNewerConverter) + version);
}

}  // namespace

CompanyState checkCompanyRecord(driver::RunContext& run) {
  run.D_TMASFIL = kDefaultBranchCodeLength;
  if (!tableFileExists(run, kCompanyFile)) {
    return tableFileExists(run, kUnionFile) ? CompanyState::Migrate : CompanyState::NoCompany;
  }
  storage::WorkArea& company = openExclusive(run, kCompanyTable);
  company.goTop();
  int version = company.fieldPos("GARVIN_VER");
  if (version != 0) run.XVERSAOATUAL = static_cast<int>(wholeNumber(company, version));
  if (run.XVERSAOATUAL > run.XVERGARVIN) {
    logNewerVersion(run);
    run.services.areas.closeArea();
    return CompanyState::MigratedByNewer;
  }
  int mask = rightTrimmedLength(company, "MASC_FIL");
  run.D_TMASFIL = mask == 0 ? kDefaultBranchCodeLength : mask;
  run.services.areas.closeArea();
  return CompanyState::Migrate;
}

void recordVersion(driver::RunContext& run) {
  if (!tableFileExists(run, kCompanyFile)) return;
  storage::WorkArea& company = openExclusive(run, kCompanyTable);
  int version = requireField(company, "GARVIN_VER");
  if (toFirstRecord(company)) {
    company.putField(version, storage::FieldValue(storage::Number::ofInteger(run.XVERGARVIN, 3)));
  }
  run.services.areas.closeArea();
}

}  // namespace converte::catalogue
