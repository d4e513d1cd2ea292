// Opening and closing the progress window, the small window without a bar
// that stays on the screen for the whole run; only the graphic display
// modes ("2", "3") create and close it.

#pragma once

namespace converte::driver {

struct RunContext;

// HW_INIBARRAPROGRESSO: resets the line counter and, in a graphic display
// mode, opens the progress window of that height. A failure is reported and
// the run goes on without the window. Returns true.
bool HW_INIBARRAPROGRESSO(RunContext& run, int height = 400, bool flag = false);
// HW_FIMBARRAPROGRESSO: closes the window in a graphic display mode.
bool HW_FIMBARRAPROGRESSO(RunContext& run);

}  // namespace converte::driver
