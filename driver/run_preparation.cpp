// The run's preparation: defaults, the range from the two arguments (or
// "Parametros invalidos" and the range 1 to 1), or from the dialog; the run
// log opened with its first line; then the loop and the end of run.

#include "driver/run_preparation.h"

#include <climits>

#include "driver/company_loop.h"
#include "driver/context/end_of_run_texts.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/texts.h"
#include "errors/call_levels.h"
#include "platform/file_system.h"
#include "ui/company_range_form.h"
#include "ui/windows.h"

namespace converte::driver {
namespace {

bool isBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

void resetRunValues(RunContext& run) {
  run.M_AMB_GRAF = "1";
  run.MDRIVER.clear();
  run.MDRIVERBD.clear();
  run.M_NO_USERS = 2;
  run.VERROS = 0;
  run.VEMPINI = 1;
  run.VEMPFIM = 1;
  run.D_TAM_ITEM = 5;
}

void rangeFromArguments(RunContext& run, const std::optional<std::string>& first,
                        const std::optional<std::string>& last) {
  if (first && last && !isBlank(*first) && !isBlank(*last)) {
    run.VEMPINI = companyNumberOf(*first);
    run.VEMPFIM = companyNumberOf(*last);
    return;
  }
  run.services.ui.messageBox("", texts::kInvalidParameters);
}

}  // namespace

int companyNumberOf(std::string_view text) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) return 0;
  bool negative = false;
  if (text[at] == '-' || text[at] == '+') negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

bool XCV(RunContext& run) {
  errors::CallFrame frame("CONVERTE", "XCV");
  ui::CompanyRangeForm form(
      ui::CompanyRangeValues{run.VREINDEIXA, run.XDIR, run.VEMPINI, run.VEMPFIM, run.VCHECABD});
  const bool confirmed = run.services.ui.runCompanyRangeDialog(
      ui::companyRangeDialogSpec(run.resources, run.VTXMSG), form);
  const ui::CompanyRangeValues& chosen = form.values();
  run.VREINDEIXA = chosen.VREINDEIXA;
  run.XDIR = chosen.XDIR;
  run.VEMPINI = chosen.VEMPINI;
  run.VEMPFIM = chosen.VEMPFIM;
  run.VCHECABD = chosen.VCHECABD;
  return confirmed;
}

bool XDLGCONVERTE(RunContext& run, const std::optional<std::string>& first,
                  const std::optional<std::string>& last) {
  errors::CallFrame frame("CONVERTE", "XDLGCONVERTE");
  resetRunValues(run);
  if (first) {
    frame.at();
    guardedStep(run, [&] { rangeFromArguments(run, first, last); });
  } else if (!XCV(run)) {
    return false;
  }
  frame.at();
  run.log.open(platform::joinPath(run.services.workDir, end_of_run_texts::kRunLogName));
  MGLIGAMSG(run, texts::kRunStart);
  runCompanyLoop(run);
  afterCompanyLoop(run);
  return true;
}

}  // namespace converte::driver
