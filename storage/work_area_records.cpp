// Changing records: append, delete and recall, committing the record
// buffer, and rewriting the header with its end-of-file rule.

#include <algorithm>
#include <array>

#include "storage/driver_error.h"
#include "storage/open_table.h"
#include "storage/work_area.h"
#include "storage/work_areas.h"

namespace converte::storage {
namespace {

std::uint8_t versionByte(const OpenTable& t) {
  if (t.style == TableStyle::VisualFox) return t.header.version;
  if (!t.memo) return 0x03;
  return t.memo->format() == MemoFormat::Fpt ? 0xF5 : 0x83;
}

// The blank record: spaces, and each field's blank bytes where they are
// not spaces.
void makeBlankRecord(OpenTable& t) {
  t.blankRecord.assign(t.recordLength, ' ');
  t.hasCounters = false;
  for (const auto& f : t.fields) {
    auto bytes =
        std::span<char>(t.blankRecord)
            .subspan(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.length));
    blankFieldBytes(f, bytes);
    if (f.type == '+') t.hasCounters = true;
  }
}

// Gives each automatic counter of the record its next value.
void numberCounters(OpenTable& t) {
  for (auto& f : t.fields) {
    if (f.type != '+') continue;
    std::uint32_t v = f.counterNext;
    for (int i = 0; i < 4; ++i)
      t.buffer[static_cast<std::size_t>(f.offset + i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    f.counterNext += f.counterStep;
  }
}

}  // namespace

void WorkArea::commitRecord() {
  OpenTable& t = *table_;
  if (!t.changed) return;
  if (auto status = t.io->write(t.recNo, t.buffer); !status) {
    raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  }
  t.changed = false;
  if (!t.orders.empty()) maintainKeys();
  if (t.appended) {
    t.appended = false;
    t.headerDirty = true;
    if (t.shared) rewriteHeader();
  }
}

void WorkArea::commit() {
  OpenTable& t = table();
  commitRecord();
  if (t.headerDirty) rewriteHeader();
  if (auto status = t.io->flush(); !status)
    raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  if (t.readOnly) return;
  if (t.memo) t.memo->flush();  // the memos before the records that name them
  if (auto status = t.file->flush(); !status)
    raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  for (auto& order : t.orders) order.index->flush();
}

bool WorkArea::append(bool unlockOthers) {
  owner_.netErr(false);  // a caller reads it after a failed append
  OpenTable& t = table();
  commitRecord();
  if (t.readOnly) raiseDriverError(env_, {0, kSubReadOnly, t.fileName, ""});
  if (t.shared) {
    if (!t.fileLocked) {
      if (auto status = t.file->lockWait(kLockBase, 1, platform::LockKind::Exclusive); !status)
        raiseDriverError(env_, {0, kSubLock, t.fileName, "", status.error().osCode});
    }
    refreshCount();
    if (unlockOthers) releaseRecordLocks();
    if (!t.fileLocked && !lockRegion(t.recordCount + 1)) {
      (void)t.file->unlock(kLockBase, 1);
      DriverError error{0, kSubAppendLock, t.fileName, "", 0, kOfferDefault};
      raiseDriverError(env_, error);
      return false;
    }
  }
  t.recordCount += 1;
  t.recNo = t.recordCount;
  t.bof = t.eof = t.found = false;
  t.positioned = true;
  if (t.blankRecord.size() != t.recordLength) makeBlankRecord(t);
  t.buffer.assign(t.blankRecord.begin(), t.blankRecord.end());
  if (t.hasCounters) numberCounters(t);
  t.bufferValid = true;
  t.changed = t.appended = t.headerDirty = true;
  if (t.shared) {
    commitRecord();
    if (!t.fileLocked) (void)t.file->unlock(kLockBase, 1);
  }
  return true;
}

void WorkArea::deleteRecord() {
  OpenTable& t = table();
  if (!t.positioned) return;
  prepareChange();
  t.buffer[0] = '*';
  t.changed = true;
}

void WorkArea::recall() {
  OpenTable& t = table();
  if (!t.positioned) return;
  prepareChange();
  t.buffer[0] = ' ';
  t.changed = true;
}

std::span<const char> WorkArea::recordBytes() {
  table();
  loadRecord();
  return table_->buffer;
}

void WorkArea::setRecordBytes(std::span<const char> bytes) {
  OpenTable& t = table();
  if (!t.positioned) return;
  prepareChange();
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), t.recordLength), t.buffer.begin());
  t.changed = true;
}

