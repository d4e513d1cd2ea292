// Error records: call levels from source locations, and a printable form for
// test diagnostics.

#include "errors/error_record.h"

namespace converte::errors {

CallLevel CallLevel::from(const std::source_location& where) {
  std::string module = where.file_name();
  if (auto slash = module.find_last_of("/\\"); slash != std::string::npos) module.erase(0, slash + 1);
  return CallLevel{module, where.function_name(), static_cast<int>(where.line())};
}

std::ostream& operator<<(std::ostream& os, const ErrorRecord& r) {
  os << "ErrorRecord{severity=" << r.severity << " genCode=" << r.genCode
     << " subSystem=" << r.subSystem.value_or("(none)") << " subCode="
     << (r.subCode ? std::to_string(*r.subCode) : "(none)") << " osCode=" << r.osCode
     << " description=" << r.description.value_or("(none)") << " fileName=" << r.fileName
     << " operation=" << r.operation << " canDefault=" << r.canDefault
     << " canRetry=" << r.canRetry << " callStack=[";
  for (const auto& level : r.callStack)
    os << level.module << "->" << level.function << "(" << level.line << ") ";
  return os << "]}";
}

void PrintTo(const ErrorRecord& record, std::ostream* os) { *os << record; }

}  // namespace converte::errors
