// F10: the two-digit month of the ICMS assessment table widened and
// rewritten as month and year, the year taken from the company's initial
// period.

#include <cstdio>
#include <string>

#include "catalogue/fixups.h"
#include "catalogue/fixups_small.h"
#include "catalogue/script_tables.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/table_migration.h"

namespace converte::catalogue {
namespace {

constexpr int kMonthWidth = 7;  // "mm/yyyy"

// The year of the first company record's initial period; 0 when it is empty.
int initialPeriodYear(driver::RunContext& run) {
  storage::WorkArea& company = openExclusive(run, "DADOS");
  int period = requireField(company, "PERINICIAL");
  int year = 0;
  if (toFirstRecord(company)) {
    storage::FieldValue value = company.getField(period);
    if (value.isDate()) year = value.date().year;
  }
  run.services.areas.closeArea();
  return year;
}

// "mm/yyyy": the month's numeric value in two digits, the year in four.
std::string monthOfYear(std::string_view month, int year) {
  char yearText[16];
  std::snprintf(yearText, sizeof yearText, "%04d", year);
  return zeroPaddedCode(month, 2) + "/" + yearText;
}

}  // namespace

bool MGAPICM(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "MGAPICM");
  run.services.areas.closeArea();  // the script leaves LFAPICM open here
  migration::MGCONVERTE(run, "LFAPICM", std::nullopt,
                        storage::Structure{{"MES_ICM", "C", kMonthWidth, 0, {}}});
  const int year = initialPeriodYear(run);
  storage::WorkArea& assessment = openExclusive(run, "LFAPICM");
  int month = requireField(assessment, "MES_ICM");
  forEachRecord(assessment, [&] {
    storage::FieldValue value = assessment.getField(month);
    std::string_view text = value.isString() ? std::string_view(value.string()) : "";
    putText(assessment, month, monthOfYear(text, year));
  });
  run.services.areas.closeAll();
  return true;
}

}  // namespace converte::catalogue
