// Guarded steps and the reporter's environment of the run: an error raised
// inside a step is reported through HW_DEFERROR and the run goes on after
// the step; any other exception becomes an error record first, so that no
// failure ends the program unreported. The end of the program passes.

#include "driver/context/guarded.h"

#include <exception>
#include <memory>
#include <string>

#include "driver/context/run_context.h"
#include "driver/context/version.h"
#include "errors/call_levels.h"

namespace converte::driver {
namespace {

// The subsystem named in the report of a failure that was not raised as
// an error record (memory exhausted, an internal fault).
constexpr const char* kUnexpectedSubsystem = "CONVERTE";

std::string versionLine(const RunContext& run) {
  return std::string(kProgramName) + " " + std::string(kProgramVersion) + ", UI " +
         run.services.ui.name() + ", " + std::string(kCompiler);
}

errors::ErrorRecord recordOf(std::string_view what) {
  errors::ErrorRecord record;
  record.severity = errors::kSeverityError;
  record.subSystem = kUnexpectedSubsystem;
  record.description = std::string(what);
  errors::appendActiveCallLevels(record);
  return record;
}

void report(RunContext& run, const errors::ErrorRecord& record) {
  errors::HW_DEFERROR(reportEnv(run), record, false);
}

}  // namespace

errors::ReportEnv& reportEnv(RunContext& run) {
  RunServices& services = run.services;
  if (!run.report) {
    run.report = std::make_unique<errors::ReportEnv>(errors::ReportEnv{
        services.fs, services.clock, services.ui, services.workDir, run.resources, versionLine(run)});
  }
  // Resources are fixed at start-up, possibly after the first use.
  run.report->resources = run.resources;
  return *run.report;
}

bool guardedStep(RunContext& run, const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const ProgramEnd&) {
    throw;
  } catch (const errors::ErrorAbandoned& abandoned) {
    report(run, abandoned.record());
  } catch (const std::exception& failure) {
    report(run, recordOf(failure.what()));
  } catch (...) {
    report(run, recordOf("unknown failure"));
  }
  return false;
}

}  // namespace converte::driver
