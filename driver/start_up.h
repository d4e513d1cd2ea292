// The program's entry: the run context's start-up values, the base
// directory from the settings file, the progress window, and the run.

#pragma once

#include <optional>
#include <string>

namespace converte::driver {

struct RunContext;

// Fills the run context with its start-up values: the start time, the
// banner, the window resources and the log viewer's geometry.
void startRunContext(RunContext& run);

// MAIN: first and last are the command line's two texts, when given.
// Returns when the settings value is invalid, the run was cancelled, or
// after a run-time error that reached its guard. The end of run and the
// index-file test end the program by throwing ProgramEnd through it.
void MAIN(RunContext& run, const std::optional<std::string>& first,
          const std::optional<std::string>& last);

}  // namespace converte::driver
