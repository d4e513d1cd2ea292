// The terminal seam: a pipe on standard input is not a terminal, a
// pseudo-terminal is.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/terminal.h"

namespace converte::platform {
namespace {

// Puts fd on standard input for the test's lifetime.
class StandardInputAs {
 public:
  explicit StandardInputAs(int fd) : saved_(::dup(STDIN_FILENO)) { ::dup2(fd, STDIN_FILENO); }
  ~StandardInputAs() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

TEST(Terminal, APipeIsNotATerminal) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  {
    StandardInputAs input(fds[0]);
    EXPECT_FALSE(isTerminal(StandardStream::Input));
  }
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST(Terminal, APseudoTerminalIsATerminal) {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) GTEST_SKIP() << "no pseudo-terminals here";
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(slave, 0);
  {
    StandardInputAs input(slave);
    EXPECT_TRUE(isTerminal(StandardStream::Input));
  }
  ::close(slave);
  ::close(master);
}

}  // namespace
}  // namespace converte::platform
