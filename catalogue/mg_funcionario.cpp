// F4: the dependants, held in ten groups of columns of the employee table,
// moved into a table of their own, FODEPEND, one record per named
// dependant. The employee table keeps its dependant columns.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "catalogue/fixups.h"
#include "catalogue/messages.h"
#include "catalogue/script_tables.h"
#include "catalogue/steps.h"
#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"

namespace converte::catalogue {
namespace {

constexpr std::string_view kEmployees = "FUNCIONA";
constexpr std::string_view kDependants = "FODEPEND";
constexpr std::string_view kDependantsFile = "FODEPEND.DBF";
constexpr std::string_view kEmployeeCode = "CODIGO_FUN";
constexpr std::string_view kFirstDependantName = "NOME_01";
constexpr std::string_view kEntryDate = "DT_ENT_DEP";
constexpr int kDependantGroups = 10;

// FODEPEND as this fix-up creates it; a later catalogue step appends the
// fields that came after.
constexpr FieldRow kDependantFields[] = {
    {"CODIGO_FUN", 'C', 5},  {"NOME_DEP", 'C', 40},  {"DTNASC_DEP", 'D', 8},
    {"TIPO_DEP", 'C', 1},    {"L_NAS_DEP", 'C', 30}, {"CARTOR_DEP", 'C', 20},
    {"NO_REG_DEP", 'C', 15}, {"NO_LIV_DEP", 'C', 6}, {"NO_FOL_DEP", 'C', 6},
    {"DT_ENT_DEP", 'D', 8},  {"DT_BX_DEP", 'D', 8},  {"USUARIO", 'C', 10},
};

// A dependant column of the employee table, named by its prefix and the
// group number in two digits (NOME_01 ... NOME_10), and the FODEPEND field
// it is copied into. The name comes first: a blank name is no dependant.
struct DependantColumn {
  std::string_view prefix;
  std::string_view target;
};
constexpr std::array<DependantColumn, 4> kColumns = {{
    {"NOME_", "NOME_DEP"},
    {"DATA_", "DTNASC_DEP"},
    {"VENC_", "DT_BX_DEP"},
    {"TIPO_", "TIPO_DEP"},
}};
constexpr std::size_t kNameColumn = 0;
constexpr std::size_t kBirthColumn = 1;

// A dependant counts as entered on this date, or on the birth date when
// that is later.
constexpr storage::Date kEarliestEntry{2000, 1, 1};

using ColumnPositions = std::array<int, kColumns.size()>;

// Where the copy reads and writes, resolved before FODEPEND is created.
struct EmployeeFields {
  int code = 0;
  std::array<ColumnPositions, kDependantGroups> groups{};
};
struct DependantFields {
  int code = 0;
  int entry = 0;
  ColumnPositions columns{};
};

std::string columnName(const DependantColumn& column, int group) {
  std::string name(column.prefix);
  name += static_cast<char>('0' + group / 10);
  name += static_cast<char>('0' + group % 10);
  return name;
}

EmployeeFields employeeFields(storage::WorkArea& employees) {
  EmployeeFields fields;
  fields.code = requireField(employees, kEmployeeCode);
  for (int group = 1; group <= kDependantGroups; ++group) {
    ColumnPositions& positions = fields.groups[static_cast<std::size_t>(group - 1)];
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
      positions[c] = requireField(employees, columnName(kColumns[c], group));
    }
  }
  return fields;
}

DependantFields dependantFields(storage::WorkArea& dependants) {
  DependantFields fields;
  fields.code = requireField(dependants, kEmployeeCode);
  fields.entry = requireField(dependants, kEntryDate);
  for (std::size_t c = 0; c < kColumns.size(); ++c) {
    fields.columns[c] = requireField(dependants, kColumns[c].target);
  }
  return fields;
}

bool isBlankText(const storage::FieldValue& value) {
  return !value.isString() || value.string().find_first_not_of(' ') == std::string::npos;
}

bool isLater(const storage::Date& a, const storage::Date& b) {
  if (a.year != b.year) return a.year > b.year;
  if (a.month != b.month) return a.month > b.month;
  return a.day > b.day;
}

storage::Date entryDate(const storage::FieldValue& birth) {
  if (birth.isDate() && isLater(birth.date(), kEarliestEntry)) return birth.date();
  return kEarliestEntry;
}

// One FODEPEND record for every group whose name is not blank, groups in
// increasing order, employees in file order.
void copyDependants(storage::WorkArea& employees, const EmployeeFields& from,
                    storage::WorkArea& dependants, const DependantFields& to) {
  storage::FieldValue code;
  storage::FieldValue value;
  forEachRecord(employees, [&] {
    employees.readField(from.code, code);
    for (const ColumnPositions& group : from.groups) {
      employees.readField(group[kNameColumn], value);
      if (isBlankText(value) || !dependants.append()) continue;
      dependants.putField(to.code, code);
      for (std::size_t c = 0; c < kColumns.size(); ++c) {
        employees.readField(group[c], value);
        dependants.putField(to.columns[c], value);
        if (c == kBirthColumn) dependants.putField(to.entry, storage::FieldValue(entryDate(value)));
      }
    }
  });
}

// Creates FODEPEND and fills it. A run-time error while it is filled takes
// the unfinished table away again before it goes on: a FODEPEND that exists
// stops every later run from moving the dependants.
void moveDependants(driver::RunContext& run) {
  storage::WorkAreaList& areas = run.services.areas;
  driver::MGLIGAMSG(run, kConvertingDependants);
  areas.createTable(kDependants, toStructure(kDependantFields, CodeLengths{}));
  areas.closeAll();
  try {
    storage::WorkArea& dependants = openExclusive(run, kDependants);
    DependantFields to = dependantFields(dependants);
    storage::WorkArea& employees = openExclusive(run, kEmployees);
    copyDependants(employees, employeeFields(employees), dependants, to);
  } catch (...) {
    try {
      areas.closeAll();
    } catch (...) {  // NOLINT(bugprone-empty-catch): the first error goes on
    }
    migration::APAGA_ARQ(run, kDependants);
    throw;
  }
  driver::MGLIGAMSG(run, kDependantsConverted);
  areas.closeAll();
}

}  // namespace

bool MGFUNCIONARIO(driver::RunContext& run) {
  errors::CallFrame frame("CATALOGUE", "MGFUNCIONARIO");
  storage::WorkAreaList& areas = run.services.areas;
  areas.useArea(false, "", kEmployees, "", false);
  storage::WorkArea& employees = areas.current();
  if (employees.fieldPos(kFirstDependantName) == 0) {
    areas.closeArea();
    return true;
  }
  if (tableFileExists(run, kDependantsFile)) return true;
  // Every column the copy needs is looked up before anything is created, so
  // that an employee table that lacks one leaves no FODEPEND behind.
  (void)employeeFields(employees);
  moveDependants(run);
  return true;
}

}  // namespace converte::catalogue
