// An open file on POSIX: positioned reads and writes on a descriptor whose
// share mode is an flock and whose byte-range locks are open-file-description
// locks, so both belong to this open and not to the process.

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/file_system.h"
#include "platform/posix/handles.h"

namespace converte::platform::posix {

class PosixFile : public File {
 public:
  // Takes over fd, which already holds its share-mode flock.
  PosixFile(UniqueFd fd, std::string path, Access access);

  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> out) override;
  Status writeAt(std::uint64_t offset, std::span<const std::byte> data) override;
  Result<std::uint64_t> size() override;
  Status truncate(std::uint64_t size) override;
  Status flush() override;
  Status close() override;

  // An exclusive lock needs a read-write open (5 otherwise); a range must
  // be non-empty and end within 2^63 (87 otherwise).
  Result<bool> tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) override;
  Status lockWait(std::uint64_t offset, std::uint64_t length, LockKind kind) override;
  Status unlock(std::uint64_t offset, std::uint64_t length) override;

  const std::string& path() const override { return path_; }

 private:
  // 0 when the call may go ahead, else the code to fail with: 6 once
  // closed, 5 for a change through a read-only open, 87 past 2^63.
  int refusal(bool writes, std::uint64_t offset = 0, std::uint64_t length = 0) const;
  int lockRefusal(std::uint64_t offset, std::uint64_t length, LockKind kind) const;
  // errno of the fcntl request, 0 on success.
  int requestLock(int command, short type, std::uint64_t offset, std::uint64_t length) const;

  UniqueFd fd_;
  const std::string path_;
  const Access access_;
  // Something was written or cut since the last flush; a flush without it
  // has nothing of this open's to put on disk and costs no fsync.
  bool unsynced_ = false;
};

}  // namespace converte::platform::posix
