// FOESTRU, the migration script for one company directory: the start of
// the company (log lines, progress window, duplicate-field check, leftover
// table copies, company-record check, compaction), then the script's rows.

#include "catalogue/script.h"

#include <string>

#include "catalogue/company_record.h"
#include "catalogue/messages.h"
#include "catalogue/script_plan.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"
#include "migration/text_format.h"

namespace converte::catalogue {
namespace {

void startScriptContext(driver::RunContext& run) {
  run.XVERSAOATUAL = 0;
  run.VNCAMPOS.clear();
  run.VALTCAMPOS.clear();
  run.D_TMASFIL = kDefaultBranchCodeLength;
  run.D_TAMMASC = kDefaultAccountCodeLength;
}

void announceCompany(driver::RunContext& run) {
  driver::MGLIGAMSG(run, kCompanyRule);
  driver::MGLIGAMSG(run, std::string(kCompanyLine) + run.M_PAT);
  if (run.M_ODLG_PROG) {
    run.M_ODLG_PROG->setLine(ui::ProgressLine::Banner, migration::trimmedBlanks(run.VTXMSG));
    run.M_ODLG_PROG->setLine(ui::ProgressLine::Company,
                             std::string(kDirectoryLine) + migration::trimmedBlanks(run.M_PAT));
  }
  driver::MGLIGAMSG(run, kCheckingTables);
}

}  // namespace

bool FOESTRU(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "FOESTRU");
  startScriptContext(run);
  announceCompany(run);
  frame.at();
  if (run.VCHECABD == "S") migration::ARQ_CH_DUPL(run);
  frame.at();
  migration::ENOVOAPAGAARQ(run, run.M_PAT + std::string(kCopyPattern));
  frame.at();
  switch (checkCompanyRecord(run)) {
    case CompanyState::NoCompany:
      return false;
    case CompanyState::MigratedByNewer:
      return true;
    case CompanyState::Migrate:
      break;
  }
  driver::MGLIGAMSG(run, "");
  frame.at();
  migration::COMPACTADADOS(run);
  frame.at();
  runScriptPlan(run, scriptPlan());
  return true;
}

}  // namespace converte::catalogue
