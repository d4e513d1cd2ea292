// Guarded steps: a block whose run-time errors end the block and are handed
// to the error reporter, after which the run carries on after the block.
// The end of the program passes through every guard.

#pragma once

#include <functional>

#include "errors/report/error_report.h"

namespace converte::driver {

struct RunContext;

// Thrown to end the program at once (exit status 0): the end of run after
// its viewer, and the index-file test of the company loop. No guard stops it.
struct ProgramEnd {};

// The reporter's environment for this run.
errors::ReportEnv& reportEnv(RunContext& run);

// Runs step; an error raised inside ends it and goes to HW_DEFERROR with
// false. Returns true when the step ran to its end.
bool guardedStep(RunContext& run, const std::function<void()>& step);

}  // namespace converte::driver
