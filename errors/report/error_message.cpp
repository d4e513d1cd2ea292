// ERRORMESSAGE: the first line of an error report, from the record's
// severity, component, component code, description and file or operation.

#include <string>

#include "errors/report/error_report.h"
#include "errors/report/report_texts.h"

namespace converte::errors {

std::string ERRORMESSAGE(const ErrorRecord& error) {
  namespace t = report_texts;
  std::string line(error.severity > kSeverityWarning ? t::kError : t::kWarning);
  line += ' ';
  line += error.subSystem ? *error.subSystem : std::string(t::kUnknown);
  line += '/';
  line += error.subCode ? std::to_string(*error.subCode) : std::string(t::kUnknown);
  if (error.description) line += "  " + *error.description;
  if (!error.fileName.empty()) line += ": " + error.fileName;
  else if (!error.operation.empty()) line += ": " + error.operation;
  return line;
}

}  // namespace converte::errors
