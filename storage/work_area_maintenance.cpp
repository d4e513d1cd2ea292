// Zap and pack: emptying a table, and removing its deleted records in one
// forward pass with the memo file compacted alongside.

#include <vector>

#include "storage/driver_error.h"
#include "storage/field_types.h"
#include "storage/memo_reference.h"
#include "storage/open_table.h"
#include "storage/work_area.h"

namespace converte::storage {
namespace {

void requireExclusiveWrite(StorageEnv& env, const OpenTable& t) {
  if (t.readOnly) raiseDriverError(env, {0, kSubReadOnly, t.fileName, ""});
  if (t.shared) raiseDriverError(env, {0, kSubShared, t.fileName, ""});
}

void readRecordAt(StorageEnv& env, OpenTable& t, std::uint32_t record) {
  auto got = t.io->read(record, t.buffer);
  if (!got || *got != t.recordLength)
    raiseDriverError(env, {0, kSubRead, t.fileName, "", got ? 0 : got.error().osCode});
}

std::vector<const Field*> memoFieldsOf(const OpenTable& t) {
  std::vector<const Field*> fields;
  for (const auto& f : t.fields)
    if (isMemoField(f)) fields.push_back(&f);
  return fields;
}

std::uint32_t blockOf(StorageEnv& env, const OpenTable& t, const Field& f) {
  auto block = memoBlockOf(f, t.buffer.data() + f.offset);
  if (!block) raiseDriverError(env, {0, kSubCorruption, t.fileName, f.name});
  return *block;
}

// Copies the memos of the records that pack keeps into the compaction file,
// in record order, and returns their new blocks (the memo fields of each
// kept record side by side). The table and its memo file are not touched,
// so a failure here (a damaged reference, a full disk) leaves both whole;
// moving records before every memo is safe in the compaction file would
// leave records pointing at texts that never arrive.
std::vector<std::uint32_t> copyKeptMemos(StorageEnv& env, OpenTable& t,
                                         const std::vector<const Field*>& memoFields) {
  std::vector<std::uint32_t> blocks;
  t.memo->beginCompaction();
  for (std::uint32_t r = 1; r <= t.recordCount; ++r) {
    readRecordAt(env, t, r);
    if (t.deletedFlag()) continue;
    for (const Field* f : memoFields) {
      std::uint32_t block = blockOf(env, t, *f);
      blocks.push_back(block == 0 ? 0 : t.memo->copyToCompaction(block));
    }
  }
  return blocks;
}

// Calls the progress callback after every step-th record read, and once at
// the end for the records read since its last call.
class PackProgress {
 public:
  PackProgress(const std::function<void()>& callback, int step)
      : callback_(callback), step_(step < 1 ? 1 : step) {}
  void recordRead() {
    if (callback_ && ++sinceCall_ == step_) call();
  }
  void finish() {
    if (callback_ && sinceCall_ > 0) call();
  }

 private:
  void call() {
    sinceCall_ = 0;
    callback_();
  }

  const std::function<void()>& callback_;
  const int step_;
  int sinceCall_ = 0;
};

}  // namespace

void WorkArea::zap() {
  OpenTable& t = table();
  requireExclusiveWrite(env_, t);
  commitRecord();
  t.recordCount = 0;
  for (auto& f : t.fields)
    if (f.type == '+') f.counterNext = 1;
  rewriteHeader();
  t.io->dropReadAhead();
  gotoPhantom();
  if (t.memo) t.memo->empty();
  rebuildOrdersAfterMaintenance();
}

void WorkArea::pack(const std::function<void()>& progress, int step) {
  OpenTable& t = table();
  requireExclusiveWrite(env_, t);
  commitRecord();
  t.bufferValid = false;  // the passes read into the buffer
  const std::vector<const Field*> memoFields = t.memo ? memoFieldsOf(t) : std::vector<const Field*>{};
  const bool packMemos = t.memo != nullptr;
  const std::vector<std::uint32_t> newBlocks =
      packMemos ? copyKeptMemos(env_, t, memoFields) : std::vector<std::uint32_t>{};

  PackProgress calls(progress, step);
  std::uint32_t kept = 0;
  std::size_t nextBlock = 0;
  for (std::uint32_t r = 1; r <= t.recordCount; ++r) {
    readRecordAt(env_, t, r);
    if (!t.deletedFlag()) {
      ++kept;
      bool moved = false;
      for (const Field* f : memoFields) {
        char* reference = t.buffer.data() + f->offset;
        std::uint32_t block = newBlocks[nextBlock++];
        if (block != blockOf(env_, t, *f)) {
          storeMemoBlock(*f, block, reference);
          moved = true;
        }
      }
      if (kept != r || moved) {
        if (auto status = t.io->write(kept, t.buffer); !status)
          raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
      }
    }
    calls.recordRead();
  }
  calls.finish();
  if (kept != t.recordCount) {
    t.recordCount = kept;
    rewriteHeader();
  }
  if (packMemos) t.memo->finishCompaction();
  t.bufferValid = false;
  gotoRecord(1);
  rebuildOrdersAfterMaintenance();
}

// The open indexes are rebuilt from the records as they are now (after zap
// they come out empty), and the area goes to the top of its order.
void WorkArea::rebuildOrdersAfterMaintenance() {
  OpenTable& t = *table_;
  if (t.orders.empty()) return;
  for (std::size_t i = 0; i < t.orders.size(); ++i) buildOrder(i);
  goTop();
}

}  // namespace converte::storage
