// The order of the migration script after the company record has been
// checked and the tables compacted: section lines, runs of catalogue steps
// and fix-ups with their version gates, as rows one loop carries out.

#pragma once

#include <span>
#include <string_view>

namespace converte::driver {
struct RunContext;
}

namespace converte::catalogue {

using ScriptAction = void (*)(driver::RunContext&);

enum class RowKind { LogLine, Steps, Action };

struct ScriptRow {
  RowKind kind = RowKind::LogLine;
  // LogLine: the text; Steps: the first step's id; Action: its name ("F1").
  std::string_view text;
  // Steps: the last step's id (included).
  std::string_view lastStep;
  ScriptAction action = nullptr;
  // Action: runs only for a company recorded below this version; 0: always.
  int gateBelow = 0;
  // Action: every table is closed afterwards, whether or not it ran.
  bool closeAllAfter = false;
};

// The rows in script order.
std::span<const ScriptRow> scriptPlan();

// True when a row gated below gateBelow runs for a company recorded at
// recordedVersion.
constexpr bool passesGate(int gateBelow, int recordedVersion) {
  return gateBelow == 0 || recordedVersion < gateBelow;
}

// Carries out the rows in order.
void runScriptPlan(driver::RunContext& run, std::span<const ScriptRow> rows);

// Told when each row of runScriptPlan starts and when it has ended (not
// when it ends by an exception): how the benchmarks time catalogue steps
// against fix-ups. The script has none unless one is set.
class ScriptRowObserver {
 public:
  virtual ~ScriptRowObserver() = default;
  virtual void rowStarted(const ScriptRow& row) = 0;
  virtual void rowEnded(const ScriptRow& row) = 0;
};

// Sets the observer of every later row (nullptr: none); one thread.
void observeScriptRows(ScriptRowObserver* observer);

}  // namespace converte::catalogue
