// The suite's automation server: an object registered under a programmatic
// identifier, whose methods are called by name with text arguments. The
// call returns when the server has finished; nothing it hands back is read.
//
// On POSIX the object "GARVIN" is a program: the one named by the
// environment variable GARVIN_AUTOMATION, else garvin-automation on the
// PATH. A method call runs it with the method name and the arguments and
// waits for it; exit status 0 is success.
//
// Ownership: create hands back an object the caller owns; destroying it
// releases it. Thread rule: one thread.

#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace converte::platform {

enum class AutomationFailure {
  NotFound,     // no server is registered under the identifier
  CannotStart,  // the server is known but could not be started
  CallFailed,   // the server ran the method and reported a failure
};

struct AutomationError {
  AutomationFailure failure = AutomationFailure::NotFound;
  std::string server;   // the identifier, or the program that serves it
  int osCode = 0;       // the operating system's code behind NotFound/CannotStart
  int exitStatus = 0;   // the server's status of a CallFailed
};

class AutomationObject {
 public:
  AutomationObject() = default;
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;
  virtual ~AutomationObject() = default;

  // Calls method with the texts as arguments and waits until it returns.
  // Empty on success.
  virtual std::optional<AutomationError> call(std::string_view method,
                                             const std::vector<std::string>& arguments) = 0;
};

using AutomationCreated = std::variant<std::unique_ptr<AutomationObject>, AutomationError>;

class Automation {
 public:
  Automation() = default;
  Automation(const Automation&) = delete;
  Automation& operator=(const Automation&) = delete;
  virtual ~Automation() = default;

  // Creates the object registered under progId.
  virtual AutomationCreated create(std::string_view progId) = 0;
};

// The automation of this system.
std::unique_ptr<Automation> newSystemAutomation();

}  // namespace converte::platform
