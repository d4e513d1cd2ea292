// Running another program to its end: started with its standard input and
// output on the null device (its standard error is ours), waited for, its
// exit status handed back. Used by the command interpreter and the
// automation server.

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace converte::platform::posix {

// Runs program (a path) with arguments and waits for it. The exit status,
// or 128 + the signal number when a signal ended it; an error when it could
// not be started.
Result<int> runAndWait(const std::string& program, const std::vector<std::string>& arguments);

// The path of an executable file: name itself when it holds a `/`, else the
// first directory of PATH that holds it. Empty when there is none.
std::optional<std::string> findExecutable(const std::string& name);

}  // namespace converte::platform::posix
