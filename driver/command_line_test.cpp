// The command line: options before the two company numbers.

#include "driver/command_line.h"

#include <gtest/gtest.h>

namespace converte::driver {
namespace {

TEST(CommandLine, OptionsComeBeforeTheCompanyNumbers) {
  CommandLine line = readCommandLine({"--ui=gui", "3", "7"});
  EXPECT_EQ(line.ui, UiChoice::Gui);
  EXPECT_EQ(line.first, "3");
  EXPECT_EQ(line.last, "7");
  EXPECT_TRUE(line.error.empty());

  line = readCommandLine({"-5", "--help", "9"});  // a number ends the options
  EXPECT_FALSE(line.help);
  EXPECT_EQ(line.first, "-5");
  EXPECT_EQ(line.last, "--help");

  line = readCommandLine({"--", "--x"});
  EXPECT_EQ(line.first, "--x");
  EXPECT_FALSE(line.last);

  line = readCommandLine({});
  EXPECT_FALSE(line.first);
  EXPECT_EQ(line.ui, UiChoice::Console);
}

TEST(CommandLine, UnknownOptionsAndBackendsAreErrors) {
  EXPECT_EQ(readCommandLine({"--ui=curses"}).error, "unknown user interface 'curses'");
  EXPECT_EQ(readCommandLine({"--verbose", "1", "2"}).error, "unknown option '--verbose'");
  EXPECT_TRUE(readCommandLine({"--version"}).version);
  EXPECT_TRUE(readCommandLine({"--help"}).help);
}

}  // namespace
}  // namespace converte::driver
