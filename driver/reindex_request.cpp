// The reindex request through the automation seam: the object "GARVIN",
// its method "BVMAIN" with nine texts. A failure to find, start or call the
// server is a run-time error whose description says which.

#include "driver/reindex_request.h"

#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/texts.h"
#include "errors/call_levels.h"
#include "errors/error_handler.h"
#include "platform/automation.h"

namespace converte::driver {
namespace {

constexpr const char* kAutomationSubsystem = "AUTOMATION";

struct FailureRow {
  platform::AutomationFailure failure;
  int subCode;
  std::string_view description;
};

constexpr FailureRow kFailures[] = {
    {platform::AutomationFailure::NotFound, 1, "Automation server not found"},
    {platform::AutomationFailure::CannotStart, 2, "Automation server cannot be started"},
    {platform::AutomationFailure::CallFailed, 3, "Automation call failed with exit status "},
};

// Raised from GVEXEC_DLL_GARVIN, whose call level the record carries.
[[noreturn]] void raiseAutomationError(RunContext& run, const platform::AutomationError& error,
                                       std::string_view operation) {
  errors::ErrorRecord record;
  record.subSystem = kAutomationSubsystem;
  record.osCode = error.osCode;
  record.fileName = error.server;
  record.operation = std::string(operation);
  for (const FailureRow& row : kFailures) {
    if (row.failure != error.failure) continue;
    record.subCode = row.subCode;
    std::string description(row.description);
    if (row.failure == platform::AutomationFailure::CallFailed)
      description += std::to_string(error.exitStatus);
    record.description = description;
  }
  errors::raise(run.services.storage.handler, record);
  throw errors::ErrorAbandoned(std::move(record));
}

std::string trimBlanks(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> requestArguments(const std::string& first, const std::string& last) {
  return {std::string(texts::kServerUser), std::string(texts::kServerPassword), trimBlanks(first),
          std::string(texts::kRequestCode), std::string(texts::kRequestOption), first, last, "", ""};
}

std::unique_ptr<platform::AutomationObject> createServer(RunContext& run) {
  if (!run.services.automation) {
    raiseAutomationError(run, {platform::AutomationFailure::NotFound, std::string(texts::kServerId)},
                         texts::kServerId);
  }
  platform::AutomationCreated created = run.services.automation->create(texts::kServerId);
  if (auto* error = std::get_if<platform::AutomationError>(&created))
    raiseAutomationError(run, *error, texts::kServerId);
  return std::move(std::get<std::unique_ptr<platform::AutomationObject>>(created));
}

void request(RunContext& run, const std::string& first, const std::string& last,
             errors::CallFrame& frame) {
  const std::string range = first + std::string(texts::kRangeJoin) + last;
  MGLIGAMSG(run, "");
  MGLIGAMSG(run, std::string(texts::kReindexing) + range);
  frame.at();
  std::unique_ptr<platform::AutomationObject> server = createServer(run);
  frame.at();
  if (auto error = server->call(texts::kServerMethod, requestArguments(first, last)))
    raiseAutomationError(run, *error, texts::kServerMethod);
  MGLIGAMSG(run, std::string(texts::kReindexed) + range);
  MGLIGAMSG(run, "");
}

}  // namespace

void GVEXEC_DLL_GARVIN(RunContext& run, const std::string& first, const std::string& last) {
  errors::CallFrame frame("CONVERTE", "GVEXEC_DLL_GARVIN");
  guardedStep(run, [&] { request(run, first, last, frame); });
}

}  // namespace converte::driver
