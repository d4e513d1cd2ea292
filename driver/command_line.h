// The program's command line: `converte [options] [first last]`, options
// before the positional company numbers.

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace converte::driver {

enum class UiChoice { Console, Gui };

struct CommandLine {
  bool help = false;
  bool version = false;
  UiChoice ui = UiChoice::Console;
  std::optional<std::string> first;
  std::optional<std::string> last;
  // What was wrong with the options, for the operator; the program then
  // prints the usage and ends.
  std::string error;
};

// Reads the arguments after the program name. "--" ends the options; the
// first argument that does not begin with "--" is the first company number
// (a negative number is therefore a number). Arguments after the second
// number are not used.
CommandLine readCommandLine(const std::vector<std::string>& arguments);

// The usage text --help prints.
std::string usageText();

}  // namespace converte::driver
