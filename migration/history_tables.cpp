// The payroll's employee history tables, created empty where the company
// does not have them yet; an existing table is left as it is.

#include <string>
#include <string_view>
#include <vector>

#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"

namespace converte::migration {
namespace {

struct HistoryTable {
  std::string_view name;
  storage::Structure fields;
};

// The history tables in the order they are created.
const std::vector<HistoryTable>& historyTables() {
  static const std::vector<HistoryTable> tables = {
      {"FUNSAL",
       {{"CODIGO_FUN", "C", 5, 0, {}},
        {"VIG_INI", "D", 8, 0, {}},
        {"VIG_FIM", "D", 8, 0, {}},
        {"NO_SAL_FUN", "N", 18, 8, {}},
        {"TP_SAL_F", "C", 1, 0, {}},
        {"VR_SAL_VAR", "N", 14, 2, {}},
        {"TP_SAL_V", "C", 1, 0, {}},
        {"ST_ES", "C", 1, 0, {}},
        {"USUARIO", "C", 10, 0, {}}}},
      {"FUNCARGO",
       {{"CODIGO_FUN", "C", 5, 0, {}},
        {"VIG_INI", "D", 8, 0, {}},
        {"CD_CARGO", "C", 3, 0, {}},
        {"ST_ES", "C", 1, 0, {}},
        {"USUARIO", "C", 10, 0, {}}}},
      {"FUNLOTA",
       {{"CODIGO_FUN", "C", 5, 0, {}},
        {"VIG_INI", "D", 8, 0, {}},
        {"CD_LOTA", "C", 3, 0, {}},
        {"ST_ES", "C", 1, 0, {}},
        {"USUARIO", "C", 10, 0, {}}}},
      {"FUNSIND",
       {{"CODIGO_FUN", "C", 5, 0, {}},
        {"VIG_INI", "D", 8, 0, {}},
        {"CD_SIND", "C", 5, 0, {}},
        {"ST_ES", "C", 1, 0, {}},
        {"USUARIO", "C", 10, 0, {}}}},
      {"FUNHORAR",
       {{"CODIGO_FUN", "C", 5, 0, {}},
        {"VIG_INI", "D", 8, 0, {}},
        {"CD_HORAR", "C", 3, 0, {}},
        {"ST_ES", "C", 1, 0, {}},
        {"USUARIO", "C", 10, 0, {}}}},
  };
  return tables;
}

}  // namespace

void FONOVOS(driver::RunContext& run) {
  errors::CallFrame frame("MIGRATION", "FONOVOS");
  for (const HistoryTable& table : historyTables()) {
    std::string file = std::string(table.name) + ".DBF";
    if (storage::fileExists(run.services.storage, file)) continue;
    run.services.areas.createTable(file, table.fields, run.MDRIVER);
  }
}

}  // namespace converte::migration
