// The error log file: the report text in Windows-1252 followed by the
// end-of-file byte 26, created anew in the working directory.

#pragma once

#include <string>

#include "errors/report/error_report.h"

namespace converte::errors {

// Writes the file; false when it could not be created or written (the
// report goes on without it).
bool writeErrorLogFile(ReportEnv& env, const std::string& name, const std::string& text);

}  // namespace converte::errors
