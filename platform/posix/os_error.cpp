// errno to the Windows-style codes of OsError: one table, read top down, the
// first row whose errno and source fit giving the code.

#include "platform/posix/os_error.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/file_system.h"

namespace converte::platform::posix {
namespace {

using S = ErrnoSource;

// Rows for a particular source come before the rows that hold for any call.
// Not listed: EINTR (every caller retries), and anything else, which reads
// kOsGeneralFailure (31), the code of a device or call that failed.
constexpr ErrnoRow kErrnoTable[] = {
    {EWOULDBLOCK, S::ShareLock, kOsSharingViolation},  // another open holds the file
    {EWOULDBLOCK, S::RangeLock, kOsLockViolation},     // == EAGAIN on Linux
    {EACCES, S::RangeLock, kOsLockViolation},
    {EEXIST, S::Rename, kOsAccessDenied},     // a rename never replaces its target
    {ENOTEMPTY, S::Rename, kOsAccessDenied},  // the target is a directory with files
    {ENOENT, S::Directory, kOsPathNotFound},
    {ENOENT, S::Any, kOsFileNotFound},
    {ENOTDIR, S::Any, kOsPathNotFound},  // a directory component is a file
    {ENAMETOOLONG, S::Any, kOsNameTooLong},
    {EACCES, S::Any, kOsAccessDenied},
    {EPERM, S::Any, kOsAccessDenied},
    {EROFS, S::Any, kOsAccessDenied},
    {EISDIR, S::Any, kOsAccessDenied},  // a directory opened or erased as a file
    {EBUSY, S::Any, kOsSharingViolation},
    {ETXTBSY, S::Any, kOsSharingViolation},
    {EDEADLK, S::Any, kOsLockViolation},
    {ENOLCK, S::Any, kOsLockViolation},
    {EEXIST, S::Any, kOsFileExists},
    {ENOSPC, S::Any, kOsDiskFull},
    {EDQUOT, S::Any, kOsDiskFull},
    {EFBIG, S::Any, kOsDiskFull},  // past the largest file the volume allows
    {EBADF, S::Any, kOsInvalidHandle},
    {EINVAL, S::Any, kOsInvalidParameter},
    {EMFILE, S::Any, kOsTooManyOpenFiles},
    {ENFILE, S::Any, kOsTooManyOpenFiles},
    {ENOMEM, S::Any, kOsNotEnoughMemory},
    {EXDEV, S::Any, kOsNotSameDevice},
    {EIO, S::Any, kOsGeneralFailure},
};

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A missing file whose directory is missing as well.
bool directoryMissing(std::string_view path) {
  std::string_view dir = dirName(path);
  return !dir.empty() && !isDirectory(std::string(dir));
}

}  // namespace

int osCodeFor(int err, ErrnoSource source) {
  for (const ErrnoRow& row : kErrnoTable) {
    if (row.err == err && (row.source == source || row.source == ErrnoSource::Any)) {
      return row.osCode;
    }
  }
  return kOsGeneralFailure;
}

OsError osError(int err, std::string_view operation, std::string_view path, ErrnoSource source) {
  int code = osCodeFor(err, source);
  bool namesFile = source == ErrnoSource::Path || source == ErrnoSource::Rename;
  if (err == ENOENT && namesFile && directoryMissing(path)) {
    code = kOsPathNotFound;
  }
  return OsError{code, std::string(operation), std::string(path)};
}

OsError layerError(OsCode code, std::string_view operation, std::string_view path) {
  return OsError{code, std::string(operation), std::string(path)};
}

std::span<const ErrnoRow> errnoTable() { return kErrnoTable; }

}  // namespace converte::platform::posix
