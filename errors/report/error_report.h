// The program's one error reporter: it passes over the errors the run takes
// as ordinary outcomes, and for every other error writes the report text to
// an error log file in the working directory and shows the error dialog.

#pragma once

#include <string>

#include "errors/error_record.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "ui/ui.h"
#include "ui/window_spec.h"

namespace converte::errors {

// What a report needs from the run.
struct ReportEnv {
  platform::FileSystem& fs;
  platform::Clock& clock;
  ui::Ui& ui;
  std::string workDir;        // where the error log files go
  ui::Resources resources;    // EBTNVOLTAR, MCORFRENTE
  std::string versionLine;    // line 5 of the report text
};

// HW_DEFERROR: reports error; mode is false in every call of the program.
// Returns 0 for a division by zero, 1 (true) when the report itself
// failed, 0 (false) otherwise. It never throws a std::exception; other
// exceptions (the end of the program) pass through.
int HW_DEFERROR(ReportEnv& env, const ErrorRecord& error, bool mode);
// HW_DEFERRORA: the report proper.
int HW_DEFERRORA(ReportEnv& env, const ErrorRecord& error, bool mode);
// ERRORPREVIEW: the error dialog, titled with the error log file's name;
// its Log button opens the text viewer. Returns when it is closed.
void ERRORPREVIEW(ReportEnv& env, const std::string& text, bool mode, const std::string& title);
// XLOGDIVERGENCIA: the text viewer on the report text.
void XLOGDIVERGENCIA(ReportEnv& env, const std::string& text, const std::string& title);
// ERRORMESSAGE: the first line of the report.
std::string ERRORMESSAGE(const ErrorRecord& error);
// The whole report text, lines separated by CR LF, dated now or when.
std::string errorReportText(ReportEnv& env, const ErrorRecord& error);
std::string errorReportText(const ReportEnv& env, const ErrorRecord& error,
                            const platform::LocalTime& when);
// LOGSITUACAO__<mmddyy>_<hhmmss>.log for the moment given.
std::string errorLogFileName(const platform::LocalTime& when);

}  // namespace converte::errors
