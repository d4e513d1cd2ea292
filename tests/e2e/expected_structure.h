// The structures a company's tables must have after one run of the
// migration script, worked out from their structures before it: the
// catalogue steps applied in script order by the table migration's rules,
// and the tables that the fix-ups create or re-create. A model for the
// whole-run tests, kept apart from the migration engine.

#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/steps.h"
#include "storage/field_spec.h"

namespace converte::testing::expected {

// What the script knows of a company when it starts.
struct CompanyBefore {
  std::map<std::string, storage::Structure> tables;  // by upper-case base name
  int recordedVersion = 0;                           // GARVIN_VER; 0 without it
  catalogue::CodeLengths lengths;
};

struct TableAfter {
  storage::Structure structure;
  bool rebuilt = false;    // copied through its table copy or re-created at least once
  bool created = false;    // a fix-up created it; it did not exist before the run
  bool recreated = false;  // a fix-up re-created it with a fixed structure
  // Fields (stored names) whose values come from the table before the run.
  std::set<std::string> carried;
  // Fields that went through a field-by-field refill at least once: their
  // values were read and put again, so a blank number comes back as 0 and
  // a blank logical as false. A refill that only appends fields to a table
  // without memos copies whole records and keeps the bytes as they are.
  std::set<std::string> valueCopied;
};

// One rebuild of a table through its table copy, in run order.
struct Rebuild {
  std::string table;  // the name the step gives
  bool addsFields = false;
};

struct CompanyAfter {
  std::map<std::string, TableAfter> tables;
  std::vector<Rebuild> rebuilds;
  bool monthWidened = false;  // the assessment month was widened (and is rewritten)
};

// The company after one run of the script. Throws std::logic_error where
// the run would end at a type conflict.
CompanyAfter afterRun(const CompanyBefore& before);

// The code lengths from the company record: the account mask length
// TAMMASC (14 when below 1 or absent) and the length of MASC_FIL without
// trailing blanks (3 when that is 0 or the field is absent).
catalogue::CodeLengths codeLengthsOf(std::optional<double> tamMasc,
                                     std::optional<std::string> mascFil);

// The tables the fix-ups create, as they create them.
storage::Structure dependantsStructure();   // FODEPEND
storage::Structure terminationStructure();  // FORECISA, re-created
// FUNSAL, FUNCARGO, FUNLOTA, FUNSIND, FUNHORAR, in the order they are made.
const std::vector<std::string>& historyTables();
storage::Structure historyStructure(std::string_view table);

// A field name as the storage layer stores it: without blanks, upper
// case, ten characters at most.
std::string storedName(std::string_view name);

}  // namespace converte::testing::expected
