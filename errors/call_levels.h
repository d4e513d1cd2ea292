// Call levels: each operation that should appear in an error report
// registers itself on entry with a CallFrame; an error raised while frames
// are active carries them, innermost first, after the raiser's own level.
//
// Thread rule: the active levels are per thread; a frame must be destroyed
// on the thread that made it, in reverse order of creation (automatic
// storage guarantees both).

#pragma once

#include <source_location>
#include <string>
#include <string_view>
#include <vector>

#include "errors/error_record.h"

namespace converte::errors {

// Registers one call level for the lifetime of the object.
//   errors::CallFrame frame("MIGRATION", "MGCONVERTE");
// The line defaults to the line where the frame is made; the module of the
// one-argument form defaults to the source file's base name.
class CallFrame {
 public:
  CallFrame(std::string_view module, std::string_view function,
            const std::source_location& where = std::source_location::current());
  explicit CallFrame(std::string_view function,
                     const std::source_location& where = std::source_location::current());
  ~CallFrame();
  CallFrame(const CallFrame&) = delete;
  CallFrame& operator=(const CallFrame&) = delete;

  // Moves the level's line to where the function is now (before a call that
  // may fail), so that the report names the line of that call.
  void at(const std::source_location& where = std::source_location::current());

  const CallLevel& level() const { return level_; }

 private:
  friend std::vector<CallLevel> activeCallLevels();

  CallLevel level_;
  const CallFrame* outer_;
};

// The levels active on this thread, innermost first.
std::vector<CallLevel> activeCallLevels();

// Appends the active levels to record.callStack, after the levels already
// there (the raiser's own). Nothing when they are already its last entries,
// so a record passed through two raisers carries them once.
void appendActiveCallLevels(ErrorRecord& record);

}  // namespace converte::errors
