// The converte program: reads the command line, builds the real platform
// objects, the user interface, the storage layer and the run context, and
// runs MAIN. The exit status is 0 whatever happens.

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/context/version.h"
#include "driver/start_up.h"
#include "errors/report/run_error_handler.h"
#include "platform/automation.h"
#include "platform/command.h"
#include "platform/system.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"
#include "ui/console/console_ui.h"

namespace {

using namespace converte;

// Runs the migration with the real objects; the working directory is the
// process's current directory.
void runConverte(const driver::CommandLine& line) {
  auto fs = platform::newSystemFileSystem();
  auto clock = platform::newSystemClock();
  auto shell = platform::newSystemShell();
  auto automation = platform::newSystemAutomation();
  std::unique_ptr<ui::Ui> ui = ui::newConsoleUi();

  storage::WorkAreaList* areasOfRun = nullptr;
  errors::RunErrorHandler handler([&] {
    if (areasOfRun) areasOfRun->netErr(true);
  });
  storage::StorageEnv env(*fs, *clock, handler);
  storage::WorkAreaList areas(env);
  areasOfRun = &areas;

  driver::RunContext run(
      driver::RunServices{*fs, *clock, *ui, env, areas, ".", shell.get(), automation.get()});
  try {
    driver::MAIN(run, line.first, line.last);
  } catch (const driver::ProgramEnd&) {
  }
  run.log.close();
}

int program(const std::vector<std::string>& arguments) {
  driver::CommandLine line = driver::readCommandLine(arguments);
  if (!line.error.empty()) {
    std::cerr << "converte: " << line.error << "\n\n" << driver::usageText();
    return 0;
  }
  if (line.help) {
    std::cout << driver::usageText();
    return 0;
  }
  if (line.version) {
    std::cout << driver::kProgramName << ' ' << driver::kProgramVersion << '\n';
    return 0;
  }
  if (line.ui == driver::UiChoice::Gui)
    std::cerr << "converte: the desktop interface is not built yet; using the console\n";
  runConverte(line);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return program(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& failure) {
    std::cerr << "converte: " << failure.what() << '\n';
  } catch (...) {
    std::cerr << "converte: unexpected failure\n";
  }
  return 0;
}
