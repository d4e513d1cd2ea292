// PosixFile: pread/pwrite loops that retry interruptions, and byte-range
// locks through F_OFD_SETLK / F_OFD_SETLKW. Classic process-owned record
// locks (F_SETLK) are never used: they do not keep two opens of one process
// apart, and closing any descriptor of the file would drop all of them.

#include "platform/posix/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/posix/os_error.h"

namespace converte::platform::posix {
namespace {

// Offsets and lengths are off_t, a signed 64-bit number.
constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::int64_t>::max();

bool rangeFits(std::uint64_t offset, std::uint64_t length) {
  return offset <= kMaxOffset && length <= kMaxOffset - offset;
}

off_t toOff(std::uint64_t value) { return static_cast<off_t>(value); }

}  // namespace

PosixFile::PosixFile(UniqueFd fd, std::string path, Access access)
    : fd_(std::move(fd)), path_(std::move(path)), access_(access) {}

Result<std::size_t> PosixFile::readAt(std::uint64_t offset, std::span<std::byte> out) {
  if (int code = refusal(false, offset, out.size())) {
    return layerError(OsCode(code), "read", path_);
  }
  std::size_t done = 0;
  while (done < out.size()) {
    ssize_t got = ::pread(fd_.get(), out.data() + done, out.size() - done, toOff(offset + done));
    if (got == 0) break;  // end of file
    if (got < 0) {
      if (errno == EINTR) continue;
      return osError(errno, "read", path_);
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

Status PosixFile::writeAt(std::uint64_t offset, std::span<const std::byte> data) {
  if (int code = refusal(true, offset, data.size())) {
    return layerError(OsCode(code), "write", path_);
  }
  unsynced_ = true;
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t put = ::pwrite(fd_.get(), data.data() + done, data.size() - done, toOff(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return osError(errno, "write", path_);
    if (put == 0) return layerError(kOsDiskFull, "write", path_);  // no progress: no room
    done += static_cast<std::size_t>(put);
  }
  return {};
}

Result<std::uint64_t> PosixFile::size() {
  if (int code = refusal(false)) return layerError(OsCode(code), "size", path_);
  struct stat info {};
  if (::fstat(fd_.get(), &info) != 0) return osError(errno, "size", path_);
  return static_cast<std::uint64_t>(info.st_size);
}

Status PosixFile::truncate(std::uint64_t size) {
  if (int code = refusal(true, size)) return layerError(OsCode(code), "truncate", path_);
  unsynced_ = true;
  while (::ftruncate(fd_.get(), toOff(size)) != 0) {
    if (errno != EINTR) return osError(errno, "truncate", path_);
  }
  return {};
}

Status PosixFile::flush() {
  if (int code = refusal(false)) return layerError(OsCode(code), "flush", path_);
  if (!unsynced_) return {};
  if (::fsync(fd_.get()) != 0) return osError(errno, "flush", path_);
  unsynced_ = false;
  return {};
}

Status PosixFile::close() {
  if (int code = refusal(false)) return layerError(OsCode(code), "close", path_);
  // The descriptor is gone whatever close reports, so it is not retried.
  if (::close(fd_.release()) != 0 && errno != EINTR) return osError(errno, "close", path_);
  return {};
}

Result<bool> PosixFile::tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) {
  if (int code = lockRefusal(offset, length, kind)) return layerError(OsCode(code), "lock", path_);
  short type = kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK;
  int err = requestLock(F_OFD_SETLK, type, offset, length);
  if (err == EAGAIN || err == EACCES) return false;  // held by another open
  if (err != 0) return osError(err, "lock", path_, ErrnoSource::RangeLock);
  return true;
}

Status PosixFile::lockWait(std::uint64_t offset, std::uint64_t length, LockKind kind) {
  if (int code = lockRefusal(offset, length, kind)) return layerError(OsCode(code), "lock", path_);
  short type = kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK;
  if (int err = requestLock(F_OFD_SETLKW, type, offset, length)) {
    return osError(err, "lock", path_, ErrnoSource::RangeLock);
  }
  return {};
}

Status PosixFile::unlock(std::uint64_t offset, std::uint64_t length) {
  if (int code = lockRefusal(offset, length, LockKind::Shared)) {
    return layerError(OsCode(code), "unlock", path_);
  }
  if (int err = requestLock(F_OFD_SETLK, F_UNLCK, offset, length)) {
    return osError(err, "unlock", path_, ErrnoSource::RangeLock);
  }
  return {};
}

int PosixFile::refusal(bool writes, std::uint64_t offset, std::uint64_t length) const {
  if (!fd_.valid()) return kOsInvalidHandle;
  if (writes && access_ == Access::ReadOnly) return kOsAccessDenied;
  if (!rangeFits(offset, length)) return kOsInvalidParameter;
  return kOsNone;
}

int PosixFile::lockRefusal(std::uint64_t offset, std::uint64_t length, LockKind kind) const {
  // A zero length would read "to the end of all offsets" to fcntl.
  if (fd_.valid() && length == 0) return kOsInvalidParameter;
  return refusal(kind == LockKind::Exclusive, offset, length);
}

int PosixFile::requestLock(int command, short type, std::uint64_t offset,
                           std::uint64_t length) const {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = toOff(offset);
  request.l_len = toOff(length);
  request.l_pid = 0;  // required by open-file-description locks
  while (::fcntl(fd_.get(), command, &request) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace converte::platform::posix
