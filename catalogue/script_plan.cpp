// The rows of the migration script from the first catalogue step to the
// closing lines, and the calls of the larger fix-ups with the tests the
// script makes before each.

#include "catalogue/script_plan.h"

#include "catalogue/company_record.h"
#include "catalogue/fixups.h"
#include "catalogue/fixups_small.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"

namespace converte::catalogue {
namespace {

// The fix-ups gated on the recorded version run only for companies that
// were never migrated, or last migrated by a much older converter.
constexpr int kBeforeReferentialAccounts = 112;
constexpr int kBeforeVersion10 = 10;

void moveDependants(driver::RunContext& run) {
  if (tableFileExists(run, "FUNCIONA.DBF")) MGFUNCIONARIO(run);
}

void numberVacations(driver::RunContext& run) { MGFERFUN(run); }

void repairTerminations(driver::RunContext& run) {
  if (tableFileExists(run, "FORECISA.DBF")) C_FORECI(run);
}

void entryBookRates(driver::RunContext& run) { MGENTRADA(run); }

void assessmentMonths(driver::RunContext& run) {
  if (!tableFileExists(run, "LFAPICM.DBF")) return;
  storage::WorkArea& assessment = openExclusive(run, "LFAPICM");
  // A table without the month field raises a run-time error, as in any
  // fix-up that reads a field the table lacks.
  int month = requireField(assessment, "MES_ICM");
  if (assessment.fields()[static_cast<std::size_t>(month) - 1].length == 2) {
    MGAPICM(run);
  }
}

// A run-time error inside is reported and the script goes on.
void unionCodesAndHistory(driver::RunContext& run) {
  if (!tableFileExists(run, "SINDICAT.DBF")) return;
  driver::guardedStep(run, [&run] { MGESOCIAL(run); });
}

constexpr ScriptRow logLine(std::string_view text) {
  return {RowKind::LogLine, text, {}, nullptr, 0, false};
}
constexpr ScriptRow steps(std::string_view first, std::string_view last) {
  return {RowKind::Steps, first, last, nullptr, 0, false};
}
constexpr ScriptRow fixUp(std::string_view name, ScriptAction action, int gateBelow = 0,
                          bool closeAllAfter = false) {
  return {RowKind::Action, name, {}, action, gateBelow, closeAllAfter};
}
constexpr bool kCloseAll = true;

constexpr ScriptRow kPlan[] = {
    steps("C1", "C4"),
    logLine(kSectionTimeClock),
    steps("C5", "C8"),
    logLine(kSectionAccounting),
    steps("C9", "C12"),
    fixUp("F1", fixDuplicateCodes),
    steps("C13", "C13"),
    fixUp("F2", fixCompanySettings),
    steps("C14", "C19"),
    fixUp("F3", fixReferentialAccounts, kBeforeReferentialAccounts),
    steps("C20", "C29"),
    logLine(""),
    logLine(kSectionPayroll),
    fixUp("F4", moveDependants, kBeforeVersion10, kCloseAll),
    steps("C30", "C45"),
    fixUp("F5", fixIncomeReportFlag),
    steps("C46", "C51"),
    fixUp("F6", numberVacations),
    steps("C52", "C59"),
    fixUp("F7", repairTerminations, kBeforeVersion10, kCloseAll),
    steps("C60", "C66"),
    fixUp("F8", fixSectionExoneration),
    logLine(""),
    logLine(""),
    logLine(kSectionFiscalBooks),
    steps("C67", "C92"),
    fixUp("F9", entryBookRates, kBeforeVersion10),
    steps("C93", "C96"),
    fixUp("F10", assessmentMonths, kBeforeVersion10, kCloseAll),
    fixUp("F11", unionCodesAndHistory),
    fixUp("version", recordVersion),
    steps("C97", "C105"),
    logLine(kEndRule),
    logLine(kEndOfConversion),
    logLine(""),
};

}  // namespace

std::span<const ScriptRow> scriptPlan() { return kPlan; }

}  // namespace converte::catalogue