bool WorkArea::appendRecordBytes(std::span<const char> bytes) {
  owner_.netErr(false);
  OpenTable& t = table();
  if (t.shared || !t.orders.empty() || bytes.size() < t.recordLength) {
    if (!append(true)) return false;
    setRecordBytes(bytes);
    return true;
  }
  commitRecord();
  if (t.readOnly) raiseDriverError(env_, {0, kSubReadOnly, t.fileName, ""});
  for (auto& f : t.fields)
    if (f.type == '+') f.counterNext += f.counterStep;  // as a blank append numbers it
  t.recordCount += 1;
  t.recNo = t.recordCount;
  t.bof = t.eof = t.found = false;
  t.positioned = true;
  t.bufferValid = false;  // the record is read back from the write-behind run
  t.changed = t.appended = false;
  t.headerDirty = true;
  if (auto status = t.io->write(t.recNo, bytes.first(t.recordLength)); !status)
    raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  return true;
}

void WorkArea::writeHeaderBytes(std::uint32_t count) {
  OpenTable& t = *table_;
  platform::LocalTime today = env_.clock.now();
  t.header.version = versionByte(t);
  t.header.tableFlags = t.style == TableStyle::VisualFox ? (t.header.tableFlags & ~1u) : 0;
  t.header.year = static_cast<std::uint8_t>(today.year - 1900);
  t.header.month = static_cast<std::uint8_t>(today.month);
  t.header.day = static_cast<std::uint8_t>(today.day);
  t.header.recordCount = count;
  std::array<std::byte, kDbfHeaderSize> bytes{};
  t.header.encode(bytes);
  auto status = t.file->writeAt(0, bytes);
  for (std::size_t i = 0; status && i < t.fields.size(); ++i) {
    const Field& f = t.fields[i];
    if (f.type != '+' && f.type != '^') continue;
    std::array<std::byte, kDescriptorSize> descriptor{};
    descriptorOf(f).encode(descriptor);
    status = t.file->writeAt(kDbfHeaderSize + i * kDescriptorSize, descriptor);
  }
  if (!status) raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
}

void WorkArea::applyEndOfFileRule() {
  OpenTable& t = *table_;
  std::uint64_t end = t.headerLength + std::uint64_t{t.recordLength} * t.recordCount;
  auto size = t.io->fileSize();
  if (!size) raiseDriverError(env_, {0, kSubRead, t.fileName, "", size.error().osCode});
  if (*size <= end) return;
  const std::byte eof[1] = {kEndOfFile};
  auto status = t.file->writeAt(end, eof);
  if (status) status = t.file->truncate(end + 1);
  if (!status) raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
  t.io->dropReadAhead();
}

void WorkArea::rewriteHeader() {
  OpenTable& t = *table_;
  if (t.readOnly) raiseDriverError(env_, {0, kSubReadOnly, t.fileName, ""});
  if (t.shared) {
    bool takeLock = !t.fileLocked;
    if (takeLock) {
      if (auto status = t.file->lockWait(kLockBase, 1, platform::LockKind::Exclusive); !status)
        raiseDriverError(env_, {0, kSubLock, t.fileName, "", status.error().osCode});
    }
    refreshCount();
    writeHeaderBytes(t.recordCount);
    if (takeLock) (void)t.file->unlock(kLockBase, 1);
  } else {
    if (auto status = t.io->flush(); !status)
      raiseDriverError(env_, {0, kSubWrite, t.fileName, "", status.error().osCode});
    writeHeaderBytes(t.recordCount);
    applyEndOfFileRule();
  }
  t.headerDirty = false;
}

}  // namespace converte::storage
