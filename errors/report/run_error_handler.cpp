// The run's answers to raised errors.

#include "errors/report/run_error_handler.h"

#include <utility>

#include "errors/gen_codes.h"
#include "platform/result.h"

namespace converte::errors {
namespace {

constexpr int kFileInUse = platform::kOsSharingViolation;

bool takesTheDefault(const ErrorRecord& record) {
  if (!record.canDefault) return false;
  if (record.genCode == kGenOpen && record.osCode == kFileInUse) return true;
  return record.genCode == kGenAppendLock;
}

}  // namespace

RunErrorHandler::RunErrorHandler(std::function<void()> setNetErr) : setNetErr_(std::move(setNetErr)) {}

Answer RunErrorHandler::handle(const ErrorRecord& record) {
  if (!takesTheDefault(record)) return Answer::Abandon;
  if (setNetErr_) setNetErr_();
  return Answer::Default;
}

}  // namespace converte::errors
