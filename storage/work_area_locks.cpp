// Record and file locks of a shared table, at the suite's lock positions:
// record r locks the byte at base + r, the file lock covers every record
// byte, and the byte at the base itself is the header and append lock.

#include <algorithm>

#include "storage/driver_error.h"
#include "storage/open_table.h"
#include "storage/work_area.h"

namespace converte::storage {

bool WorkArea::lockRegion(std::uint32_t record) {
  OpenTable& t = *table_;
  auto granted = t.file->tryLock(kLockBase + record, 1, platform::LockKind::Exclusive);
  if (!granted || !*granted) return false;
  t.lockedRecords.push_back(record);
  if (record == t.recNo) {  // another program may have changed it just now
    commitRecord();
    if (t.positioned) t.bufferValid = false;
  }
  return true;
}

void WorkArea::releaseRecordLocks() {
  OpenTable& t = *table_;
  if (t.lockedRecords.empty()) return;
  commitRecord();
  for (std::uint32_t record : t.lockedRecords) (void)t.file->unlock(kLockBase + record, 1);
  t.lockedRecords.clear();
}

bool WorkArea::lockRecord() {
  OpenTable& t = table();
  if (!t.shared || t.fileLocked) return true;
  releaseRecordLocks();
  return lockRegion(t.recNo);
}

bool WorkArea::lockRecords(std::uint32_t record) {
  OpenTable& t = table();
  if (!t.shared || t.fileLocked) return true;
  if (std::find(t.lockedRecords.begin(), t.lockedRecords.end(), record) != t.lockedRecords.end())
    return true;
  return lockRegion(record);
}

bool WorkArea::lockFile() {
  OpenTable& t = table();
  if (!t.shared || t.fileLocked) return true;
  releaseRecordLocks();
  auto granted = t.file->tryLock(kLockBase + 1, kFileLockLength, platform::LockKind::Exclusive);
  t.fileLocked = granted && *granted;
  if (t.positioned) {
    commitRecord();
    t.bufferValid = false;
  }
  return t.fileLocked;
}

void WorkArea::unlock(std::optional<std::uint32_t> record) {
  OpenTable& t = table();
  if (!t.shared) return;
  if (record) {
    auto at = std::find(t.lockedRecords.begin(), t.lockedRecords.end(), *record);
    if (at == t.lockedRecords.end()) return;
    commitRecord();
    (void)t.file->unlock(kLockBase + *record, 1);
    t.lockedRecords.erase(at);
    return;
  }
  releaseRecordLocks();
  if (t.fileLocked) {
    commitRecord();
    (void)t.file->unlock(kLockBase + 1, kFileLockLength);
    t.fileLocked = false;
  }
}

std::vector<std::uint32_t> WorkArea::lockedRecords() const { return table().lockedRecords; }

}  // namespace converte::storage
