// The progress window's opening and closing, by the display mode.

#include "driver/context/progress_window.h"

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "ui/windows.h"

namespace converte::driver {
namespace {

bool isGraphic(const RunContext& run) { return run.M_AMB_GRAF == "2" || run.M_AMB_GRAF == "3"; }

}  // namespace

bool HW_INIBARRAPROGRESSO(RunContext& run, int height, bool /*flag*/) {
  errors::CallFrame frame("CONVERTE", "HW_INIBARRAPROGRESSO");
  guardedStep(run, [&] {
    run.M_OINDICES = 0;
    if (!isGraphic(run)) return;
    run.M_ODLG_PROG = run.services.ui.openProgressWindow(ui::progressWindowSpec(run.resources, height));
  });
  return true;
}

bool HW_FIMBARRAPROGRESSO(RunContext& run) {
  errors::CallFrame frame("CONVERTE", "HW_FIMBARRAPROGRESSO");
  if (!isGraphic(run)) return true;
  if (run.M_ODLG_PROG) run.M_ODLG_PROG->close();
  run.M_ODLG_PROG.reset();
  return true;
}

}  // namespace converte::driver
