// Reading the command line's options and company numbers.

#include "driver/command_line.h"

#include <string_view>

namespace converte::driver {
namespace {

constexpr std::string_view kUiOption = "--ui=";

bool readOption(const std::string& argument, CommandLine& line) {
  if (argument == "--help") {
    line.help = true;
  } else if (argument == "--version") {
    line.version = true;
  } else if (argument.rfind(kUiOption, 0) == 0) {
    std::string_view backend = std::string_view(argument).substr(kUiOption.size());
    if (backend == "console") line.ui = UiChoice::Console;
    else if (backend == "gui") line.ui = UiChoice::Gui;
    else line.error = "unknown user interface '" + std::string(backend) + "'";
  } else {
    line.error = "unknown option '" + argument + "'";
  }
  return line.error.empty();
}

}  // namespace

CommandLine readCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument.rfind("--", 0) == 0) {
      if (!readOption(argument, line)) return line;
    } else {
      options = false;
      if (!line.first) line.first = argument;
      else if (!line.last) line.last = argument;
    }
  }
  return line;
}

std::string usageText() {
  return "usage: converte [options] [first last]\n"
         "\n"
         "Brings the tables of the company directories FIRMA<first> to FIRMA<last>\n"
         "under the base directory of GARVIN.INI (in the working directory) to the\n"
         "structure of this release, and writes the run log converte.txt there.\n"
         "Without the two company numbers the company-range dialog asks for them.\n"
         "\n"
         "options:\n"
         "  --help          show this text and end\n"
         "  --version       show the program's version and end\n"
         "  --ui=console    the program's windows on the terminal (the default)\n"
         "  --ui=gui        the program's windows on the desktop\n";
}

}  // namespace converte::driver
