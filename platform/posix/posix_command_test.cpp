// The command interpreter and the run-and-wait helper on POSIX: exit
// statuses, a program that cannot be started, and the PATH lookup.

#include <gtest/gtest.h>

#include <string>

#include "platform/command.h"
#include "platform/posix/run_and_wait.h"
#include "tests/support/temp_dir.h"

namespace converte::platform {
namespace {

TEST(PosixShell, RunsTheCommandTextAndWaitsForItsStatus) {
  auto shell = newSystemShell();
  testing::TempDir dir;
  auto status = shell->run("printf 'it ran' > '" + dir.file("out") + "'; exit 3");
  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 3);
  EXPECT_EQ(testing::readFileBytes(dir.file("out")), "it ran");
  status = shell->run("kill -9 $$");
  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 128 + 9);
}

TEST(PosixShell, TheOpenCommandQuotesTheFileAsOneWord) {
  auto shell = newSystemShell();
  EXPECT_EQ(shell->openFileCommand("./it's here.txt"),
            "xdg-open './it'\\''s here.txt' </dev/null >/dev/null 2>&1 &");
}

TEST(RunAndWait, AProgramThatCannotStartIsAnErrorAndThePathIsSearched) {
  testing::TempDir dir;
  auto missing = posix::runAndWait(dir.file("program"), {});
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().osCode, kOsFileNotFound);
  EXPECT_EQ(posix::runAndWait("/nonexistent/program", {}).error().osCode, kOsPathNotFound);
  auto sh = posix::findExecutable("sh");
  ASSERT_TRUE(sh);
  EXPECT_EQ(sh->back(), 'h');
  EXPECT_FALSE(posix::findExecutable("no-such-program-anywhere"));
  EXPECT_FALSE(posix::findExecutable("/etc/passwd"));  // not executable
  EXPECT_FALSE(posix::findExecutable(""));
}

}  // namespace
}  // namespace converte::platform
