// The system's command interpreter, for the log viewer's print action: the
// command text that opens a file in the application the system associates
// with it, and running a command text and waiting for the interpreter.
//
// Ownership: newSystemShell hands back a Shell the caller owns. Thread rule:
// one thread.

#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace converte::platform {

class Shell {
 public:
  Shell() = default;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  virtual ~Shell() = default;

  // The command text that opens file in its associated application and
  // returns at once, without waiting for that application.
  virtual std::string openFileCommand(std::string_view file) const = 0;
  // Runs command through the command interpreter and waits until the
  // interpreter returns; its exit status. An error when it cannot start.
  virtual Result<int> run(std::string_view command) = 0;
};

// The interpreter of this system: /bin/sh -c on POSIX.
std::unique_ptr<Shell> newSystemShell();

}  // namespace converte::platform
