// The table migration: a table's present structure compared with a
// catalogue step's new and altered fields and, when something changes, the
// rebuild through its table copy: pack, rename aside, create, refill, erase
// the copy. A failure that would leave the table in doubt ends the run.

#include "migration/table_migration.h"

#include <cstddef>
#include <string>
#include <vector>

#include "driver/context/end_of_run.h"
#include "driver/context/run_context.h"
#include "driver/context/run_log.h"
#include "errors/call_levels.h"
#include "migration/messages.h"
#include "migration/table_opener.h"
#include "migration/text_format.h"
#include "platform/result.h"

namespace converte::migration {
namespace {

constexpr std::size_t kCopyNameChars = 6;

// The names one step works with: the table, its file, and its table copy
// as a full path without extension.
struct StepNames {
  std::string name;
  std::string file;
  std::string table;  // full path without extension
  std::string copy;
};

StepNames namesOf(const driver::RunContext& run, std::string_view table) {
  StepNames names;
  names.name = trimmedBlanks(table);
  names.file = names.name + ".dbf";
  names.table = run.M_PTDIRET3 + "\\" + names.name;
  names.copy = run.M_PTDIRET3 + "\\CP" + names.name.substr(0, kCopyNameChars);
  return names;
}

// The code of a failed file operation in four columns. A target that exists
// already reads as access denied.
std::string errorCode(const platform::Status& status) {
  int code = status.ok() ? 0 : status.error().osCode;
  if (code == platform::kOsFileExists || code == 183) code = platform::kOsAccessDenied;
  return std::string(text::kErrorCode) + rightAligned(code, 4);
}

[[noreturn]] void failStep(driver::RunContext& run, const std::string& line) {
  run.VERROS += 1;
  driver::MGLIGAMSG(run, line);
  driver::MGSAIR(run, true);
}

void log(driver::RunContext& run, std::string_view head, std::string_view tail) {
  std::string line(head);
  line += tail;
  driver::MGLIGAMSG(run, line);
}

storage::Structure presentStructure(storage::WorkArea& area) {
  storage::Structure structure;
  for (const storage::StructureRow& row : area.structure()) {
    storage::FieldSpec spec{row.name, std::string(1, row.type), row.length, row.decimals, {}};
    if (row.flags != 0) spec.flags = row.flags;
    structure.push_back(std::move(spec));
  }
  return structure;
}

// The entries of newFields that the table lacks, each logged.
storage::Structure missingFields(driver::RunContext& run, const storage::Structure& present,
                                 const storage::Structure& newFields) {
  storage::Structure missing;
  for (const storage::FieldSpec& entry : newFields) {
    std::string wanted = upperCased(trimmedBlanks(entry.name));
    bool found = false;
    for (const storage::FieldSpec& field : present)
      if (upperCased(trimmedBlanks(field.name)) == wanted) found = true;
    if (found) continue;
    missing.push_back(entry);
    log(run, text::kNewField, entry.name);
  }
  return missing;
}

// An altered-field entry whose type differs from the present field's: the
// lines that ask for a manual conversion, then the end of the run.
[[noreturn]] void typeConflict(driver::RunContext& run, const StepNames& names,
                               const storage::FieldSpec& entry, const storage::FieldSpec& field) {
  log(run, text::kConflictTable, names.name);
  if (run.services.areas.current().fieldPos(entry.name) == 0) {
    log(run, text::kConflictField, entry.name + std::string(text::kConflictNotCreated));
  } else {
    log(run, text::kConflictTable, names.name);
    log(run, text::kConflictField, entry.name + std::string(text::kConflictOtherType));
    log(run, text::kConflictField, entry.name + std::string(text::kConflictEquals) + field.type);
    log(run, text::kConflictField, entry.name + std::string(text::kConflictEquals) + entry.type);
    driver::MGLIGAMSG(run, text::kConflictManual);
  }
  driver::MGSAIR(run, true);
}

// Applies the altered-field entries to present; true when a length changed.
bool alterFields(driver::RunContext& run, const StepNames& names, storage::Structure& present,
                 const storage::Structure& alteredFields) {
  bool changed = false;
  for (const storage::FieldSpec& entry : alteredFields) {
    std::string wanted = upperCased(trimmedBlanks(entry.name));
    for (storage::FieldSpec& field : present) {
      if (upperCased(field.name) != wanted) continue;
      if (field.type != entry.type) typeConflict(run, names, entry, field);
      if (field.length == entry.length) continue;  // decimals alone change nothing
      field.length = entry.length;
      field.decimals = entry.decimals;
      changed = true;
      log(run, text::kAlteredField, entry.name);
      break;
    }
  }
  return changed;
}

void renameAside(driver::RunContext& run, const StepNames& names) {
  platform::FileSystem& fs = run.services.fs;
  log(run, text::kRenaming, names.name);
  platform::Status table = fs.rename(names.table + ".DBF", names.copy + ".DBF");
  if (!table) failStep(run, std::string(text::kRenameError) + names.name + errorCode(table));
  if (!fs.exists(names.table + ".DBT")) return;
  platform::Status memo = fs.rename(names.table + ".DBT", names.copy + ".DBT");
  if (!memo) failStep(run, std::string(text::kRenameMemoError) + names.name + errorCode(memo));
}

void createNew(driver::RunContext& run, const StepNames& names, storage::Structure structure,
               const storage::Structure& missing) {
  for (const storage::FieldSpec& entry : missing) {
    structure.push_back(entry);
    log(run, text::kAddingField, entry.name);
  }
  run.services.areas.createTable(names.file, structure, run.MDRIVER);
  log(run, text::kCreating, names.name);
}

// Refills the new table from its copy. A refill that stopped early keeps
// the copy, which holds the records the new table lacks.
void refill(driver::RunContext& run, const StepNames& names) {
  storage::WorkAreaList& areas = run.services.areas;
  areas.useArea(false, run.MDRIVER, names.file);
  areas.current().zap();
  log(run, text::kAppendStart, names.copy);
  bool complete = areas.appendFrom(names.copy + ".dbf");
  areas.closeAll();
  if (!complete) failStep(run, std::string(text::kAppendError) + names.copy);
  log(run, text::kAppendEnd, names.copy);
}

void eraseCopy(driver::RunContext& run, const StepNames& names) {
  platform::FileSystem& fs = run.services.fs;
  log(run, text::kErasingCopy, names.copy);
  platform::Status table = fs.erase(names.copy + ".dbf");
  if (!table) failStep(run, std::string(text::kEraseCopyError) + names.copy + errorCode(table));
  if (!fs.exists(names.copy + ".DBT")) return;
  platform::Status memo = fs.erase(names.copy + ".DBT");
  if (!memo) failStep(run, std::string(text::kEraseCopyMemoError) + names.copy + errorCode(memo));
}

// Each stage moves the caller's level to the line of its call, so that an
// error report names the stage that failed.
void rebuild(driver::RunContext& run, errors::CallFrame& frame, const StepNames& names,
             const storage::Structure& structure, const storage::Structure& missing) {
  storage::WorkAreaList& areas = run.services.areas;
  log(run, text::kRebuilding, names.name);
  frame.at();
  areas.current().pack();
  areas.closeArea();
  frame.at();
  renameAside(run, names);
  // A table file that is back under its own name is refilled as it stands.
  frame.at();
  if (!storage::fileExists(run.services.storage, names.file))
    createNew(run, names, structure, missing);
  if (!run.services.fs.exists(names.copy + ".dbf")) return;
  frame.at();
  refill(run, names);
  frame.at();
  eraseCopy(run, names);
}

}  // namespace

void MGCONVERTE(driver::RunContext& run, std::string_view table,
                const std::optional<storage::Structure>& newFields,
                const std::optional<storage::Structure>& alteredFields) {
  errors::CallFrame frame("MIGRATION", "MGCONVERTE");
  const StepNames names = namesOf(run, table);
  if (newFields && !VALID_ESTRU(run, names.file, *newFields)) return;
  if (!storage::fileExists(run.services.storage, names.file)) return;
  frame.at();
  if (!ABRE_ARQ(run, OpenFlags{.exclusive = true}, names.file)) {
    run.VERROS += 1;
    log(run, text::kOpenError, names.name);
    driver::MGSAIR(run, true);
  }
  storage::Structure structure = presentStructure(run.services.areas.current());
  storage::Structure missing;
  if (newFields) missing = missingFields(run, structure, *newFields);
  if (!missing.empty()) log(run, text::kConverting, names.name);
  bool changed = !missing.empty();
  if (alteredFields && alterFields(run, names, structure, *alteredFields)) changed = true;
  if (!changed) {
    run.services.areas.closeArea();
    return;
  }
  rebuild(run, frame, names, structure, missing);
}

bool VALID_ESTRU(driver::RunContext& run, std::string_view tableFile,
                 const storage::Structure& newFields) {
  errors::CallFrame frame("MIGRATION", "VALID_ESTRU");
  bool reported = false;
  for (const storage::FieldSpec& entry : newFields) {
    std::size_t count = 0;
    for (const storage::FieldSpec& other : newFields)
      if (other.name == entry.name) ++count;
    if (count == 1) continue;
    reported = true;
    run.VERROS += 1;
    driver::MGLIGAMSG(run, std::string(text::kStepDuplicate) + std::string(tableFile) +
                               std::string(text::kStepDuplicateField) + entry.name);
  }
  run.services.areas.closeArea();
  if (!reported) return true;
  driver::MGLIGAMSG(run, std::string(text::kStepDuplicatesEnd) + std::string(tableFile) +
                             std::string(text::kStepDuplicatesEndTail));
  return false;
}

}  // namespace converte::migration
