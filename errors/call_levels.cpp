// The thread's chain of active call levels: each frame links to the frame
// that was innermost when it was made.

#include "errors/call_levels.h"

#include <algorithm>

namespace converte::errors {
namespace {

thread_local const CallFrame* innermost = nullptr;

std::string moduleOf(const std::source_location& where) {
  return CallLevel::from(where).module;
}

}  // namespace

CallFrame::CallFrame(std::string_view module, std::string_view function,
                     const std::source_location& where)
    : level_{std::string(module), std::string(function), static_cast<int>(where.line())},
      outer_(innermost) {
  innermost = this;
}

CallFrame::CallFrame(std::string_view function, const std::source_location& where)
    : CallFrame(moduleOf(where), function, where) {}

CallFrame::~CallFrame() { innermost = outer_; }

void CallFrame::at(const std::source_location& where) { level_.line = static_cast<int>(where.line()); }

std::vector<CallLevel> activeCallLevels() {
  std::vector<CallLevel> levels;
  for (const CallFrame* frame = innermost; frame != nullptr; frame = frame->outer_)
    levels.push_back(frame->level());
  return levels;
}

void appendActiveCallLevels(ErrorRecord& record) {
  std::vector<CallLevel> levels = activeCallLevels();
  if (levels.empty()) return;
  auto& stack = record.callStack;
  if (stack.size() >= levels.size() &&
      std::equal(levels.begin(), levels.end(), stack.end() - static_cast<std::ptrdiff_t>(levels.size())))
    return;
  stack.insert(stack.end(), levels.begin(), levels.end());
}

}  // namespace converte::errors
