// The end of every run that reached the company loop: tables closed, the
// summary logged, the log closed and shown in the log viewer, the program
// ended. Also the viewer itself and its print action.

#pragma once

#include <string>

namespace converte::driver {

struct RunContext;

// MGSAIR: ends the run after a failed step (error flag true). Does not return.
[[noreturn]] void MGSAIR(RunContext& run, bool errorFlag);
// MGSAIR2: the end-of-run sequence. Does not return (throws ProgramEnd).
[[noreturn]] void MGSAIR2(RunContext& run, bool errorFlag = false);
// VIS_TXT: shows a text file in the log viewer; true once it is closed.
bool VIS_TXT(RunContext& run, const std::string& fileName);
// SIMPREL: opens the file in the application associated with it.
bool SIMPREL(RunContext& run, const std::string& fileName);
// ERUN: runs command through the system's command interpreter and waits.
void ERUN(RunContext& run, const std::string& command);

}  // namespace converte::driver
