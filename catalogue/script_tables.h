// How the script's own steps reach the company's tables: exclusive opens in
// a fresh work area, the first record and record loops (records marked
// deleted are skipped once the compaction has hidden them), field reads.

#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "storage/field_value.h"
#include "storage/work_area.h"

namespace converte::driver {
struct RunContext;
}

namespace converte::catalogue {

// True when the file (name with extension) is in the company directory.
bool tableFileExists(driver::RunContext& run, std::string_view fileName);

// Opens the table for exclusive use in a new work area, which becomes
// current. A table that cannot be opened raises a run-time error here or at
// the first use of the area.
storage::WorkArea& openExclusive(driver::RunContext& run, std::string_view table);

// The field's position. A field the table lacks raises a run-time error.
int requireField(storage::WorkArea& area, std::string_view name);

// The field's text without surrounding blanks (empty for other values).
std::string trimmedText(storage::WorkArea& area, int position);
// The field's value as a whole number (0 for anything but a number).
long long wholeNumber(storage::WorkArea& area, int position);

// Moves to the first record; false when the table has none.
bool toFirstRecord(storage::WorkArea& area);
// Runs action on every record from the first to the end.
void forEachRecord(storage::WorkArea& area, const std::function<void()>& action);

// Puts text into the field of the current record.
void putText(storage::WorkArea& area, int position, std::string_view text);

}  // namespace converte::catalogue
