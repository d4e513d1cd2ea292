// HW_DEFERROR and HW_DEFERRORA: pass over the ordinary outcomes, write the
// error log file, show the error dialog; when the dialog cannot be shown,
// report once more with a plain message box.
//
// The guards here catch std::exception only: anything else thrown through
// a dialog (the end of the program) is not an error of the report.

#include <exception>

#include "errors/gen_codes.h"
#include "errors/report/error_log_file.h"
#include "errors/report/error_report.h"
#include "errors/report/report_texts.h"

namespace converte::errors {
namespace {

namespace t = report_texts;

constexpr int kReportFailed = 1;
constexpr int kReported = 0;

// Errors the run takes as ordinary outcomes: nothing is written or shown.
// A division by zero, a table or file held open by another program when
// the raiser accepts a default, and a refused append lock likewise.
bool isSilent(const ErrorRecord& error) {
  if (error.genCode == kGenZeroDivision) return true;
  if (error.genCode == kGenOpen && error.osCode == platform::kOsSharingViolation && error.canDefault)
    return true;
  if (error.genCode == kGenAppendLock && error.canDefault) return true;
  return false;
}

// The last resort of a failed report: a box that may itself fail quietly.
void showReportFailed(ReportEnv& env) {
  try {
    env.ui.messageBox(t::kReportFailedTitle, t::kReportFailedText);
  } catch (const std::exception&) {
  }
}

int report(ReportEnv& env, const ErrorRecord& error, bool mode, bool again);

// HW_DEFERROR with the re-report mark: the report inside its own guard.
int guardedReport(ReportEnv& env, const ErrorRecord& error, bool mode, bool again) {
  int result = kReportFailed;
  try {
    result = report(env, error, mode, again);
  } catch (const std::exception&) {
    showReportFailed(env);
  }
  return result;
}

// HW_DEFERRORA with the re-report mark: again is set only while the second
// report of one error runs.
int report(ReportEnv& env, const ErrorRecord& error, bool mode, bool again) {
  if (isSilent(error)) return kReported;
  const platform::LocalTime when = env.clock.now();
  const std::string text = errorReportText(env, error, when);
  const std::string logName = errorLogFileName(when);
  (void)writeErrorLogFile(env, logName, text);  // a missing log file is passed over
  try {
    if (again) env.ui.messageBox(t::kSecondReportTitle, text);
    else ERRORPREVIEW(env, text, mode, logName);
  } catch (const std::exception&) {
    if (again) env.ui.messageBox("", t::kNoSecondReportText);
    else guardedReport(env, error, mode, true);
  }
  return kReported;
}

}  // namespace

int HW_DEFERROR(ReportEnv& env, const ErrorRecord& error, bool mode) {
  return guardedReport(env, error, mode, false);
}

int HW_DEFERRORA(ReportEnv& env, const ErrorRecord& error, bool mode) { return report(env, error, mode, false); }

}  // namespace converte::errors
