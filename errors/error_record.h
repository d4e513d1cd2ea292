// The error record: what a failing operation raises and a guarded step
// catches, with the call levels that were active when it was raised.

#pragma once

#include <optional>
#include <ostream>
#include <source_location>
#include <string>
#include <vector>

namespace converte::errors {

enum Severity : int { kSeverityNone = 0, kSeverityWarning = 1, kSeverityError = 2, kSeverityCatastrophic = 3 };

struct CallLevel {
  std::string module;
  std::string function;
  int line = 0;

  static CallLevel from(const std::source_location& where);
  bool operator==(const CallLevel&) const = default;
};

struct ErrorRecord {
  int severity = kSeverityError;
  int genCode = 0;
  std::optional<std::string> subSystem;
  std::optional<int> subCode;
  int osCode = 0;
  std::optional<std::string> description;
  std::string fileName;
  std::string operation;
  bool canDefault = false;
  bool canRetry = false;
  // Innermost first: the raising function itself is the first entry.
  std::vector<CallLevel> callStack;

  bool operator==(const ErrorRecord&) const = default;
};

void PrintTo(const ErrorRecord& record, std::ostream* os);
std::ostream& operator<<(std::ostream& os, const ErrorRecord& record);

}  // namespace converte::errors
