// Tests of the errno translation: every row of the table, the fallback, and
// the missing-directory reading of a missing file.

#include "platform/posix/os_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tests/support/temp_dir.h"

namespace converte::platform::posix {
namespace {

using S = ErrnoSource;

struct Expected {
  int err;
  ErrnoSource source;
  int osCode;
};

// What each errno reads for each kind of call, written out independently of
// the table.
constexpr Expected kExpected[] = {
    {EWOULDBLOCK, S::ShareLock, 32},
    {EWOULDBLOCK, S::RangeLock, 33},
    {EACCES, S::RangeLock, 33},
    {EACCES, S::Path, 5},
    {EEXIST, S::Rename, 5},
    {ENOTEMPTY, S::Rename, 5},
    {EEXIST, S::Path, 80},
    {ENOENT, S::Directory, 3},
    {ENOENT, S::Path, 2},
    {ENOENT, S::Rename, 2},
    {ENOTDIR, S::Path, 3},
    {ENAMETOOLONG, S::Path, 206},
    {EPERM, S::Path, 5},
    {EROFS, S::Path, 5},
    {EISDIR, S::Path, 5},
    {EBUSY, S::Path, 32},
    {ETXTBSY, S::Path, 32},
    {EDEADLK, S::RangeLock, 33},
    {ENOLCK, S::RangeLock, 33},
    {ENOSPC, S::Path, 112},
    {EDQUOT, S::Path, 112},
    {EFBIG, S::Path, 112},
    {EBADF, S::Path, 6},
    {EINVAL, S::Path, 87},
    {EMFILE, S::Path, 4},
    {ENFILE, S::Path, 4},
    {ENOMEM, S::Path, 8},
    {EXDEV, S::Rename, 17},
    {EIO, S::Path, 31},
    {EOVERFLOW, S::Path, 31},  // not in the table
    {EWOULDBLOCK, S::Path, 31},
};

TEST(OsError, TranslatesEveryErrnoOfTheTable) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE("errno " + std::to_string(e.err) + " source " +
                 std::to_string(static_cast<int>(e.source)));
    EXPECT_EQ(osCodeFor(e.err, e.source), e.osCode);
  }
  // Every row of the table is covered above, so a new row needs a case.
  for (const ErrnoRow& row : errnoTable()) {
    SCOPED_TRACE("table row for errno " + std::to_string(row.err));
    bool covered = false;
    for (const Expected& e : kExpected) {
      covered = covered || (e.err == row.err && (row.source == S::Any || e.source == row.source));
    }
    EXPECT_TRUE(covered);
  }
}

TEST(OsError, MissingFileReadsPathNotFoundWhenItsDirectoryIsMissingToo) {
  testing::TempDir dir;
  struct Case {
    std::string path;
    ErrnoSource source;
    int osCode;
  };
  const Case cases[] = {
      {dir.file("NOFILE.DBF"), S::Path, 2},
      {dir.file("NODIR/NOFILE.DBF"), S::Path, 3},
      {dir.file("NODIR/NOFILE.DBF"), S::Rename, 3},
      {"NOFILE.DBF", S::Path, 2},  // the working directory exists
      {dir.file("NODIR"), S::Directory, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    OsError error = osError(ENOENT, "open", c.path, c.source);
    EXPECT_EQ(error.osCode, c.osCode);
    EXPECT_EQ(error.operation, "open");
    EXPECT_EQ(error.path, c.path);
  }
}

}  // namespace
}  // namespace converte::platform::posix
