// Bulk transfers: append-from (records of another table or of an SDF text
// file into the current table) and copy-to (records of the current table
// into a new table or SDF text file), walking the source over a scope.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "storage/driver_error.h"
#include "storage/field_types.h"
#include "storage/sdf_file.h"
#include "storage/text_util.h"
#include "storage/transfer_plan.h"
#include "storage/work_areas.h"

namespace converte::storage {
namespace {

// "Argument error" for an unknown driver and for a missing file name.
constexpr int kSubBadArgument = 1005;

// --- The two sides of a transfer -------------------------------------------

// Records to copy from: a table's work area or the lines of an SDF file.
// bytes() holds the current record; the plan's source slots index into it.
class TransferSource {
 public:
  virtual ~TransferSource() = default;
  virtual void goTop() = 0;
  virtual void goTo(std::uint32_t record) = 0;
  virtual void skip() = 0;
  virtual bool eof() = 0;
  virtual std::span<const char> bytes() = 0;
  virtual bool deleted() = 0;
  virtual void read(const FieldPair& pair, FieldValue& out) = 0;
};

// Where the records go: a table's work area or an SDF file. begin() adds a
// blank record; bytes() is that record for the byte copies, storeBytes()
// makes them its contents; appendWhole() adds a record of the same layout
// as it stands; put() puts one value by the put rules, raising
// its errors; end() finishes the record, fail() gives it up after a put
// that failed.
class TransferDestination {
 public:
  virtual ~TransferDestination() = default;
  virtual bool begin() = 0;
  virtual std::span<char> bytes() = 0;
  virtual void storeBytes() = 0;
  // Adds a record holding these bytes; false when it could not be added.
  virtual bool appendWhole(std::span<const char> record) = 0;
  virtual void put(const FieldPair& pair, const FieldValue& value) = 0;
  virtual void end(bool deleted) = 0;
  virtual void fail() = 0;
};

// A table's records; up to record `last` only, when given (a table appended
// from itself must not read the records it gains).
class TableSource final : public TransferSource {
 public:
  explicit TableSource(WorkArea& area, std::uint32_t last = UINT32_MAX)
      : area_(area), last_(last) {}
  void goTop() override { area_.goTop(); }
  void goTo(std::uint32_t record) override { area_.goTo(record); }
  void skip() override { area_.skip(1); }
  bool eof() override { return area_.eof() || area_.recNo() > last_; }
  std::span<const char> bytes() override { return area_.recordBytes(); }
  bool deleted() override { return area_.deleted(); }
  void read(const FieldPair& pair, FieldValue& out) override {
    area_.readField(pair.source, out);
  }

 private:
  WorkArea& area_;
  const std::uint32_t last_;
};

// The lines of an SDF file, numbered from 1 as records are.
class SdfSource final : public TransferSource {
 public:
  SdfSource(StorageEnv& env, platform::File& file, const SdfLayout& layout)
      : layout_(layout),
        reader_(env, file, static_cast<std::size_t>(layout.width)),
        line_(static_cast<std::size_t>(layout.width), ' ') {
    goTop();
  }
  void goTop() override {
    reader_.rewind();
    lineNumber_ = 0;
    eof_ = false;
    skip();
  }
  void goTo(std::uint32_t record) override {
    goTop();
    while (!eof_ && lineNumber_ < record) skip();
    if (record == 0) eof_ = true;
  }
  void skip() override {
    if (eof_) return;
    ++lineNumber_;
    eof_ = !reader_.next(line_);
  }
  bool eof() override { return eof_; }
  std::span<const char> bytes() override { return line_; }
  bool deleted() override { return false; }
  void read(const FieldPair& pair, FieldValue& out) override {
    const SdfField& f = layout_.fields[static_cast<std::size_t>(pair.source - 1)];
    readSdfField(f, std::string_view(line_).substr(static_cast<std::size_t>(f.offset),
                                                   static_cast<std::size_t>(f.width)),
                 out);
  }

 private:
  const SdfLayout& layout_;
  SdfReader reader_;
  std::string line_;
  std::uint32_t lineNumber_ = 0;
  bool eof_ = false;
};

class TableDestination final : public TransferDestination {
 public:
  explicit TableDestination(WorkArea& area) : area_(area) {}
  bool begin() override { return area_.append(true); }
  std::span<char> bytes() override {
    std::span<const char> blank = area_.recordBytes();
    record_.assign(blank.begin(), blank.end());
    return record_;
  }
  void storeBytes() override { area_.setRecordBytes(record_); }
  bool appendWhole(std::span<const char> record) override {
    return area_.appendRecordBytes(record);
  }
  void put(const FieldPair& pair, const FieldValue& value) override {
    area_.putField(pair.destination, value);
  }
  void end(bool deleted) override {
    if (deleted) area_.deleteRecord();
  }
  void fail() override { area_.deleteRecord(); }

