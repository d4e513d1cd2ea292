// F11: union codes brought to five digits in the union, employee and union
// salary tables, and the employee history tables of eSocial created and,
// while the union history is empty, started from the employee records.

#include <array>
#include <string>
#include <string_view>

#include "catalogue/fixups.h"
#include "catalogue/fixups_small.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"

namespace converte::catalogue {
namespace {

constexpr int kUnionCodeWidth = 5;

// A union-code field and the line logged when its codes are rewritten.
struct UnionCodes {
  std::string_view table;
  std::string_view field;
  std::string_view line;
};
constexpr UnionCodes kUnions = {"SINDICAT", "CODIGO_SID", kConvertingUnionCodes};
constexpr UnionCodes kEmployeeUnions = {"FUNCIONA", "SINDIC_FUN", kConvertingEmployeeUnionCodes};
constexpr UnionCodes kUnionSalaries = {"SINDSAL", "CODIGO_SAL", kConvertingUnionSalaryCodes};

constexpr std::string_view kEmployees = "FUNCIONA";
constexpr std::string_view kEmployeeCode = "CODIGO_FUN";
constexpr std::string_view kAdmissionDate = "DT_ADM_FUN";
constexpr std::string_view kValidFrom = "VIG_INI";

// A history table, its code field and the employee field it starts from,
// in the order each employee's records are appended. The first one, the
// union history, decides whether the history is started at all.
struct HistoryTable {
  std::string_view table;
  std::string_view codeField;
  std::string_view employeeField;
};
constexpr std::array<HistoryTable, 4> kHistoryTables = {{
    {"FUNSIND", "CD_SIND", "SINDIC_FUN"},
    {"FUNHORAR", "CD_HORAR", "HORARIO"},
    {"FUNCARGO", "CD_CARGO", "FUNCAO_FUN"},
    {"FUNLOTA", "CD_LOTA", "SECAO_FUN"},
}};

// Opens the table for exclusive use in the current work area, closing the
// table held there.
storage::WorkArea& openHere(driver::RunContext& run, std::string_view table) {
  run.services.areas.useArea(false, "", table, "", false);
  return run.services.areas.current();
}

std::string_view codeText(const storage::FieldValue& value) {
  return value.isString() ? std::string_view(value.string()) : std::string_view();
}

// Rewrites every code in five digits with leading zeros, unless the first
// record's code already reads so character for character.
void widenUnionCodes(driver::RunContext& run, storage::WorkArea& area, const UnionCodes& codes) {
  int position = requireField(area, codes.field);
  if (!toFirstRecord(area)) return;
  storage::FieldValue value = area.getField(position);
  if (codeText(value) == zeroPaddedCode(codeText(value), kUnionCodeWidth)) return;
  driver::MGLIGAMSG(run, codes.line);
  forEachRecord(area, [&] {
    area.readField(position, value);
    putText(area, position, zeroPaddedCode(codeText(value), kUnionCodeWidth));
  });
}

// An open history table with the positions of its fields and of the
// employee field it is filled from.
struct HistoryTarget {
  storage::WorkArea* area;
  int employee = 0, validFrom = 0, code = 0, source = 0;
};

// One record in each history table per employee, in table order, with the
// employee's code, admission date and the code of that history.
void startHistory(driver::RunContext& run, std::array<HistoryTarget, 4>& targets,
                  storage::WorkArea& employees) {
  driver::MGLIGAMSG(run, kConvertingEmployeesForESocial);
  int code = requireField(employees, kEmployeeCode);
  int admission = requireField(employees, kAdmissionDate);
  for (std::size_t i = 0; i < targets.size(); ++i) {
    HistoryTarget& target = targets[i];
    target.employee = requireField(*target.area, kEmployeeCode);
    target.validFrom = requireField(*target.area, kValidFrom);
    target.code = requireField(*target.area, kHistoryTables[i].codeField);
    target.source = requireField(employees, kHistoryTables[i].employeeField);
  }
  storage::FieldValue value;
  forEachRecord(employees, [&] {
    if (employees.deleted()) return;  // a record marked deleted gets no history
    for (HistoryTarget& target : targets) {
      target.area->append();
      employees.readField(code, value);
      target.area->putField(target.employee, value);
      employees.readField(admission, value);
      target.area->putField(target.validFrom, value);
      employees.readField(target.source, value);
      target.area->putField(target.code, value);
    }
  });
}

// The history tables are started only while the union history is empty.
void historyFromEmployees(driver::RunContext& run) {
  std::array<HistoryTarget, 4> targets{};
  targets[0].area = &openExclusive(run, kHistoryTables[0].table);
  if (targets[0].area->recCount() != 0) return;
  for (std::size_t i = 1; i < targets.size(); ++i) {
    targets[i].area = &openExclusive(run, kHistoryTables[i].table);
  }
  storage::WorkArea& employees = openExclusive(run, kEmployees);
  if (employees.recCount() != 0) startHistory(run, targets, employees);
  driver::MGLIGAMSG(run, kEmployeeHistoryTablesDone);
}

void unionCodesAndHistory(driver::RunContext& run) {
  migration::FONOVOS(run);
  storage::WorkAreaList& areas = run.services.areas;
  int home = areas.currentNumber();
  storage::WorkArea& unions = openHere(run, kUnions.table);
  if (unions.recCount() == 0) return;
  widenUnionCodes(run, unions, kUnions);
  bool hasEmployees = tableFileExists(run, "FUNCIONA.DBF");
  if (hasEmployees) widenUnionCodes(run, openHere(run, kEmployeeUnions.table), kEmployeeUnions);
  if (tableFileExists(run, "SINDSAL.DBF")) {
    widenUnionCodes(run, openHere(run, kUnionSalaries.table), kUnionSalaries);
  }
  if (!hasEmployees) return;
  // The employee table is opened again for exclusive use: the copy the code
  // conversion left open goes first.
  areas.selectArea(home);
  areas.closeArea();
  historyFromEmployees(run);
}

}  // namespace

void MGESOCIAL(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "MGESOCIAL");
  try {
    unionCodesAndHistory(run);
  } catch (...) {
    // The fix-up stops where the error occurred, but its tables are not
    // left held for the rest of the run. The error goes on to the guard; a
    // failing close must not take its place.
    try {
      run.services.areas.closeAll();
    } catch (...) {  // NOLINT(bugprone-empty-catch)
    }
    throw;
  }
  run.services.areas.closeAll();
}

}  // namespace converte::catalogue
