// Carrying out the script's rows: a log line, a run of catalogue steps
// (each one call of the table migration with the step's lists, the
// company's code lengths filled in), or a fix-up behind its version gate.

#include <optional>

#include "catalogue/script_plan.h"
#include "catalogue/steps.h"
#include "driver/context/run_context.h"
#include "migration/table_migration.h"

namespace converte::catalogue {
namespace {

ScriptRowObserver* rowObserver = nullptr;

std::optional<storage::Structure> presentOrAbsent(const storage::Structure& list,
                                                  std::span<const FieldRow> rows) {
  if (rows.empty()) return std::nullopt;
  return list;
}

void runCatalogueStep(driver::RunContext& run, const CatalogueStep& step) {
  if (!passesGate(step.gateBelow, run.XVERSAOATUAL)) return;
  CodeLengths lengths{run.D_TAMMASC, run.D_TMASFIL, run.D_TAM_ITEM};
  run.VNCAMPOS = toStructure(step.newFields, lengths);
  run.VALTCAMPOS = toStructure(step.alteredFields, lengths);
  migration::MGCONVERTE(run, step.table, presentOrAbsent(run.VNCAMPOS, step.newFields),
                        presentOrAbsent(run.VALTCAMPOS, step.alteredFields));
}

void runRow(driver::RunContext& run, const ScriptRow& row) {
  switch (row.kind) {
    case RowKind::LogLine:
      driver::MGLIGAMSG(run, row.text);
      return;
    case RowKind::Steps:
      for (const CatalogueStep& step : stepRange(row.text, row.lastStep)) {
        runCatalogueStep(run, step);
      }
      return;
    case RowKind::Action:
      if (passesGate(row.gateBelow, run.XVERSAOATUAL)) row.action(run);
      if (row.closeAllAfter) run.services.areas.closeAll();
      return;
  }
}

}  // namespace

void runScriptPlan(driver::RunContext& run, std::span<const ScriptRow> rows) {
  for (const ScriptRow& row : rows) {
    if (rowObserver != nullptr) rowObserver->rowStarted(row);
    runRow(run, row);
    if (rowObserver != nullptr) rowObserver->rowEnded(row);
  }
}

void observeScriptRows(ScriptRowObserver* observer) { rowObserver = observer; }

}  // namespace converte::catalogue
