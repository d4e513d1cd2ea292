// The suite's automation server on POSIX: the object "GARVIN" is a program,
// the one named by GARVIN_AUTOMATION or else garvin-automation on the PATH;
// a method call runs it with the method name and the arguments and waits.

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/automation.h"
#include "platform/posix/run_and_wait.h"

namespace converte::platform {
namespace {

constexpr const char* kServerVariable = "GARVIN_AUTOMATION";
constexpr const char* kServerProgram = "garvin-automation";
constexpr std::string_view kServerId = "GARVIN";

// Programmatic identifiers are matched without regard to letter case.
bool isServerId(std::string_view progId) {
  if (progId.size() != kServerId.size()) return false;
  for (std::size_t i = 0; i < progId.size(); ++i) {
    char c = progId[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kServerId[i]) return false;
  }
  return true;
}

class ProgramObject final : public AutomationObject {
 public:
  explicit ProgramObject(std::string program) : program_(std::move(program)) {}

  std::optional<AutomationError> call(std::string_view method,
                                      const std::vector<std::string>& arguments) override {
    std::vector<std::string> argv{std::string(method)};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto status = posix::runAndWait(program_, argv);
    if (!status)
      return AutomationError{AutomationFailure::CannotStart, program_, status.error().osCode, 0};
    if (*status != 0) return AutomationError{AutomationFailure::CallFailed, program_, 0, *status};
    return std::nullopt;
  }

 private:
  std::string program_;
};

// The program that serves the GARVIN object, as configured.
std::string serverName() {
  const char* named = std::getenv(kServerVariable);
  return named && *named ? std::string(named) : std::string(kServerProgram);
}

class ProgramAutomation final : public Automation {
 public:
  AutomationCreated create(std::string_view progId) override {
    if (!isServerId(progId))
      return AutomationError{AutomationFailure::NotFound, std::string(progId), kOsFileNotFound, 0};
    std::string name = serverName();
    auto program = posix::findExecutable(name);
    if (!program) return AutomationError{AutomationFailure::NotFound, name, kOsFileNotFound, 0};
    return std::unique_ptr<AutomationObject>(std::make_unique<ProgramObject>(*program));
  }
};

}  // namespace

std::unique_ptr<Automation> newSystemAutomation() {
  return std::make_unique<ProgramAutomation>();
}

}  // namespace converte::platform
