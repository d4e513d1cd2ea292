// Zap and pack: emptying a table, and removing its deleted records in one
// forward pass with the memo file compacted alongside.

#include "storage/driver_error.h"
#include "storage/memo_reference.h"
#include "storage/open_table.h"
#include "storage/work_area.h"

namespace converte::storage {
namespace {

void requireExclusiveWrite(StorageEnv& env, const OpenTable& t) {
  if (t.readOnly) raiseDriverError(env, {0, kSubReadOnly, t.fileName, ""});
  if (t.shared) raiseDriverError(env, {0, kSubShared, t.fileName, ""});
}

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
}

void WorkArea::pack(const std::function<void()>& progress, int step) {
  OpenTable& t = table();
  requireExclusiveWrite(env_, t);
  commitRecord();
  if (step < 1) step = 1;
  bool packMemos = t.memo != nullptr;
  if (packMemos) t.memo->beginCompaction();
  std::uint32_t kept = 0;
  int sinceProgress = 0;
  for (std::uint32_t r = 1; r <= t.recordCount; ++r) {
    auto got = t.io->read(r, t.buffer);
    if (!got || *got != t.recordLength)
      raiseDriverError(env_, {0, kSubRead, t.fileName, "", got ? 0 : got.error().osCode});
    if (t.buffer[0] != '*') {
      ++kept;
      bool moved = false;
      if (packMemos) {
        for (const auto& f : t.fields) {
          if (!isMemoField(f)) continue;
          char* ref = t.buffer.data() + f.offset;
          auto block = memoBlockOf(f, ref);
          if (!block) raiseDriverError(env_, {0, kSubCorruption, t.fileName, f.name});
          std::uint32_t newBlock = *block == 0 ? 0 : t.memo->copyToCompaction(*block);
          if (newBlock != *block) {
            storeMemoBlock(f, newBlock, ref);
            moved = true;
          }
        }
      }
      if (kept != r || moved) {
        if (auto status = t.io->write(kept, t.buffer); !status)
          raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
      }
    }
    if (progress && ++sinceProgress == step) {
      progress();
      sinceProgress = 0;
    }
  }
  if (progress && sinceProgress > 0) progress();
  if (kept != t.recordCount) {
    t.recordCount = kept;
    rewriteHeader();
  }
  if (packMemos) t.memo->finishCompaction();
  t.bufferValid = false;
  gotoRecord(1);
}

}  // namespace converte::storage
