// The older structure of one catalogue table for one company: its profile's
// fields and, chosen by the seed, the catalogue's fields missing, present at
// their length or at an older shorter length of the same type.

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/steps.h"
#include "storage/field_spec.h"
#include "tools/sample/table_profiles.h"

namespace converte::sample {

// What the seed chooses for the company as a whole.
struct CompanyChoices {
  std::uint32_t seed = 1;
  std::string mask;         // MASC_FIL: the branch-code mask
  int maskSize = 14;        // TAMMASC: the account-mask length
  std::string flag = "S";   // EXONERACAO
  int periodYear = 2009;    // PERINICIAL (1 January); 0: empty
  bool compacts = false;    // CTLANCAM holds more than 100 deleted records
  bool writesDependants = false;  // FODEPEND exists already
  catalogue::CodeLengths lengths;  // the code lengths the catalogue steps will take
};

CompanyChoices chooseCompany(std::uint32_t seed);

// A column of the older structure and how its values are made.
struct Column {
  storage::FieldSpec spec;
  Values values = Values::ByType;
  int arg = 0;
};

struct TablePlan {
  std::string table;
  std::vector<Column> columns;
  std::uint64_t records = 0;
  std::uint64_t deleted = 0;  // spread evenly over the table, never the first record
};

// The distinct tables of the catalogue steps, in the order they are first named.
std::vector<std::string> catalogueTables();

// The older structure of table; records and deleted are left for the caller.
// Throws std::logic_error when the profile contradicts the catalogue (an own
// field the catalogue names, a catalogue field it does not, a type conflict).
TablePlan planStructure(std::string_view table, const CompanyChoices& company);

// Whether record (0-based) of the plan is one of its deleted records.
bool isDeleted(const TablePlan& plan, std::uint64_t record);

}  // namespace converte::sample
