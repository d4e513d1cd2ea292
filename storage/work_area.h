// A work area: one numbered slot that holds at most one open table, with
// its cursor, record buffer and locks, and every operation on that table.
// Without an open table the operations raise "Workarea not in use", except
// the queries, which answer as for an empty table.

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_spec.h"
#include "storage/field_value.h"
#include "storage/scope.h"
#include "storage/storage_env.h"

namespace converte::storage {

struct OpenTable;
struct IndexEntry;
class MemoFile;
class WorkAreaList;

// One row of structure(): name, type letter, length, decimals, flags.
struct StructureRow {
  std::string name;
  char type = 'C';
  int length = 0;
  int decimals = 0;
  int flags = 0;
  bool operator==(const StructureRow&) const = default;
};

class WorkArea {
 public:
  // A work area belongs to its list, which holds the run-wide net-error
  // flag that append clears.
  WorkArea(WorkAreaList& owner, int number);
  ~WorkArea();
  WorkArea(const WorkArea&) = delete;
  WorkArea& operator=(const WorkArea&) = delete;

  // Queries (answer without an open table).
  int number() const { return number_; }
  bool isUsed() const { return table_ != nullptr; }
  std::string alias() const;
  bool eof() const;
  bool bof() const;
  bool found() const;
  bool deleted();
  std::uint32_t recNo() const;
  std::uint32_t recCount();
  int fieldCount() const;

  // Structure.
  std::vector<StructureRow> structure() const;
  std::string fieldName(int position) const;
  int fieldPos(std::string_view name) const;
  const std::vector<Field>& fields() const;
  const std::string& fileName() const;
  bool isShared() const;
  bool isReadOnly() const;
  bool hasMemoFile() const;

  // Navigation.
  void goTop();
  void goBottom();
  void goTo(std::uint32_t record);
  void skip(std::int64_t count = 1);

  // Fields.
  FieldValue getField(int position);
  // As getField, reusing out's string storage.
  void readField(int position, FieldValue& out);
  const FieldValue& putField(int position, const FieldValue& value);

  // Records.
  bool append(bool unlockOthers = true);
  void deleteRecord();
  void recall();
  void commit();
  void eval(const std::function<void()>& action, const Scope& scope);

  // Locks. In exclusive use every lock operation succeeds without touching
  // the file.
  bool lockRecord();
  bool lockRecords(std::uint32_t record);
  bool lockFile();
  void unlock(std::optional<std::uint32_t> record = std::nullopt);
  std::vector<std::uint32_t> lockedRecords() const;

  // Index orders: the open index files of the area, one of which may be
  // the controlling order that decides the record order and is searched by
  // seek. keyCallback, when given, evaluates the key on the current record;
  // otherwise the key expression is evaluated (a field, or fields joined
  // with `+`).
  void createIndex(std::string_view fileName, std::string_view keyExpression,
                   const std::function<FieldValue()>& keyCallback = {}, bool unique = false);
  void addOrders(std::string_view fileName);
  void clearOrders();
  void rebuildOrders();
  // 0: no controlling order (record-number order).
  void setOrder(int position);
  // A numeric text is a position; otherwise the order's name (the index
  // file's name without directory and extension).
  void setOrder(std::string_view positionOrName);
  int order() const;
  int orderCount() const;
  // Seeks the key in the controlling order; the result is also found().
  bool seek(const FieldValue& key, std::optional<bool> softSeek = std::nullopt,
            bool findLast = false);

  // Bulk maintenance.
  void zap();
  void pack(const std::function<void()>& progress = {}, int step = 1);

  // Whole-record access for bulk copies: the current record's bytes,
  // deletion flag first, and replacing them (marks the record changed).
  std::span<const char> recordBytes();
  void setRecordBytes(std::span<const char> bytes);
  // Appends a record holding these bytes (deletion flag first), as append
  // followed by setRecordBytes. In exclusive use without open orders the
  // record goes straight to the write-behind run, without the blank record
  // and the record buffer. False when the record could not be added.
  bool appendRecordBytes(std::span<const char> bytes);
  // Read-ahead for a sequential pass, also in shared use.
  void setBulkRead(bool on);

 private:
  friend class WorkAreaList;
  friend struct TableOpener;

  OpenTable& table();
  const OpenTable& table() const;
  void attach(std::unique_ptr<OpenTable> table);
  void close();

  // Cursor and buffer helpers.
  void loadRecord();
  void gotoRecord(std::uint32_t record);
  void gotoPhantom();
  void rawStep(bool forward);
  void filter(bool forward);
  bool passesFilter();
  void refreshCount();
  void prepareChange();
  void commitRecord();
  void rewriteHeader();
  void writeHeaderBytes(std::uint32_t count);
  void applyEndOfFileRule();
  void releaseRecordLocks();
  bool lockRegion(std::uint32_t record);
  void readMemoText(const Field& field, const char* bytes, std::string& out);
  bool preparePut(int position);
  void putMemo(const Field& field, char* bytes, const FieldValue& value);
  bool putNumber(const Field& field, char* bytes, const Number& number);
  void raiseFieldError(int subCode, const Field& field);
  // Index helpers.
  FieldValue keyValue(std::size_t order);
  std::string currentKey(std::size_t order);
  void rememberKeys();
  void maintainKeys();
  void orderedStep(bool forward);
  std::vector<IndexEntry> collectKeys(std::size_t order);
  void buildOrder(std::size_t order);
  void rebuildOrdersAfterMaintenance();

  WorkAreaList& owner_;
  StorageEnv& env_;
  const int number_;
  std::unique_ptr<OpenTable> table_;
};

}  // namespace converte::storage
