// The file-system contract on the POSIX layer, in a temporary directory: data
// round trips, share modes and byte-range locks between two opens of one
// process, erase and rename refused while open, names without letter case,
// `\` separators, listings by pattern, temporary files and error codes.

#include "platform/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "tests/support/temp_dir.h"

namespace converte::platform {
namespace {

using Names = std::vector<std::string>;

std::string describe(const OsError& error) {
  return error.operation + "(" + error.path + "): code " + std::to_string(error.osCode);
}

template <typename R>
::testing::AssertionResult succeeded(const R& result) {
  if (result.ok()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << describe(result.error());
}

template <typename R>
::testing::AssertionResult failsWith(const R& result, int osCode) {
  if (result.ok()) return ::testing::AssertionFailure() << "succeeded";
  if (result.error().osCode == osCode) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << describe(result.error());
}

std::span<const std::byte> bytesOf(std::string_view text) {
  return std::as_bytes(std::span(text.data(), text.size()));
}

std::string readAll(File& file) {
  Result<std::uint64_t> size = file.size();
  if (!size.ok()) return "<size failed>";
  std::string bytes(*size, '\0');
  Result<std::size_t> got = file.readAt(0, std::as_writable_bytes(std::span(bytes)));
  if (!got.ok() || *got != bytes.size()) return "<read failed>";
  return bytes;
}

constexpr std::uint64_t kLockBase = 1'000'000'000;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.file(name); }
  void makeDirectory(const std::string& name) { std::filesystem::create_directory(path(name)); }

  // A file with these bytes, written and closed through the file system.
  void put(const std::string& name, std::string_view bytes) {
    Result<std::unique_ptr<File>> file = fs_->create(path(name));
    ASSERT_TRUE(succeeded(file));
    ASSERT_TRUE(succeeded((*file)->writeAt(0, bytesOf(bytes))));
    ASSERT_TRUE(succeeded((*file)->close()));
  }

  // The bytes of a file, read through a shared read-only open.
  std::string get(const std::string& name) {
    Result<std::unique_ptr<File>> file = fs_->open(path(name), Access::ReadOnly, ShareMode::Shared);
    return file.ok() ? readAll(**file) : "<" + describe(file.error()) + ">";
  }

  std::unique_ptr<File> openOk(const std::string& name, Access access, ShareMode share) {
    Result<std::unique_ptr<File>> file = fs_->open(path(name), access, share);
    EXPECT_TRUE(succeeded(file));
    return file.ok() ? std::move(*file) : nullptr;
  }

  Names listOk(const std::string& dir, std::string_view pattern) {
    Result<Names> names = fs_->list(dir, pattern);
    EXPECT_TRUE(succeeded(names));
    return names.ok() ? *names : Names{};
  }

  testing::TempDir dir_;
  std::unique_ptr<FileSystem> fs_ = newSystemFileSystem();
};

TEST_F(PosixFileSystemTest, WritesReadsSizesAndTruncatesAtOffsets) {
  Result<std::unique_ptr<File>> created = fs_->create(path("DATA.DBF"));
  ASSERT_TRUE(succeeded(created));
  File& file = **created;
  ASSERT_TRUE(succeeded(file.writeAt(0, bytesOf("hello world"))));
  ASSERT_TRUE(succeeded(file.writeAt(20, bytesOf("tail"))));
  EXPECT_EQ(*file.size(), 24u);
  EXPECT_EQ(readAll(file), std::string("hello world") + std::string(9, '\0') + "tail");

  char out[10] = {};
  Result<std::size_t> nearEnd = file.readAt(22, std::as_writable_bytes(std::span(out)));
  ASSERT_TRUE(succeeded(nearEnd));
  EXPECT_EQ(std::string(out, *nearEnd), "il");
  Result<std::size_t> pastEnd = file.readAt(100, std::as_writable_bytes(std::span(out)));
  ASSERT_TRUE(succeeded(pastEnd));
  EXPECT_EQ(*pastEnd, 0u);

  ASSERT_TRUE(succeeded(file.truncate(5)));
  EXPECT_EQ(*file.size(), 5u);
  EXPECT_TRUE(succeeded(file.flush()));
  EXPECT_TRUE(succeeded(file.close()));
  EXPECT_EQ(testing::readFileBytes(path("DATA.DBF")), "hello");
  EXPECT_EQ(file.path(), path("DATA.DBF"));
}

TEST_F(PosixFileSystemTest, ClosedFileRefusesEveryCallWithInvalidHandle) {
  Result<std::unique_ptr<File>> created = fs_->create(path("A.DBF"));
  ASSERT_TRUE(succeeded(created));
  std::unique_ptr<File> file = std::move(*created);
  ASSERT_TRUE(succeeded(file->close()));
  std::byte buffer[4];
  EXPECT_TRUE(failsWith(file->readAt(0, buffer), 6));
  EXPECT_TRUE(failsWith(file->writeAt(0, bytesOf("x")), 6));
  EXPECT_TRUE(failsWith(file->size(), 6));
  EXPECT_TRUE(failsWith(file->truncate(0), 6));
  EXPECT_TRUE(failsWith(file->flush(), 6));
  EXPECT_TRUE(failsWith(file->tryLock(kLockBase, 1, LockKind::Shared), 6));
  EXPECT_TRUE(failsWith(file->close(), 6));
}

TEST_F(PosixFileSystemTest, ReadOnlyOpenRefusesChangesAndExclusiveLocks) {
  put("A.DBF", "abc");
  std::unique_ptr<File> file = openOk("A.DBF", Access::ReadOnly, ShareMode::Shared);
  ASSERT_TRUE(file);
  EXPECT_TRUE(failsWith(file->writeAt(0, bytesOf("x")), 5));
  EXPECT_TRUE(failsWith(file->truncate(0), 5));
  EXPECT_TRUE(failsWith(file->tryLock(kLockBase, 1, LockKind::Exclusive), 5));
  Result<bool> shared = file->tryLock(kLockBase, 1, LockKind::Shared);
  ASSERT_TRUE(succeeded(shared));
  EXPECT_TRUE(*shared);
  EXPECT_EQ(get("A.DBF"), "abc");
}

TEST_F(PosixFileSystemTest, ShareModesOfTwoOpensInOneProcess) {
  struct Case {
    ShareMode firstShare;
    Access firstAccess;
    ShareMode secondShare;
    Access secondAccess;
    int expected;  // 0: the second open succeeds
  };
  using enum ShareMode;
  const Case cases[] = {
      {Exclusive, Access::ReadWrite, Exclusive, Access::ReadWrite, 32},
      {Exclusive, Access::ReadWrite, Shared, Access::ReadOnly, 32},
      {Exclusive, Access::ReadOnly, Shared, Access::ReadWrite, 32},
      {Shared, Access::ReadWrite, Shared, Access::ReadWrite, 0},
      {Shared, Access::ReadOnly, Shared, Access::ReadWrite, 0},
      {Shared, Access::ReadWrite, Exclusive, Access::ReadWrite, 32},
      {Shared, Access::ReadOnly, Exclusive, Access::ReadOnly, 32},
  };
  put("T.DBF", "data");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    std::unique_ptr<File> first = openOk("T.DBF", c.firstAccess, c.firstShare);
    Result<std::unique_ptr<File>> second = fs_->open(path("T.DBF"), c.secondAccess, c.secondShare);
    EXPECT_TRUE(c.expected == 0 ? succeeded(second) : failsWith(second, c.expected));
    first.reset();  // destroying the first open gives up its share mode
    if (second.ok()) second->reset();
    EXPECT_TRUE(succeeded(fs_->open(path("T.DBF"), c.secondAccess, c.secondShare)));
  }
}

TEST_F(PosixFileSystemTest, CreateOverAnOpenFileFailsAndKeepsItsData) {
  for (ShareMode share : {ShareMode::Exclusive, ShareMode::Shared}) {
    SCOPED_TRACE(share == ShareMode::Exclusive ? "exclusive" : "shared");
    put("HELD.DBF", "precious");
    std::unique_ptr<File> holder = openOk("HELD.DBF", Access::ReadWrite, share);
    EXPECT_TRUE(failsWith(fs_->create(path("HELD.DBF")), 32));
    EXPECT_EQ(testing::readFileBytes(path("HELD.DBF")), "precious");
    ASSERT_TRUE(succeeded(holder->close()));
    Result<std::unique_ptr<File>> created = fs_->create(path("HELD.DBF"));
    ASSERT_TRUE(succeeded(created));
    EXPECT_EQ(*(*created)->size(), 0u);
  }
}

TEST_F(PosixFileSystemTest, CreatedAndTemporaryFilesAreHeldExclusively) {
  Result<std::unique_ptr<File>> created = fs_->create(path("NEW.DBF"));
  ASSERT_TRUE(succeeded(created));
  EXPECT_TRUE(failsWith(fs_->open(path("NEW.DBF"), Access::ReadOnly, ShareMode::Shared), 32));
  Result<std::unique_ptr<File>> temporary = fs_->createTemporary(dir_.path(), "tmp");
  ASSERT_TRUE(succeeded(temporary));
  EXPECT_TRUE(failsWith(fs_->open((*temporary)->path(), Access::ReadOnly, ShareMode::Shared), 32));
}

TEST_F(PosixFileSystemTest, EraseAndRenameAreRefusedWhileAnOpenHoldsTheFile) {
  for (ShareMode share : {ShareMode::Exclusive, ShareMode::Shared}) {
    SCOPED_TRACE(share == ShareMode::Exclusive ? "exclusive" : "shared");
    put("BUSY.DBF", "busy");
    std::unique_ptr<File> holder = openOk("BUSY.DBF", Access::ReadOnly, share);
    EXPECT_TRUE(failsWith(fs_->erase(path("BUSY.DBF")), 32));
    EXPECT_TRUE(failsWith(fs_->rename(path("BUSY.DBF"), path("MOVED.DBF")), 32));
    EXPECT_EQ(testing::readFileBytes(path("BUSY.DBF")), "busy");
    EXPECT_FALSE(fs_->exists(path("MOVED.DBF")));
    holder.reset();
    EXPECT_TRUE(succeeded(fs_->erase(path("BUSY.DBF"))));
    EXPECT_FALSE(fs_->exists(path("BUSY.DBF")));
  }
}

TEST_F(PosixFileSystemTest, RenameNeverReplacesAnExistingTarget) {
  put("SOURCE.DBF", "source");
  put("TARGET.DBF", "target");
  for (std::string target : {"TARGET.DBF", "target.dbf", "Target.Dbf"}) {
    SCOPED_TRACE(target);
    Status renamed = fs_->rename(path("SOURCE.DBF"), path(target));
    ASSERT_TRUE(failsWith(renamed, 5));
    EXPECT_EQ(renamed.error().operation, "rename");
    EXPECT_EQ(renamed.error().path, path("TARGET.DBF"));
  }
  EXPECT_EQ(get("SOURCE.DBF"), "source");
  EXPECT_EQ(get("TARGET.DBF"), "target");
  EXPECT_EQ(listOk(dir_.path(), "*"), (Names{"SOURCE.DBF", "TARGET.DBF"}));
}

TEST_F(PosixFileSystemTest, RenameMovesTheFileAndMayChangeOnlyLetterCase) {
  put("ctlancam.dbf", "records");
  ASSERT_TRUE(succeeded(fs_->rename(path("CTLANCAM.DBF"), path("CPCTLANC.DBF"))));
  EXPECT_EQ(listOk(dir_.path(), "*"), (Names{"CPCTLANC.DBF"}));
  ASSERT_TRUE(succeeded(fs_->rename(path("cpctlanc.dbf"), path("CpCtlanc.dbf"))));
  EXPECT_EQ(listOk(dir_.path(), "*"), (Names{"CpCtlanc.dbf"}));
  EXPECT_EQ(get("CpCtlanc.dbf"), "records");
}

TEST_F(PosixFileSystemTest, NamesAreFoundWithoutRegardToLetterCase) {
  testing::writeFileBytes(path("foo.dbf"), "old contents");
  std::unique_ptr<File> opened = openOk("FOO.DBF", Access::ReadOnly, ShareMode::Shared);
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->path(), path("foo.dbf"));
  EXPECT_EQ(readAll(*opened), "old contents");
  opened.reset();
  EXPECT_TRUE(fs_->exists(path("Foo.Dbf")));
  EXPECT_EQ(fs_->resolve(path("FOO.DBF")), path("foo.dbf"));

