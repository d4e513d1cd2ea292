// The catalogue of table changes of this release as constant data: every
// catalogue step with its table, its new-field and altered-field rows and
// its version gate, in the order the migration script runs them.

#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "storage/field_spec.h"

namespace converte::catalogue {

// Where a row's length comes from: the row itself, or one of the company's
// code lengths, which the script knows only when the step runs.
enum class LengthFrom : std::uint8_t { Row, AccountCode, BranchCode, ItemCode };

// One field of a catalogue list, its name as the catalogue writes it.
struct FieldRow {
  std::string_view name;
  char type = 'C';
  int length = 0;
  int decimals = 0;
  LengthFrom lengthFrom = LengthFrom::Row;
};

// One call of the table migration. An empty list is an absent one.
struct CatalogueStep {
  std::string_view id;     // "C13"
  std::string_view table;  // base name of the table, without extension
  std::span<const FieldRow> newFields;
  std::span<const FieldRow> alteredFields;
  // The step runs only for a company recorded below this version; 0: always.
  int gateBelow = 0;
};

// The company's code lengths that some rows take.
struct CodeLengths {
  int accountCode = 14;
  int branchCode = 3;
  int itemCode = 5;
};

// Every catalogue step, in script order.
std::span<const CatalogueStep> catalogueSteps();

// The step with that id; nullptr when there is none.
const CatalogueStep* findStep(std::string_view id);

// The steps from first to last (both included, in catalogue order); empty
// when either id is unknown or last comes before first.
std::span<const CatalogueStep> stepRange(std::string_view first, std::string_view last);

// The rows as a table structure, the variable lengths filled in.
storage::Structure toStructure(std::span<const FieldRow> rows, const CodeLengths& lengths);

}  // namespace converte::catalogue
