// PosixFileSystem. The share mode of an open is an flock on its descriptor:
// LOCK_EX for exclusive, LOCK_SH for shared, never waiting. An flock belongs
// to the open file description, so two opens in one process conflict just as
// two programs do. Erase and rename first take LOCK_EX on a descriptor of
// their own and hold it while they work: refused means the file is open.

#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/posix/handles.h"
#include "platform/posix/os_error.h"
#include "platform/posix/path_resolution.h"
#include "platform/posix/posix_file.h"

namespace converte::platform::posix {
namespace {

UniqueFd openRetrying(const std::string& path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

// errno of the flock request, 0 when granted.
int takeShareLock(int fd, ShareMode share) {
  int operation = (share == ShareMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

bool statOk(const std::string& path, struct stat& info) { return ::stat(path.c_str(), &info) == 0; }

Result<std::unique_ptr<File>> openedFile(UniqueFd fd, std::string path, Access access) {
  return std::unique_ptr<File>(std::make_unique<PosixFile>(std::move(fd), std::move(path), access));
}

// A descriptor holding LOCK_EX on the file, proof that no open holds it.
Result<UniqueFd> holdUnopened(const std::string& path, std::string_view operation) {
  // O_NONBLOCK: a FIFO of that name must not stall the probe.
  UniqueFd fd = openRetrying(path, O_RDONLY | O_NONBLOCK);
  if (!fd.valid()) return osError(errno, operation, path);
  if (int err = takeShareLock(fd.get(), ShareMode::Exclusive)) {
    return osError(err, operation, path, ErrnoSource::ShareLock);
  }
  return fd;
}

// The name to rename to: the resolved target, except that a target naming the
// source itself in other letter case renames to that spelling.
std::string renameTarget(const std::string& source, std::string_view to) {
  std::string target = resolvePath(to);
  if (target != source) return target;
  std::string given(to);
  std::replace(given.begin(), given.end(), '\\', '/');
  return joinPath(dirName(source), baseName(given));
}

Status renameError(int err, const std::string& source, const std::string& target) {
  // The source is known to exist: a missing name or a clash is the target's.
  bool targetsFault = err == ENOENT || err == ENOTDIR || err == EEXIST || err == ENOTEMPTY;
  return osError(err, "rename", targetsFault ? target : source, ErrnoSource::Rename);
}

Status renameNoReplace(const std::string& source, const std::string& target) {
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return {};
  }
  int err = errno;
  if (err != EINVAL && err != ENOSYS) return renameError(err, source, target);
  // A file system without RENAME_NOREPLACE: look, then rename.
  struct stat info {};
  if (::lstat(target.c_str(), &info) == 0) return renameError(EEXIST, source, target);
  if (::rename(source.c_str(), target.c_str()) != 0) return renameError(errno, source, target);
  return {};
}

bool isRegularFileIn(DIR* dir, const char* name) {
  struct stat info {};
  return ::fstatat(::dirfd(dir), name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

bool isDirectoryIn(DIR* dir, const char* name) {
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  struct stat info {};
  return ::fstatat(::dirfd(dir), name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

// The names in dir matching pattern that the test keeps, in listing order.
Result<std::vector<std::string>> listEntries(std::string_view dir, std::string_view pattern,
                                             bool (*kept)(DIR*, const char*)) {
  std::string where = dir.empty() ? std::string(".") : resolvePath(dir);
  DirStream stream(::opendir(where.c_str()));
  if (!stream) return osError(errno, "list", where, ErrnoSource::Directory);
  std::vector<std::string> names;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(stream.get());
    if (entry == nullptr) break;
    if (matchesPattern(entry->d_name, pattern) && kept(stream.get(), entry->d_name)) {
      names.emplace_back(entry->d_name);
    }
  }
  if (errno != 0) return osError(errno, "list", where, ErrnoSource::Directory);
  std::sort(names.begin(), names.end(), listingOrder);
  return names;
}

}  // namespace

Result<std::unique_ptr<File>> PosixFileSystem::open(std::string_view path, Access access,
                                                    ShareMode share) {
  std::string name = resolvePath(path);
  UniqueFd fd = openRetrying(name, access == Access::ReadOnly ? O_RDONLY : O_RDWR);
  if (!fd.valid()) return osError(errno, "open", name);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return osError(errno, "open", name);
  if (S_ISDIR(info.st_mode)) return layerError(kOsAccessDenied, "open", name);
  if (int err = takeShareLock(fd.get(), share)) {
    return osError(err, "open", name, ErrnoSource::ShareLock);
  }
  return openedFile(std::move(fd), std::move(name), access);
}

Result<std::unique_ptr<File>> PosixFileSystem::create(std::string_view path) {
  std::string name = resolvePath(path);
  // No O_TRUNC: the data may be dropped only once the share lock shows that
  // no other open holds the file.
  UniqueFd fd = openRetrying(name, O_RDWR | O_CREAT, 0666);
  if (!fd.valid()) return osError(errno, "create", name);
  if (int err = takeShareLock(fd.get(), ShareMode::Exclusive)) {
    return osError(err, "create", name, ErrnoSource::ShareLock);
  }
  while (::ftruncate(fd.get(), 0) != 0) {
    if (errno != EINTR) return osError(errno, "create", name);
  }
  return openedFile(std::move(fd), std::move(name), Access::ReadWrite);
}

Result<std::unique_ptr<File>> PosixFileSystem::createTemporary(std::string_view dir,
                                                               std::string_view prefix) {
  std::string pattern =
      joinPath(dir.empty() ? std::string() : resolvePath(dir), std::string(prefix) + "XXXXXX");
  std::string name = pattern;  // mkostemp fills in the X's
  UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
  if (!fd.valid()) return osError(errno, "createTemporary", pattern);
  if (int err = takeShareLock(fd.get(), ShareMode::Exclusive)) {
    return osError(err, "createTemporary", name, ErrnoSource::ShareLock);
  }
  return openedFile(std::move(fd), std::move(name), Access::ReadWrite);
}

bool PosixFileSystem::exists(std::string_view path) {
  struct stat info {};
  return statOk(resolvePath(path), info);
}

bool PosixFileSystem::isDirectory(std::string_view path) {
  struct stat info {};
  return statOk(resolvePath(path), info) && S_ISDIR(info.st_mode);
}

Status PosixFileSystem::erase(std::string_view path) {
  std::string name = resolvePath(path);
  Result<UniqueFd> held = holdUnopened(name, "erase");
  if (!held) return held.error();
  if (::unlink(name.c_str()) != 0) return osError(errno, "erase", name);
  return {};
}

Status PosixFileSystem::rename(std::string_view from, std::string_view to) {
  std::string source = resolvePath(from);
  Result<UniqueFd> held = holdUnopened(source, "rename");
  if (!held) return held.error();
  std::string target = renameTarget(source, to);
  if (target == source) return {};
  return renameNoReplace(source, target);
}

Result<std::vector<std::string>> PosixFileSystem::list(std::string_view dir,
                                                       std::string_view pattern) {
  return listEntries(dir, pattern, isRegularFileIn);
}

Result<std::vector<std::string>> PosixFileSystem::listDirectories(std::string_view dir,
                                                                  std::string_view pattern) {
  return listEntries(dir, pattern, isDirectoryIn);
}


std::string PosixFileSystem::resolve(std::string_view path) { return resolvePath(path); }

void PosixFileSystem::pause() {
  timespec pauseTime{0, 1'000'000};
  ::nanosleep(&pauseTime, nullptr);
}

}  // namespace converte::platform::posix
