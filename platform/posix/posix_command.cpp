// The command interpreter on POSIX: /bin/sh -c with the command text, and
// xdg-open, sent to the background, to open a file in its associated
// application.

#include <memory>
#include <string>

#include "platform/command.h"
#include "platform/posix/run_and_wait.h"

namespace converte::platform {
namespace {

// The text as one word of the shell: in single quotes, each quote in it
// written as '\''.
std::string shellWord(std::string_view text) {
  std::string word = "'";
  for (char c : text) {
    if (c == '\'')
      word += "'\\''";
    else
      word += c;
  }
  return word + "'";
}

class PosixShell final : public Shell {
 public:
  std::string openFileCommand(std::string_view file) const override {
    return "xdg-open " + shellWord(file) + " </dev/null >/dev/null 2>&1 &";
  }

  Result<int> run(std::string_view command) override {
    return posix::runAndWait("/bin/sh", {"-c", std::string(command)});
  }
};

}  // namespace

std::unique_ptr<Shell> newSystemShell() { return std::make_unique<PosixShell>(); }

}  // namespace converte::platform
