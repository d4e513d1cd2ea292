// The one place where errno becomes the Windows-style code that the rest of
// the program sees in OsError::osCode.

#pragma once

#include <span>
#include <string_view>

#include "platform/result.h"

namespace converte::platform::posix {

// What kind of call failed: some errno values mean something else there.
enum class ErrnoSource {
  Any,        // a table row that holds for every call
  Path,       // a call on a named file
  Directory,  // a call on a directory that must exist (listing it)
  ShareLock,  // flock taking the share mode of an open
  RangeLock,  // fcntl taking a byte-range lock
  Rename,     // rename onto a target name
};

struct ErrnoRow {
  int err;
  ErrnoSource source;
  int osCode;
};

// The code for err from a call of that source.
int osCodeFor(int err, ErrnoSource source);

// The error for a failed call on path (as resolved on disk). For a call on
// a named file (Path, Rename), a missing file whose directory is missing too
// reads 3, like a missing directory component.
OsError osError(int err, std::string_view operation, std::string_view path,
                ErrnoSource source = ErrnoSource::Path);

// An error whose code the layer decides itself (a share conflict it found).
OsError layerError(OsCode code, std::string_view operation, std::string_view path);

// The table osCodeFor reads, for its test.
std::span<const ErrnoRow> errnoTable();

}  // namespace converte::platform::posix
