// The file-system seam: every file the program touches goes through it.
// Implementations give the suite's Windows semantics on every OS: share-mode
// opens, rename that refuses to overwrite, erase refused while a file is
// open elsewhere, names matched without regard to letter case, `\` taken as a
// separator, and byte-range locks that belong to the open file.
//
// Ownership: open and create hand back a File the caller owns; destroying it
// closes the file and releases its locks. Thread rule: one thread; nothing is
// shared between threads.

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace converte::platform {

enum class Access { ReadOnly, ReadWrite };

// Exclusive: no other open of the file may exist. Shared: others may open it
// in any mode except exclusive.
enum class ShareMode { Exclusive, Shared };

enum class LockKind { Shared, Exclusive };

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  virtual ~File() = default;

  // Reads up to out.size() bytes at offset; fewer only at the end of file.
  virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> out) = 0;
  // Writes all of data at offset, extending the file when needed. A partial
  // write (disk full) is reported as an error with the count written so far
  // lost; callers treat any failure as a short write.
  virtual Status writeAt(std::uint64_t offset, std::span<const std::byte> data) = 0;
  virtual Result<std::uint64_t> size() = 0;
  virtual Status truncate(std::uint64_t size) = 0;
  // Asks the operating system to put what was written through this open on
  // disk; nothing to do when nothing was written since the last flush.
  virtual Status flush() = 0;
  // Closes the file; later calls fail. The destructor closes quietly.
  virtual Status close() = 0;

  // Byte-range locks at 64-bit offsets. They belong to this open file: two
  // opens of one file in one process exclude each other, and closing one open
  // leaves the other's locks in place. tryLock returns false when another
  // open holds a conflicting lock; lockWait blocks until granted. An
  // exclusive lock needs a read-write open (5 otherwise); a range must be
  // non-empty and end below 2^63 (87 otherwise).
  virtual Result<bool> tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) = 0;
  virtual Status lockWait(std::uint64_t offset, std::uint64_t length, LockKind kind) = 0;
  virtual Status unlock(std::uint64_t offset, std::uint64_t length) = 0;

  // The name the file was opened under, as resolved on disk.
  virtual const std::string& path() const = 0;
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // Opens an existing file. A conflicting share mode fails with code 32.
  virtual Result<std::unique_ptr<File>> open(std::string_view path, Access access,
                                            ShareMode share) = 0;
  // Creates the file or truncates an existing one, opened exclusive
  // read-write. Fails with 32 while another open holds the file.
  virtual Result<std::unique_ptr<File>> create(std::string_view path) = 0;
  // Creates a new, uniquely named file in dir (empty: the working
  // directory), opened exclusive read-write; its path is File::path().
  virtual Result<std::unique_ptr<File>> createTemporary(std::string_view dir,
                                                       std::string_view prefix) = 0;

  // True when a file or a directory of that name exists.
  virtual bool exists(std::string_view path) = 0;
  virtual bool isDirectory(std::string_view path) = 0;
  // Fails with 32 while any open holds the file, 2 when it is missing.
  virtual Status erase(std::string_view path) = 0;
  // Never replaces an existing target (fails with 5); fails with 32 while an
  // open holds the source.
  virtual Status rename(std::string_view from, std::string_view to) = 0;
  // Names (without directory) of the files in dir (empty: the working
  // directory) matching pattern, `*` and `?` wildcards, letter case ignored;
  // directories are not listed. Sorted by name without regard to case. A
  // missing directory fails with 3.
  virtual Result<std::vector<std::string>> list(std::string_view dir,
                                                std::string_view pattern) = 0;
  // Names of the subdirectories of dir matching pattern, by the same rules
  // as list. A file system that cannot list directories fails with 31.
  virtual Result<std::vector<std::string>> listDirectories(std::string_view dir,
                                                           std::string_view pattern) {
    return OsError{kOsGeneralFailure, "list", std::string(dir) + "/" + std::string(pattern)};
  }
  // The path as found on disk: each component matched exactly when it
  // exists, else without regard to case; `\` is a separator. Components not
  // found are kept as given.
  virtual std::string resolve(std::string_view path) = 0;

  // Gives up the processor for the shortest time the platform offers; used
  // between repeated lock requests.
  virtual void pause() = 0;
};

// Path helpers that need no file system.
// True when the name carries a directory part (`/`, `\` or a drive colon).
bool hasDirectoryPart(std::string_view name);
// dir joined with name by one separator; name alone when dir is empty.
std::string joinPath(std::string_view dir, std::string_view name);
// The last component of a path.
std::string_view baseName(std::string_view path);
// The directory part of a path (empty when none), without the last separator.
std::string_view dirName(std::string_view path);
// Case-insensitive wildcard match of `*` and `?` (ASCII case folding). A
// final `.*` also matches a name without extension: `*.*` matches every name.
bool matchesPattern(std::string_view name, std::string_view pattern);

}  // namespace converte::platform
