// The terminal seam on POSIX: isatty on the standard descriptors.

#include <unistd.h>

#include "platform/terminal.h"

namespace converte::platform {

bool isTerminal(StandardStream stream) {
  switch (stream) {
    case StandardStream::Input: return ::isatty(STDIN_FILENO) == 1;
    case StandardStream::Output: return ::isatty(STDOUT_FILENO) == 1;
    case StandardStream::Error: return ::isatty(STDERR_FILENO) == 1;
  }
  return false;
}

}  // namespace converte::platform
