// Another program started by this one, spoken to through its standard input
// and output one line at a time (the second process of the sharing tests,
// and any helper program the run starts).

#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace converte::platform {

class ChildProcess {
 public:
  virtual ~ChildProcess() = default;

  // Writes text and a newline to the child's input.
  virtual Status writeLine(const std::string& text) = 0;
  // The next line of the child's output without its newline; an error at
  // the end of the output.
  virtual Result<std::string> readLine() = 0;
  // Closes the child's input and waits for it to end; its exit status.
  virtual Result<int> wait() = 0;
};

// Starts program (a path) with arguments. The child's standard error is
// the parent's.
Result<std::unique_ptr<ChildProcess>> startChildProcess(const std::string& program,
                                                        const std::vector<std::string>& arguments);

}  // namespace converte::platform