 private:
  WorkArea& area_;
  std::vector<char> record_;
};

// An SDF file has no deletion flag: every record handed to it is a line; a
// record whose put failed is not written.
class SdfDestination final : public TransferDestination {
 public:
  SdfDestination(StorageEnv& env, SdfWriter& writer, const SdfLayout& layout)
      : env_(env), writer_(writer), layout_(layout),
        line_(static_cast<std::size_t>(layout.width), ' ') {}
  bool begin() override {
    std::fill(line_.begin(), line_.end(), ' ');
    return true;
  }
  std::span<char> bytes() override { return line_; }
  void storeBytes() override {}
  // Whole records go only from table to table.
  bool appendWhole(std::span<const char>) override { return false; }
  void put(const FieldPair& pair, const FieldValue& value) override;
  void end(bool) override { writer_.writeLine(line_); }
  void fail() override {}

 private:
  StorageEnv& env_;
  SdfWriter& writer_;
  const SdfLayout& layout_;
  std::vector<char> line_;
};

void SdfDestination::put(const FieldPair& pair, const FieldValue& value) {
  const SdfField& f = layout_.fields[static_cast<std::size_t>(pair.destination - 1)];
  auto text = std::span<char>(line_).subspan(static_cast<std::size_t>(f.offset),
                                             static_cast<std::size_t>(f.width));
  if (int subCode = writeSdfField(f, value, text); subCode != 0) {
    raiseDriverError(env_, {0, subCode, "", f.name, 0, kOfferDefault});
  }
}

// --- Running a transfer ----------------------------------------------------

class Transfer {
 public:
  Transfer(TransferSource& source, TransferDestination& destination, const TransferPlan& plan,
           bool wholeRecords);
  // Copies the records of the scope; false when a record could not be
  // added or a put failed.
  bool run(const Scope& scope);

 private:
  bool copyRecord();
  void putValues();

  TransferSource& source_;
  TransferDestination& destination_;
  const TransferPlan& plan_;
  const bool whole_;
  bool hasBytePairs_ = false;
  std::vector<std::size_t> valuePairs_;  // of this record, in plan order
  std::vector<FieldValue> values_;       // one per pair, reused for every record
};

Transfer::Transfer(TransferSource& source, TransferDestination& destination,
                   const TransferPlan& plan, bool wholeRecords)
    : source_(source), destination_(destination), plan_(plan), whole_(wholeRecords),
      values_(plan.pairs.size()) {
  for (const FieldPair& pair : plan.pairs)
    if (pair.copy != PairCopy::Value && pair.copy != PairCopy::Skip) hasBytePairs_ = true;
  valuePairs_.reserve(plan.pairs.size());
}

// The records of a scope, picked as eval picks them: a record number alone;
// a count from the current record; with neither a while-condition nor rest
// from the top, else from the current record.
bool Transfer::run(const Scope& scope) {
  if (scope.record) {
    source_.goTo(*scope.record);
  } else if (!scope.next && !scope.whileCondition && !scope.rest) {
    source_.goTop();
  }
  std::int64_t handled = 0;
  while (!source_.eof()) {
    if (scope.next && handled >= *scope.next) break;
    if (scope.whileCondition && !scope.whileCondition()) break;
    if ((!scope.forCondition || scope.forCondition()) && !copyRecord()) return false;
    ++handled;
    if (scope.record) break;
    source_.skip();
  }
  return true;
}

bool Transfer::copyRecord() {
  std::span<const char> from = source_.bytes();
  if (whole_) return destination_.appendWhole(from);
  const bool deleted = source_.deleted();
  if (!destination_.begin()) return false;
  // Byte copies raise nothing, so doing them first keeps the puts, and the
  // errors they raise, in plan order.
  valuePairs_.clear();
  char* to = hasBytePairs_ ? destination_.bytes().data() : nullptr;
  for (std::size_t i = 0; i < plan_.pairs.size(); ++i) {
    const FieldPair& pair = plan_.pairs[i];
    if (pair.copy == PairCopy::Skip) continue;
    if (pair.copy == PairCopy::Value || !copyBytes(pair, from.data(), to)) valuePairs_.push_back(i);
  }
  if (hasBytePairs_) destination_.storeBytes();
  try {
    putValues();
  } catch (const errors::ErrorAbandoned&) {
    // The handler did not answer default: the new record is given up and
    // the transfer stops; the abandoned error goes on to the caller's
    // guarded step, so that it is reported and the caller does not take
    // the partial copy for a whole one.
    destination_.fail();
    throw;
  }
  destination_.end(deleted);
  return true;
}

void Transfer::putValues() {
  for (std::size_t i : valuePairs_) {
    const FieldPair& pair = plan_.pairs[i];
    source_.read(pair, values_[i]);
    destination_.put(pair, values_[i]);
  }
}

// --- Work areas around a transfer -------------------------------------------

// Makes the area that was current at the start current again when the
// transfer ends, and closes the area the transfer opened; on an error the
// area is closed quietly.
class TransferAreas {
 public:
  explicit TransferAreas(WorkAreaList& list) : list_(list), home_(list.currentNumber()) {}
  ~TransferAreas() {
    try {
      finish();
    } catch (...) {
      // The quiet fallback while unwinding: finish() reports errors.
    }
  }
  TransferAreas(const TransferAreas&) = delete;
  TransferAreas& operator=(const TransferAreas&) = delete;

