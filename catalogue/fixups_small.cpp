// The small fix-ups of the migration script. Each opens the tables it needs
// for exclusive use and closes them again before the next step.

#include "catalogue/fixups_small.h"

#include <algorithm>

#include "catalogue/company_record.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/run_context.h"

namespace converte::catalogue {
namespace {

constexpr int kDuplicateCodeWidth = 6;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Puts the value into the field of the table's only record; a table with
// more or fewer records (deleted ones included) is left as it is.
bool putIntoOnlyRecord(storage::WorkArea& area, std::string_view field,
                       const storage::FieldValue& value) {
  if (area.recCount() != 1) return false;
  int position = requireField(area, field);
  if (toFirstRecord(area)) area.putField(position, value);
  return true;
}

}  // namespace

std::string zeroPaddedCode(std::string_view code, int width) {
  std::size_t at = code.find_first_not_of(' ');
  std::string digits;
  for (; at < code.size() && isDigit(code[at]); ++at) digits += code[at];
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  if (digits.size() >= static_cast<std::size_t>(width)) return digits;
  return std::string(static_cast<std::size_t>(width) - digits.size(), '0') + digits;
}

void fixDuplicateCodes(driver::RunContext& run) {
  // A company without duplicates has nothing to convert.
  if (!tableFileExists(run, "LFDUPLIC.DBF")) return;
  storage::WorkArea& duplicates = openExclusive(run, "LFDUPLIC");
  int code = requireField(duplicates, "CODIGO_DUP");
  toFirstRecord(duplicates);
  if (trimmedText(duplicates, code).size() < kDuplicateCodeWidth) {
    forEachRecord(duplicates, [&] {
      storage::FieldValue value = duplicates.getField(code);
      std::string_view text = value.isString() ? std::string_view(value.string()) : "";
      putText(duplicates, code, zeroPaddedCode(text, kDuplicateCodeWidth));
    });
  }
  run.services.areas.closeArea();
}

void fixCompanySettings(driver::RunContext& run) {
  run.D_TAMMASC = kDefaultAccountCodeLength;
  // A company of payroll only has no company record to read.
  if (!tableFileExists(run, "DADOS.DBF")) return;
  storage::WorkArea& company = openExclusive(run, "DADOS");
  int settings = requireField(company, "ARQ_PAR");
  int maskLength = requireField(company, "TAMMASC");
  if (toFirstRecord(company)) {
    if (trimmedText(company, settings).empty()) putText(company, settings, "S");
    long long length = wholeNumber(company, maskLength);
    if (length >= 1) run.D_TAMMASC = static_cast<int>(length);
  }
  run.services.areas.closeArea();
}

void fixReferentialAccounts(driver::RunContext& run) {
  if (!tableFileExists(run, "CTCONTAS.DBF")) return;
  storage::WorkArea& accounts = openExclusive(run, "CTCONTAS");
  driver::MGLIGAMSG(run, kConvertingReferentialAccounts);
  int sped = requireField(accounts, "COD_SPED");
  int fcont = requireField(accounts, "COD_FCONT");
  forEachRecord(accounts, [&] {
    if (!trimmedText(accounts, sped).empty() && trimmedText(accounts, fcont).empty()) {
      accounts.putField(fcont, accounts.getField(sped));
    }
  });
  run.services.areas.closeArea();
}

void fixIncomeReportFlag(driver::RunContext& run) {
  if (!tableFileExists(run, "EVENTOS.DBF")) return;
  storage::WorkArea& events = openExclusive(run, "EVENTOS");
  int incomeReport = requireField(events, "DIRF_EVE");
  int annualReport = requireField(events, "RAIS_EVE");
  if (toFirstRecord(events) && trimmedText(events, incomeReport).empty()) {
    forEachRecord(events, [&] { events.putField(incomeReport, events.getField(annualReport)); });
  }
  run.services.areas.closeArea();
}

void fixSectionExoneration(driver::RunContext& run) {
  // A company of payroll only has no exoneration flag to copy.
  if (!tableFileExists(run, "DADOS.DBF")) return;
  storage::WorkArea& company = openExclusive(run, "DADOS");
  int exoneration = requireField(company, "EXONERACAO");
  toFirstRecord(company);
  storage::FieldValue flag = company.getField(exoneration);
  if (trimmedText(company, exoneration) == "S" && tableFileExists(run, "SECAOVIG.DBF")) {
    if (putIntoOnlyRecord(openExclusive(run, "SECAOVIG"), "EXONER_SEC", flag) &&
        tableFileExists(run, "SECAO.DBF")) {
      putIntoOnlyRecord(openExclusive(run, "SECAO"), "EXONER_SEC", flag);
    }
  }
  run.services.areas.closeAll();
}

}  // namespace converte::catalogue
