// Raising error records through the installed handler, and the guarded step
// that catches the abandoned ones.

#include "errors/error_handler.h"

#include <sstream>
#include <utility>

#include "errors/call_levels.h"

namespace converte::errors {

ErrorAbandoned::ErrorAbandoned(ErrorRecord record) : record_(std::move(record)) {
  std::ostringstream text;
  text << record_;
  what_ = text.str();
}

Answer raise(ErrorHandler& handler, ErrorRecord record) {
  appendActiveCallLevels(record);
  Answer answer = handler.handle(record);
  if (answer == Answer::Retry && record.canRetry) return Answer::Retry;
  if (answer == Answer::Default && record.canDefault) return Answer::Default;
  throw ErrorAbandoned(std::move(record));
}

bool guarded(const std::function<void()>& step,
             const std::function<void(const ErrorRecord&)>& recover) {
  try {
    step();
    return true;
  } catch (const ErrorAbandoned& abandoned) {
    recover(abandoned.record());
    return false;
  }
}

}  // namespace converte::errors