  int home() const { return home_; }
  void opened(int number) { opened_ = number; }
  void finish() {
    if (opened_ != 0) {
      int number = opened_;
      opened_ = 0;
      list_.selectArea(number);
      list_.closeArea();
    }
    list_.selectArea(home_);
  }

 private:
  WorkAreaList& list_;
  const int home_;
  int opened_ = 0;
};

// Read-ahead on a source area for the length of a pass.
class BulkRead {
 public:
  explicit BulkRead(WorkArea& area) : area_(area) { area_.setBulkRead(true); }
  ~BulkRead() {
    try {
      area_.setBulkRead(false);
    } catch (...) {
      // The area was closed under the pass; nothing to switch off.
    }
  }
  BulkRead(const BulkRead&) = delete;
  BulkRead& operator=(const BulkRead&) = delete;

 private:
  WorkArea& area_;
};

WorkArea& requireTable(StorageEnv& env, WorkArea& area) {
  if (!area.isUsed()) raiseDriverError(env, {errors::kGenNoTable, kSubNoTable, "", ""});
  return area;
}

// True for the SDF driver, false for the table driver; raises "Argument
// error" for any other name.
bool isSdfDriver(StorageEnv& env, std::string_view driver) {
  std::string name = upperTrimmed(driver);
  if (name.empty() || name == kDriverName) return false;
  if (name == kSdfDriverName) return true;
  raiseDriverError(env, {errors::kGenArgument, kSubBadArgument, "", std::string(driver)});
  return false;
}

// An alias no open area uses, so that the file's own name never collides.
std::string freeAlias(const WorkAreaList& list, std::string_view prefix) {
  for (int n = 1;; ++n) {
    std::string alias = std::string(prefix) + std::to_string(n);
    if (list.areaOf(alias) == 0) return alias;
  }
}

bool hasMemoFields(const std::vector<Field>& fields) {
  return std::any_of(fields.begin(), fields.end(), [](const Field& f) { return isMemoField(f); });
}

TransferPlan tablePlan(const PositionPairs& pairs, const WorkArea& source,
                       const WorkArea& destination) {
  TransferPlan plan =
      makePlan(pairs, recordSlots(source.fields()), recordSlots(destination.fields()));
  plan.matching = isMatching(pairs, source.fields(), destination.fields());
  return plan;
}

// Whole records go unchanged when the structures match and no memo text
// needs a block of its own in the destination's memo file.
bool copiesWholeRecords(const TransferPlan& plan, const WorkArea& source) {
  return plan.matching && !hasMemoFields(source.fields());
}

bool runTransfer(TransferSource& source, TransferDestination& destination,
                 const TransferPlan& plan, bool wholeRecords, const Scope& scope) {
  if (plan.pairs.empty()) return false;
  Transfer transfer(source, destination, plan, wholeRecords);
  return transfer.run(scope);
}

bool appendFromSdf(StorageEnv& env, WorkArea& destination, std::string_view sourceFile,
                   const Scope& scope) {
  if (sourceFile.empty()) {
    raiseDriverError(env, {errors::kGenArgument, kSubBadArgument, "", "appendFrom"});
    return false;
  }
  SdfLayout layout = sdfLayoutOf(destination.fields());
  PositionPairs pairs;
  for (std::size_t i = 0; i < layout.fields.size(); ++i)
    pairs.emplace_back(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
  TransferPlan plan = makePlan(pairs, sdfSlots(layout), recordSlots(destination.fields()));
  std::unique_ptr<platform::File> file = openSdfFile(env, sourceFile);
  if (!file) return false;
  SdfSource source(env, *file, layout);
  TableDestination target(destination);
  return runTransfer(source, target, plan, false, scope);
}

std::vector<Field> fieldsAt(const std::vector<Field>& fields, const std::vector<int>& positions) {
  std::vector<Field> chosen;
  for (int p : positions) chosen.push_back(fields[static_cast<std::size_t>(p - 1)]);
  return chosen;
}

Structure structureOf(const std::vector<Field>& fields) {
  Structure structure;
  for (const auto& f : fields)
    structure.push_back({f.name, std::string(1, f.type), f.length, f.decimals, f.flags});
  return structure;
}

PositionPairs pairsToNew(const std::vector<int>& positions) {
  PositionPairs pairs;
  for (std::size_t k = 0; k < positions.size(); ++k)
    pairs.emplace_back(positions[k], static_cast<int>(k) + 1);
  return pairs;
}

bool copyToSdf(StorageEnv& env, WorkArea& source, std::string_view destinationFile,
               const std::vector<int>& positions, const Scope& scope) {
  if (destinationFile.empty()) {
    raiseDriverError(env, {errors::kGenArgument, kSubArgument, "", "copyTo"});
    return false;
  }
  SdfLayout layout = sdfLayoutOf(fieldsAt(source.fields(), positions));
  TransferPlan plan = makePlan(pairsToNew(positions), recordSlots(source.fields()), sdfSlots(layout));
  SdfWriter writer(env, createSdfFile(env, destinationFile));
  TableSource from(source);
  SdfDestination to(env, writer, layout);
  bool completed = runTransfer(from, to, plan, false, scope);
  writer.close();
  return completed;
}

}  // namespace

bool WorkAreaList::appendFrom(std::string_view sourceFile, const std::vector<std::string>& fieldList,
                              const Scope& scope, std::string_view driver) {
  WorkArea& destination = requireTable(env_, current());
  const bool sdf = isSdfDriver(env_, driver);
  TransferAreas areas(*this);
  if (sdf) return appendFromSdf(env_, destination, sourceFile, scope);
  if (!useArea(true, kDriverName, sourceFile, freeAlias(*this, "_APPFROM"), true, true))
    return false;
  areas.opened(current_);
  WorkArea& source = current();
  source.setBulkRead(true);
  TransferPlan plan = tablePlan(pairByName(source.fields(), destination.fields(), fieldList),
                                source, destination);
  bool itself = source.fileName() == destination.fileName();
  TableSource from(source, itself ? source.recCount() : UINT32_MAX);
  TableDestination to(destination);
  bool completed = runTransfer(from, to, plan, copiesWholeRecords(plan, source), scope);
  areas.finish();
  return completed;
}

bool WorkAreaList::copyTo(std::string_view destinationFile, const std::vector<std::string>& fieldList,
                          const Scope& scope, std::string_view driver) {
  WorkArea& source = requireTable(env_, current());
  const bool sdf = isSdfDriver(env_, driver);
  std::vector<int> positions = listedFields(source.fields(), fieldList);
  if (positions.empty()) return false;
  TransferAreas areas(*this);
  BulkRead bulk(source);
  if (sdf) return copyToSdf(env_, source, destinationFile, positions, scope);
  Structure structure = structureOf(fieldsAt(source.fields(), positions));
  if (!createTable(destinationFile, structure, kDriverName, true, freeAlias(*this, "_COPYTO")))
    return false;
  areas.opened(current_);
  WorkArea& destination = current();
  selectArea(areas.home());
  TransferPlan plan = tablePlan(pairsToNew(positions), source, destination);
  TableSource from(source);
  TableDestination to(destination);
  bool completed = runTransfer(from, to, plan, copiesWholeRecords(plan, source), scope);
  areas.finish();
  return completed;
}

bool WorkAreaList::transferSdf(bool toFile, std::string_view fileName,
                               const std::vector<std::string>& fieldList, const Scope& scope) {
  if (toFile) return copyTo(fileName, fieldList, scope, kSdfDriverName);
  return appendFrom(fileName, fieldList, scope, kSdfDriverName);
}

}  // namespace converte::storage
