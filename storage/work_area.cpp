// A work area's table: attaching and closing, the structure and the cursor
// queries.

#include "storage/work_area.h"

#include "storage/driver_error.h"
#include "storage/open_table.h"
#include "storage/text_util.h"
#include "storage/work_areas.h"

namespace converte::storage {

WorkArea::WorkArea(WorkAreaList& owner, int number)
    : owner_(owner), env_(owner.env()), number_(number) {}

WorkArea::~WorkArea() {
  try {
    close();
  } catch (...) {
    // The quiet fallback while unwinding: an explicit close reports errors.
  }
}

OpenTable& WorkArea::table() {
  if (!table_) raiseDriverError(env_, {errors::kGenNoTable, kSubNoTable, "", ""});
  return *table_;
}

const OpenTable& WorkArea::table() const {
  if (!table_) {
    throw errors::ErrorAbandoned(makeDriverRecord({errors::kGenNoTable, kSubNoTable, "", ""},
                                                  std::source_location::current()));
  }
  return *table_;
}

void WorkArea::attach(std::unique_ptr<OpenTable> table) { table_ = std::move(table); }

void WorkArea::close() {
  if (!table_) return;
  OpenTable& t = *table_;
  struct Release {  // the files are closed even when a step below fails
    std::unique_ptr<OpenTable>& slot;
    ~Release() { slot.reset(); }
  } release{table_};
  commitRecord();
  unlock();
  if (t.headerDirty) rewriteHeader();
  if (auto status = t.io->flush(); !status)
    raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  if (!t.readOnly) {
    // The memos reach the disk before the records that name them.
    if (t.memo) t.memo->flush();
    if (auto status = t.file->flush(); !status)
      raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  }
  if (t.memo) t.memo->close();
  for (auto& order : t.orders) order.index->close();
  if (auto status = t.file->close(); !status)
    raiseDriverError(env_, {errors::kGenClose, kSubWrite, t.fileName, "", status.error().osCode});
}

std::string WorkArea::alias() const { return table_ ? table_->alias : std::string(); }
bool WorkArea::eof() const { return table_ ? table_->eof : true; }
bool WorkArea::bof() const { return table_ ? table_->bof : true; }
bool WorkArea::found() const { return table_ ? table_->found : false; }
std::uint32_t WorkArea::recNo() const { return table_ ? table_->recNo : 0; }
int WorkArea::fieldCount() const { return table_ ? static_cast<int>(table_->fields.size()) : 0; }

bool WorkArea::deleted() {
  if (!table_) return false;
  loadRecord();
  return table_->positioned && table_->deletedFlag();
}

std::uint32_t WorkArea::recCount() {
  if (!table_) return 0;
  if (table_->shared) refreshCount();
  return table_->recordCount;
}

std::vector<StructureRow> WorkArea::structure() const {
  std::vector<StructureRow> rows;
  for (const auto& f : table().fields)
    rows.push_back({f.name.substr(0, 10), f.type, f.length, f.type == 'C' ? 0 : f.decimals, f.flags});
  return rows;
}

std::string WorkArea::fieldName(int position) const {
  if (!table_ || position < 1 || position > fieldCount()) return {};
  return table_->fields[static_cast<std::size_t>(position - 1)].name.substr(0, 10);
}

int WorkArea::fieldPos(std::string_view name) const {
  if (!table_) return 0;
  // Only the first ten characters of a name are significant.
  std::string wanted = upperTrimmed(name).substr(0, 10);
  for (std::size_t i = 0; i < table_->fields.size(); ++i)
    if (std::string_view(table_->fields[i].name).substr(0, 10) == wanted)
      return static_cast<int>(i) + 1;
  return 0;
}

const std::vector<Field>& WorkArea::fields() const { return table().fields; }
const std::string& WorkArea::fileName() const { return table().fileName; }
bool WorkArea::isShared() const { return table().shared; }
bool WorkArea::isReadOnly() const { return table().readOnly; }
bool WorkArea::hasMemoFile() const { return table().memo != nullptr; }

void WorkArea::setBulkRead(bool on) { table().io->setReadAhead(on); }

}  // namespace converte::storage