  // Creating under another spelling truncates the existing file.
  put("FOO.DBF", "new");
  EXPECT_EQ(listOk(dir_.path(), "*"), (Names{"foo.dbf"}));
  EXPECT_EQ(testing::readFileBytes(path("foo.dbf")), "new");

  EXPECT_TRUE(succeeded(fs_->erase(path("FOO.DBF"))));
  EXPECT_FALSE(fs_->exists(path("foo.dbf")));
}

TEST_F(PosixFileSystemTest, AnExactNameWinsOverOtherSpellings) {
  testing::writeFileBytes(path("a.dbf"), "lower");
  testing::writeFileBytes(path("A.DBF"), "upper");
  EXPECT_EQ(get("a.dbf"), "lower");
  EXPECT_EQ(get("A.DBF"), "upper");
  EXPECT_EQ(fs_->resolve(path("a.Dbf")), path("A.DBF"));  // the first in byte order
}

TEST_F(PosixFileSystemTest, ResolveMatchesEachComponentAndKeepsTheRestAsGiven) {
  makeDirectory("Firma1");
  testing::writeFileBytes(path("Firma1/ctlancam.dbf"), "x");
  struct Case {
    std::string given, expected;
  };
  const Case cases[] = {
      {dir_.path() + "\\FIRMA1\\CTLANCAM.DBF", path("Firma1/ctlancam.dbf")},
      {dir_.path() + "/firma1/NEW.DBF", path("Firma1/NEW.DBF")},
      {dir_.path() + "/NODIR\\Firma1\\A.DBF", path("NODIR/Firma1/A.DBF")},
      {dir_.path() + "/./FIRMA1/../firma1/CTLANCAM.dbf", path("./Firma1/../Firma1/ctlancam.dbf")},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(fs_->resolve(c.given), c.expected);
  }
}

TEST_F(PosixFileSystemTest, BackslashesSeparateComponents) {
  makeDirectory("SUB");
  std::string name = dir_.path() + "\\sub\\X.DBF";
  Result<std::unique_ptr<File>> created = fs_->create(name);
  ASSERT_TRUE(succeeded(created));
  EXPECT_EQ((*created)->path(), path("SUB/X.DBF"));
  created->reset();
  EXPECT_TRUE(fs_->exists(name));
  EXPECT_TRUE(fs_->isDirectory(dir_.path() + "\\Sub"));
  EXPECT_EQ(listOk(dir_.path() + "\\sub", "*.dbf"), (Names{"X.DBF"}));
  ASSERT_TRUE(succeeded(fs_->rename(name, dir_.path() + "\\SUB\\Y.DBF")));
  EXPECT_TRUE(succeeded(fs_->erase(dir_.path() + "\\SUB\\y.dbf")));
  EXPECT_EQ(listOk(path("SUB"), "*"), Names{});
}

TEST_F(PosixFileSystemTest, ListsMatchingFilesInListingOrder) {
  for (const char* name : {"CTLANCAM.DBF", "cpctlanc.dbf", "CPX.DBT", "xTmpRel.dbf", "XFOO", "x",
                           "A.NTX", "B.N1X", "readme.txt"}) {
    testing::writeFileBytes(path(name), "");
  }
  makeDirectory("CPDIR.DBF");  // directories are never listed
  struct Case {
    std::string_view pattern;
    Names expected;
  };
  const Case cases[] = {
      {"*.DBF", {"cpctlanc.dbf", "CTLANCAM.DBF", "xTmpRel.dbf"}},
      {"CP*.DBF", {"cpctlanc.dbf"}},
      {"cp*.*", {"cpctlanc.dbf", "CPX.DBT"}},
      {"x*.*", {"x", "XFOO", "xTmpRel.dbf"}},
      {"*.??X", {"A.NTX", "B.N1X"}},
      {"?.NTX", {"A.NTX"}},
      {"CP?.DBT", {"CPX.DBT"}},
      {"NONE*.*", {}},
      {"*",
       {"A.NTX", "B.N1X", "cpctlanc.dbf", "CPX.DBT", "CTLANCAM.DBF", "readme.txt", "x", "XFOO",
        "xTmpRel.dbf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern));
    EXPECT_EQ(listOk(dir_.path(), c.pattern), c.expected);
  }
}

TEST_F(PosixFileSystemTest, ExistsAndIsDirectoryTellEntriesApart) {
  put("FILE.DBF", "");
  makeDirectory("FIRMA1");
  EXPECT_TRUE(fs_->exists(path("file.dbf")));
  EXPECT_FALSE(fs_->isDirectory(path("file.dbf")));
  EXPECT_TRUE(fs_->exists(path("firma1")));
  EXPECT_TRUE(fs_->isDirectory(path("firma1")));
  EXPECT_FALSE(fs_->exists(path("MISSING.DBF")));
  EXPECT_FALSE(fs_->isDirectory(path("MISSING")));
}

TEST_F(PosixFileSystemTest, TemporaryFilesAreNewUniqueAndEmpty) {
  std::set<std::string> paths;
  std::vector<std::unique_ptr<File>> files;
  for (int i = 0; i < 20; ++i) {
    Result<std::unique_ptr<File>> file = fs_->createTemporary(dir_.path(), "tmp");
    ASSERT_TRUE(succeeded(file));
    const std::string& name = (*file)->path();
    EXPECT_EQ(std::string(dirName(name)), dir_.path());
    EXPECT_TRUE(baseName(name).starts_with("tmp")) << name;
    EXPECT_EQ(*(*file)->size(), 0u);
    paths.insert(name);
    files.push_back(std::move(*file));
  }
  EXPECT_EQ(paths.size(), 20u);
  EXPECT_EQ(listOk(dir_.path(), "tmp*").size(), 20u);
}

TEST_F(PosixFileSystemTest, ErrorsCarryTheWindowsCodeOperationAndPath) {
  put("A.DBF", "a");
  makeDirectory("DIR.DBF");
  struct Case {
    const char* what;
    std::function<OsError()> call;
    OsError expected;
  };
  auto error = [](auto result) { return result.ok() ? OsError{} : result.error(); };
  const Case cases[] = {
      {"open missing file",
       [&] { return error(fs_->open(path("NO.DBF"), Access::ReadOnly, ShareMode::Shared)); },
       {2, "open", path("NO.DBF")}},
      {"open in missing directory",
       [&] {
         return error(fs_->open(path("NODIR/NO.DBF"), Access::ReadWrite, ShareMode::Exclusive));
       },
       {3, "open", path("NODIR/NO.DBF")}},
      {"open a directory",
       [&] { return error(fs_->open(path("DIR.DBF"), Access::ReadOnly, ShareMode::Shared)); },
       {5, "open", path("DIR.DBF")}},
      {"create in missing directory",
       [&] { return error(fs_->create(path("NODIR/NEW.DBF"))); },
       {3, "create", path("NODIR/NEW.DBF")}},
      {"create over a directory",
       [&] { return error(fs_->create(path("dir.dbf"))); },
       {5, "create", path("DIR.DBF")}},
      {"temporary in missing directory",
       [&] { return error(fs_->createTemporary(path("NODIR"), "t")); },
       {3, "createTemporary", path("NODIR/tXXXXXX")}},
      {"erase missing file",
       [&] { return error(fs_->erase(path("NO.DBF"))); },
       {2, "erase", path("NO.DBF")}},
      {"erase in missing directory",
       [&] { return error(fs_->erase(path("NODIR/NO.DBF"))); },
       {3, "erase", path("NODIR/NO.DBF")}},
      {"erase a directory",
       [&] { return error(fs_->erase(path("DIR.DBF"))); },
       {5, "erase", path("DIR.DBF")}},
      {"rename missing file",
       [&] { return error(fs_->rename(path("NO.DBF"), path("B.DBF"))); },
       {2, "rename", path("NO.DBF")}},
      {"rename from missing directory",
       [&] { return error(fs_->rename(path("NODIR/A.DBF"), path("B.DBF"))); },
       {3, "rename", path("NODIR/A.DBF")}},
      {"rename into missing directory",
       [&] { return error(fs_->rename(path("A.DBF"), path("NODIR/B.DBF"))); },
       {3, "rename", path("NODIR/B.DBF")}},
      {"list missing directory",
       [&] { return error(fs_->list(path("NODIR"), "*")); },
       {3, "list", path("NODIR")}},
      {"list a file",
       [&] { return error(fs_->list(path("A.DBF"), "*")); },
       {3, "list", path("A.DBF")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OsError actual = c.call();
    EXPECT_EQ(actual.osCode, c.expected.osCode) << describe(actual);
    EXPECT_EQ(actual.operation, c.expected.operation);
    EXPECT_EQ(actual.path, c.expected.path);
  }
  EXPECT_EQ(get("A.DBF"), "a");
}

TEST_F(PosixFileSystemTest, WriteOnAFullDeviceReadsDiskFull) {
  if (!fs_->exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Result<std::unique_ptr<File>> full = fs_->open("/dev/full", Access::ReadWrite, ShareMode::Shared);
  ASSERT_TRUE(succeeded(full));
  Status written = (*full)->writeAt(0, bytesOf("record"));
  EXPECT_TRUE(failsWith(written, 112));
}

// Byte-range locks: two opens of one file in one process exclude each other.
class PosixLockTest : public PosixFileSystemTest {
 protected:
  void SetUp() override {
    put("T.DBF", "data");
    first_ = openOk("T.DBF", Access::ReadWrite, ShareMode::Shared);
    second_ = openOk("T.DBF", Access::ReadWrite, ShareMode::Shared);
    ASSERT_TRUE(first_ && second_);
  }

  static bool granted(File& file, std::uint64_t offset, std::uint64_t length, LockKind kind) {
    Result<bool> locked = file.tryLock(offset, length, kind);
    EXPECT_TRUE(succeeded(locked));
    return locked.ok() && *locked;
  }

  std::unique_ptr<File> first_;
  std::unique_ptr<File> second_;
};

TEST_F(PosixLockTest, RegionsOfTwoOpensConflictWhereTheyOverlap) {
  using enum LockKind;
  constexpr std::uint64_t kScheme5Base = (1ull << 63) - (1ull << 32) + 1;
  struct Case {
    const char* what;
    std::uint64_t heldOffset, heldLength;
    LockKind held;
    std::uint64_t askedOffset, askedLength;
    LockKind asked;
    bool granted;
  };
  const Case cases[] = {
      {"same record", kLockBase + 7, 1, Exclusive, kLockBase + 7, 1, Exclusive, false},
      {"next record", kLockBase + 7, 1, Exclusive, kLockBase + 8, 1, Exclusive, true},
      {"file lock over a record", kLockBase + 7, 1, Exclusive, kLockBase + 1, kLockBase, Exclusive,
       false},
      {"last record byte", kLockBase + 1, kLockBase, Exclusive, 2 * kLockBase, 1, Exclusive, false},
      {"past the file lock", kLockBase + 1, kLockBase, Exclusive, 2 * kLockBase + 1, 1, Exclusive,
       true},
      {"header byte below", kLockBase + 1, kLockBase, Exclusive, kLockBase, 1, Exclusive, true},
      {"shared with shared", kLockBase, 1, Shared, kLockBase, 1, Shared, true},
      {"exclusive over shared", kLockBase, 1, Shared, kLockBase, 1, Exclusive, false},
      {"shared over exclusive", kLockBase, 1, Exclusive, kLockBase, 1, Shared, false},
      {"beyond 32 bits", 4'294'901'759, 65'536, Exclusive, 4'294'967'294, 1, Exclusive, false},
      {"64-bit base", kScheme5Base, 2'147'483'646, Exclusive, kScheme5Base + 2'147'483'645, 1,
       Exclusive, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(granted(*first_, c.heldOffset, c.heldLength, c.held));
    EXPECT_EQ(granted(*second_, c.askedOffset, c.askedLength, c.asked), c.granted);
    ASSERT_TRUE(succeeded(first_->unlock(c.heldOffset, c.heldLength)));
    ASSERT_TRUE(succeeded(second_->unlock(c.askedOffset, c.askedLength)));
    EXPECT_TRUE(granted(*second_, c.heldOffset, c.heldLength, Exclusive));  // all released
    ASSERT_TRUE(succeeded(second_->unlock(c.heldOffset, c.heldLength)));
  }
}

TEST_F(PosixLockTest, ClosingOneOpenKeepsTheLocksOfAnother) {
  ASSERT_TRUE(granted(*first_, kLockBase + 9, 1, LockKind::Exclusive));
  ASSERT_TRUE(granted(*second_, kLockBase + 7, 1, LockKind::Exclusive));
  std::unique_ptr<File> third = openOk("T.DBF", Access::ReadWrite, ShareMode::Shared);
  ASSERT_TRUE(succeeded(first_->close()));
  EXPECT_FALSE(granted(*third, kLockBase + 7, 1, LockKind::Exclusive));  // still the second's
  EXPECT_TRUE(granted(*third, kLockBase + 9, 1, LockKind::Exclusive));   // the first's is gone
  second_.reset();
  EXPECT_TRUE(granted(*third, kLockBase + 7, 1, LockKind::Exclusive));
}

TEST_F(PosixLockTest, RefusesEmptyAndOverlongRanges) {
  EXPECT_TRUE(failsWith(first_->tryLock(kLockBase, 0, LockKind::Exclusive), 87));
  EXPECT_TRUE(failsWith(first_->lockWait(kLockBase, 0, LockKind::Exclusive), 87));
  EXPECT_TRUE(failsWith(first_->unlock(kLockBase, 0), 87));
  EXPECT_TRUE(failsWith(first_->tryLock(1ull << 63, 1, LockKind::Shared), 87));
  EXPECT_TRUE(failsWith(first_->tryLock((1ull << 63) - 1, 2, LockKind::Shared), 87));
  EXPECT_TRUE(granted(*first_, (1ull << 63) - 2, 1, LockKind::Exclusive));
}

// Whether /proc/locks shows a request for the file with this inode waiting.
bool lockRequestWaits(ino_t inode) {
  std::ifstream locks("/proc/locks");
  std::string needle = ":" + std::to_string(inode) + " ";
  for (std::string line; std::getline(locks, line);) {
    if (line.find("->") != std::string::npos && line.find(needle) != std::string::npos) {
      return true;
    }
  }
  return false;
}

TEST_F(PosixLockTest, LockWaitBlocksUntilAnotherOpenReleases) {
  struct stat info {};
  ASSERT_EQ(::stat(path("T.DBF").c_str(), &info), 0);
  if (!std::ifstream("/proc/locks")) GTEST_SKIP() << "no /proc/locks to see the waiter";
  ASSERT_TRUE(granted(*second_, kLockBase, 1, LockKind::Exclusive));

  std::atomic<bool> returned = false;
  Status waited;
  std::thread waiter([&] {
    waited = first_->lockWait(kLockBase, 1, LockKind::Exclusive);
    returned = true;
  });
  // The kernel lists the blocked request; no timing is assumed.
  bool seen = false;
  for (int i = 0; i < 100'000 && !seen && !returned; ++i) {
    seen = lockRequestWaits(info.st_ino);
    if (!seen) fs_->pause();
  }
  EXPECT_TRUE(seen);
  EXPECT_FALSE(returned);
  ASSERT_TRUE(succeeded(second_->unlock(kLockBase, 1)));
  waiter.join();
  EXPECT_TRUE(succeeded(waited));
  EXPECT_FALSE(granted(*second_, kLockBase, 1, LockKind::Shared));  // the first holds it now
}

}  // namespace
}  // namespace converte::platform
