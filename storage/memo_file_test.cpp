// Tests of the DBT and FPT memo files: the bytes they leave on disk, reading
// back, damaged headers, the error records of create, open, read and write,
// the memo write lock, and compaction.

#include "storage/memo_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/block_memo_file.h"
#include "storage/recording_fs_test_support.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using converte::testing::CallLog;
using converte::testing::readFileBytes;
using converte::testing::RecordingFileSystem;
using converte::testing::writeFileBytes;

std::string le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string be32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
  return s;
}

const std::string kSignature("Quarvel\0", 8);

std::string freshDbtHeader(std::uint32_t nextFree) {
  return le32(nextFree) + le32(512) + kSignature + std::string(496, '\0');
}

std::string freshFptHeader(std::uint32_t nextFree, std::uint32_t blockSize) {
  return be32(nextFree) + be32(blockSize) + kSignature + std::string(496, '\0');
}

// Puts bytes into image at offset, growing it with zeros when needed.
void place(std::string& image, std::size_t offset, const std::string& bytes) {
  if (image.size() < offset + bytes.size()) image.resize(offset + bytes.size(), '\0');
  image.replace(offset, bytes.size(), bytes);
}

std::string dbtStored(const std::string& text) { return text + "\x1A\x1A"; }

std::string fptStored(const std::string& text, std::uint32_t blockSize) {
  std::string stored = be32(1) + be32(static_cast<std::uint32_t>(text.size())) + text;
  stored.resize((stored.size() + blockSize - 1) / blockSize * blockSize, '\0');
  return stored;
}

std::string textOf(std::size_t length, char first) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(first + i % 23);
  return text;
}

errors::ErrorRecord driverRecord(int genCode, int subCode, const std::string& description,
                                 const std::string& file, int osCode, bool retry, bool byDefault) {
  errors::ErrorRecord record;
  record.genCode = genCode;
  record.subSystem = "DBFNTX";
  record.subCode = subCode;
  record.osCode = osCode;
  record.description = description;
  record.fileName = file;
  record.canRetry = retry;
  record.canDefault = byDefault;
  return record;
}

// Compares every field but the call levels, which name source lines.
void expectRecord(const errors::ErrorRecord& actual, errors::ErrorRecord expected) {
  EXPECT_FALSE(actual.callStack.empty());
  expected.callStack = actual.callStack;
  EXPECT_EQ(actual, expected);
}

std::vector<std::string> filesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

// Runs a repair (creating what was missing) before answering from the script.
class RepairingHandler final : public converte::testing::ScriptedHandler {
 public:
  explicit RepairingHandler(std::function<void()> repair)
      : ScriptedHandler(errors::Answer::Retry), repair_(std::move(repair)) {}
  errors::Answer handle(const errors::ErrorRecord& record) override {
    repair_();
    return ScriptedHandler::handle(record);
  }

 private:
  std::function<void()> repair_;
};

class MemoFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<MemoFile> createDbt() { return createMemoFile(env_, path_, MemoFormat::Dbt); }
  std::unique_ptr<MemoFile> openDbt(platform::ShareMode share = platform::ShareMode::Exclusive) {
    return openMemoFile(env_, path_, MemoFormat::Dbt, platform::Access::ReadWrite, share);
  }
  std::string onDisk() const { return readFileBytes(path_); }

  converte::testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::newSystemFileSystem();
  converte::testing::FixedClock clock_;
  converte::testing::ScriptedHandler handler_;
  StorageEnv env_{*fs_, clock_, handler_};
  std::string path_ = dir_.file("notes.dbt");
};

// --- Headers as values ---

TEST(MemoHeaders, DbtHeaderRoundTripsEveryByte) {
  DbtHeader header;
  header.nextFree = 0x01020304;
  header.blockSize = 0;
  for (std::size_t i = 0; i < header.rest.size(); ++i) header.rest[i] = std::byte(i * 7 + 1);
  std::array<std::byte, kMemoHeaderSize> bytes{};
  header.encode(bytes);
  EXPECT_EQ(bytes[0], std::byte{0x04});
  EXPECT_EQ(bytes[3], std::byte{0x01});
  EXPECT_EQ(DbtHeader::decode(bytes), header);
}

TEST(MemoHeaders, FptHeaderRoundTripsEveryByte) {
  FptHeader header;
  header.nextFree = 0x01020304;
  header.blockSizeWord = 0x00000200;
  for (std::size_t i = 0; i < header.rest.size(); ++i) header.rest[i] = std::byte(i * 5 + 2);
  std::array<std::byte, kMemoHeaderSize> bytes{};
  header.encode(bytes);
  EXPECT_EQ(bytes[0], std::byte{0x01});
  EXPECT_EQ(bytes[3], std::byte{0x04});
  EXPECT_EQ(bytes[6], std::byte{0x02});
  EXPECT_EQ(FptHeader::decode(bytes), header);
}

TEST(MemoHeaders, FptBlockSizeFallsBackToTheSixteenBitsAtSixThenToSixtyFour) {
  struct Case {
    std::uint32_t word;
    std::uint32_t blockSize;
  };
  for (const Case& c : {Case{0x00000040, 64}, Case{0x00000200, 512}, Case{0xABCD0080, 128},
                        Case{0xABCD0000, 64}, Case{0, 64}}) {
    SCOPED_TRACE(c.word);
    FptHeader header;
    header.blockSizeWord = c.word;
    EXPECT_EQ(header.blockSize(), c.blockSize);
  }
}

// --- DBT: create, write, read ---

TEST_F(MemoFileTest, CreateLeavesExactlyTheFreshHeader) {
  writeFileBytes(path_, std::string(3000, 'x'));
  auto memo = createDbt();
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->format(), MemoFormat::Dbt);
  EXPECT_EQ(memo->path(), path_);
  EXPECT_EQ(onDisk(), freshDbtHeader(1));
  EXPECT_TRUE(handler_.records.empty());
}

TEST_F(MemoFileTest, SixHundredCharactersTakeTwoBlocksFromOffset512) {
  auto memo = createDbt();
  EXPECT_EQ(memo->write(std::string(600, 'x')), 1u);
  const std::string bytes = onDisk();
  ASSERT_EQ(bytes.size(), 1114u);
  EXPECT_EQ(bytes.substr(512, 600), std::string(600, 'x'));
  EXPECT_EQ(bytes[1112], '\x1A');
  EXPECT_EQ(bytes[1113], '\x1A');
  EXPECT_EQ(bytes.substr(0, 4), le32(3));
}

TEST_F(MemoFileTest, FiveHundredElevenCharactersTakeOneBlockAndTheNextMemoOverwritesTheEndByte) {
  auto memo = createDbt();
  EXPECT_EQ(memo->write(std::string(511, 'x')), 1u);
  std::string bytes = onDisk();
  ASSERT_EQ(bytes.size(), 1025u);
  EXPECT_EQ(bytes.substr(1023, 2), "\x1A\x1A");
  EXPECT_EQ(bytes.substr(0, 4), le32(2));

  EXPECT_EQ(memo->write("next"), 2u);
  bytes = onDisk();
  EXPECT_EQ(bytes.size(), 1030u);
  EXPECT_EQ(bytes.substr(1023), "\x1Anext\x1A\x1A");
  std::string text;
  memo->read(1, text);
  EXPECT_EQ(text, std::string(511, 'x'));
}

// Memos written in order into a new file: the blocks they get, the header's
// next free block and the whole file.
TEST_F(MemoFileTest, WritesPlaceEachMemoAtTheNextFreeBlock) {
  struct Case {
    const char* name;
    std::vector<std::size_t> lengths;
    std::vector<std::uint32_t> blocks;
    std::uint32_t nextFree;
    std::size_t fileSize;
  };
  const Case cases[] = {
      {"600 characters take two blocks", {600}, {1}, 3, 1114},
      {"510 characters and both end bytes fill one block", {510}, {1}, 2, 1024},
      {"512 characters take two blocks", {512}, {1}, 3, 1026},
      {"a long memo spans many blocks", {5000}, {1}, 11, 5514},
      {"a replaced memo is written anew at the end", {600, 10}, {1, 3}, 4, 1548},
      {"an empty text takes no block", {5, 0, 7}, {1, 0, 2}, 3, 1033},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto memo = createDbt();
    std::string image = freshDbtHeader(c.nextFree);
    for (std::size_t i = 0; i < c.lengths.size(); ++i) {
      const std::string text = textOf(c.lengths[i], static_cast<char>('A' + i));
      EXPECT_EQ(memo->write(text), c.blocks[i]);
      if (!text.empty()) place(image, c.blocks[i] * 512, dbtStored(text));
    }
    EXPECT_EQ(onDisk().size(), c.fileSize);
    EXPECT_EQ(onDisk(), image);
    for (std::size_t i = 0; i < c.lengths.size(); ++i) {
      if (c.blocks[i] == 0) continue;
      std::string text;
      memo->read(c.blocks[i], text);
      EXPECT_EQ(text, textOf(c.lengths[i], static_cast<char>('A' + i)));
    }
  }
}

TEST_F(MemoFileTest, AnEmptyTextWritesNothingAndReturnsZero) {
  auto memo = createDbt();
  memo->write("first");
  const std::string before = onDisk();
  EXPECT_EQ(memo->write(""), 0u);
  EXPECT_EQ(onDisk(), before);
}

TEST_F(MemoFileTest, ReadTakesTheBytesBeforeTheFirstEndByte) {
  struct Case {
    const char* name;
    std::string afterHeader;
    std::uint32_t block;
    std::string text;
  };
  const std::string x512(512, 'x');
  const std::string long1100 = textOf(1100, 'a');
  const Case cases[] = {
      {"a text holding 0x1A is cut there",
       "abc\x1A"
       "def\x1A\x1A",
       1, "abc"},
      {"a memo of three pieces", long1100 + "\x1A\x1A", 1, long1100},
      {"an end byte opening the second piece", x512 + "\x1A", 1, x512},
      {"a memo cut by the end of the file", "abcdef", 1, "abcdef"},
      {"a memo at a later block", x512 + "second\x1A\x1A", 2, "second"},
      {"a block beyond the end", "abc\x1A\x1A", 9, ""},
      {"block 0", "abc\x1A\x1A", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeFileBytes(path_, freshDbtHeader(5) + c.afterHeader);
    auto memo = openDbt();
    ASSERT_NE(memo, nullptr);
    std::string text = "left over";
    memo->read(c.block, text);
    EXPECT_EQ(text, c.text);
  }
}

TEST_F(MemoFileTest, AWriteChangesOnlyTheNextFreeBlockOfTheHeader) {
  std::string header = le32(1);
  for (int i = 4; i < 512; ++i) header += static_cast<char>((i * 7 + 3) & 0xFF);
  writeFileBytes(path_, header);
  auto memo = openDbt();
  EXPECT_EQ(memo->write("hello"), 1u);
  EXPECT_EQ(onDisk(), le32(2) + header.substr(4) + dbtStored("hello"));
}

TEST_F(MemoFileTest, EmptyLeavesTheFreshHeaderAlone) {
  std::string header = le32(1);
  for (int i = 4; i < 512; ++i) header += static_cast<char>(i & 0xFF);
  writeFileBytes(path_, header);
  auto memo = openDbt();
  memo->write(std::string(2000, 'q'));
  memo->empty();
  EXPECT_EQ(onDisk(), freshDbtHeader(1));
  EXPECT_EQ(memo->write("again"), 1u);
}

// A damaged header: the write raises and the file stays as it was.
TEST_F(MemoFileTest, ADamagedHeaderRaisesAndWritesNothing) {
  struct Case {
    const char* name;
    std::string bytes;
    int genCode;
    int subCode;
    const char* description;
  };
  const Case cases[] = {
      {"next free block 0 would overwrite the header", freshDbtHeader(0) + "old\x1A\x1A", 32, 1012,
       "Corruption detected"},
      {"next free block beyond the last block number", freshDbtHeader(0xFFFFFFFF), 32, 1012,
       "Corruption detected"},
      {"a header cut short", freshDbtHeader(1).substr(0, 100), 23, 1010, "Read error"},
      {"an empty file", "", 23, 1010, "Read error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    handler_.records.clear();
    writeFileBytes(path_, c.bytes);
    auto memo = openDbt();
    EXPECT_THROW(memo->write("text"), errors::ErrorAbandoned);
    ASSERT_EQ(handler_.records.size(), 1u);
    expectRecord(handler_.records[0],
                 driverRecord(c.genCode, c.subCode, c.description, path_, 0, false, false));
    EXPECT_EQ(onDisk(), c.bytes);
  }
}

// --- Create and open errors ---

TEST_F(MemoFileTest, ACreateThatFailsIsRaisedAgainOnRetry) {
  const std::string path = dir_.file("missing/notes.dbt");
  handler_.script({errors::Answer::Retry});
  EXPECT_THROW(createMemoFile(env_, path, MemoFormat::Dbt), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 2u);
  for (const auto& record : handler_.records)
    expectRecord(record, driverRecord(20, 1005, "Create error", path, 3, true, false));
}

TEST_F(MemoFileTest, ARetriedCreateSucceedsOnceTheDirectoryExists) {
  const std::string path = dir_.file("later/notes.dbt");
  RepairingHandler handler([&] { std::filesystem::create_directory(dir_.file("later")); });
  StorageEnv env(*fs_, clock_, handler);
  auto memo = createMemoFile(env, path, MemoFormat::Dbt);
  ASSERT_NE(memo, nullptr);
  ASSERT_EQ(handler.records.size(), 1u);
  expectRecord(handler.records[0], driverRecord(20, 1005, "Create error", path, 3, true, false));
  EXPECT_EQ(readFileBytes(path), freshDbtHeader(1));
}

TEST_F(MemoFileTest, OpeningAMissingFileRaisesOpenErrorAndDefaultGivesNothing) {
  handler_.setOtherwise(errors::Answer::Default);
  EXPECT_EQ(openDbt(), nullptr);
  ASSERT_EQ(handler_.records.size(), 1u);
  expectRecord(handler_.records[0], driverRecord(21, 1002, "Open error", path_, 2, true, true));
}

TEST_F(MemoFileTest, ARetriedOpenSucceedsOnceTheFileExists) {
  RepairingHandler handler([&] { writeFileBytes(path_, freshDbtHeader(1)); });
  StorageEnv env(*fs_, clock_, handler);
  auto memo = openMemoFile(env, path_, MemoFormat::Dbt, platform::Access::ReadWrite,
                           platform::ShareMode::Shared);
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(handler.records.size(), 1u);
  EXPECT_EQ(memo->write("abc"), 1u);
}

// --- The memo write lock and write failures ---

class RecordedMemoFileTest : public MemoFileTest {
 protected:
  void SetUp() override { writeFileBytes(path_, freshDbtHeader(1)); }
  std::unique_ptr<MemoFile> openRecorded(platform::ShareMode share) {
    auto memo =
        openMemoFile(recordingEnv_, path_, MemoFormat::Dbt, platform::Access::ReadWrite, share);
    log_.calls.clear();
    return memo;
  }

  CallLog log_;
  RecordingFileSystem recording_{*fs_, log_};
  StorageEnv recordingEnv_{recording_, clock_, handler_};
};

TEST_F(RecordedMemoFileTest, ASharedWriteHoldsTheMemoLockFromHeaderReadToHeaderWrite) {
  auto memo = openRecorded(platform::ShareMode::Shared);
  EXPECT_EQ(memo->write("hello"), 1u);
  const std::vector<std::string> expected = {"lockWait exclusive 0 1", "readAt 0 1024",
                                             "writeAt 512 7", "writeAt 0 512", "unlock 0 1"};
  EXPECT_EQ(log_.calls, expected);
}

TEST_F(RecordedMemoFileTest, AnExclusiveWriteTakesNoLock) {
  auto memo = openRecorded(platform::ShareMode::Exclusive);
  EXPECT_EQ(memo->write("hello"), 1u);
  const std::vector<std::string> expected = {"readAt 0 1024", "writeAt 512 7", "writeAt 0 512"};
  EXPECT_EQ(log_.calls, expected);
}

TEST_F(RecordedMemoFileTest, AFailedLockRequestIsRepeatedAfterAPause) {
  auto memo = openRecorded(platform::ShareMode::Shared);
  log_.refuseLocks = 2;
  EXPECT_EQ(memo->write("hello"), 1u);
  const std::vector<std::string> expected = {"lockWait exclusive 0 1",
                                             "pause",
                                             "lockWait exclusive 0 1",
                                             "pause",
                                             "lockWait exclusive 0 1",
                                             "readAt 0 1024",
                                             "writeAt 512 7",
                                             "writeAt 0 512",
                                             "unlock 0 1"};
  EXPECT_EQ(log_.calls, expected);
}

TEST_F(RecordedMemoFileTest, AFailedMemoWriteRaisesWriteErrorKeepsTheHeaderAndUnlocks) {
  auto memo = openRecorded(platform::ShareMode::Shared);
  log_.failWrite = 1;
  EXPECT_THROW(memo->write("hello"), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 1u);
  expectRecord(handler_.records[0],
               driverRecord(24, 1011, "Write error", path_, 112, false, false));
  const std::vector<std::string> expected = {"lockWait exclusive 0 1", "readAt 0 1024",
                                             "writeAt 512 7", "unlock 0 1"};
  EXPECT_EQ(log_.calls, expected);
  EXPECT_EQ(onDisk(), freshDbtHeader(1));
}

TEST_F(RecordedMemoFileTest, ReadingTakesNoLockAndReadsPiecesOf512Bytes) {
  writeFileBytes(path_, freshDbtHeader(4) + dbtStored(textOf(1100, 'a')));
  auto memo = openRecorded(platform::ShareMode::Shared);
  std::string text;
  memo->read(1, text);
  EXPECT_EQ(text, textOf(1100, 'a'));
  const std::vector<std::string> expected = {"readAt 512 512", "readAt 1024 512",
                                             "readAt 1536 512"};
  EXPECT_EQ(log_.calls, expected);
}

TEST_F(MemoFileTest, TheMemoLockIsFreeAgainAfterASharedWrite) {
  writeFileBytes(path_, freshDbtHeader(1));
  auto memo = openDbt(platform::ShareMode::Shared);
  auto other = fs_->open(path_, platform::Access::ReadWrite, platform::ShareMode::Shared);
  ASSERT_TRUE(other.ok());
  EXPECT_EQ(memo->write("hello"), 1u);
  auto locked = (*other)->tryLock(0, 1, platform::LockKind::Exclusive);
  ASSERT_TRUE(locked.ok());
  EXPECT_TRUE(*locked);
}

// --- Compaction ---

TEST_F(MemoFileTest, CompactionKeepsTheCopiedMemosInContiguousBlocks) {
  const std::string a = textOf(600, 'a'), b = textOf(10, 'b'), c = textOf(511, 'c');
  auto memo = createDbt();
  ASSERT_EQ(memo->write(a), 1u);
  ASSERT_EQ(memo->write(b), 3u);
  ASSERT_EQ(memo->write(c), 4u);

  memo->beginCompaction();
  EXPECT_EQ(memo->copyToCompaction(1), 1u);
  EXPECT_EQ(memo->copyToCompaction(0), 0u);
  EXPECT_EQ(memo->copyToCompaction(40), 0u);
  EXPECT_EQ(memo->copyToCompaction(4), 3u);
  memo->finishCompaction();

  // The second end byte of c lies in block 5: the next free block counts
  // every block the file reaches into.
  std::string image = freshDbtHeader(5);
  place(image, 512, dbtStored(a));
  place(image, 3 * 512, dbtStored(c));
  EXPECT_EQ(onDisk(), image);
  EXPECT_EQ(filesIn(dir_.path()), std::vector<std::string>{"notes.dbt"});
  std::string text;
  memo->read(1, text);
  EXPECT_EQ(text, a);
  memo->read(3, text);
  EXPECT_EQ(text, c);
  EXPECT_EQ(memo->write("after"), 5u);
}

TEST_F(MemoFileTest, AnUnfinishedCompactionLeavesNoTemporaryFileAndTheMemosAsTheyWere) {
  auto memo = createDbt();
  memo->write("one");
  memo->write("two");
  const std::string before = onDisk();
  memo->beginCompaction();
  EXPECT_EQ(memo->copyToCompaction(2), 1u);
  EXPECT_EQ(filesIn(dir_.path()).size(), 2u);
  memo.reset();
  EXPECT_EQ(filesIn(dir_.path()), std::vector<std::string>{"notes.dbt"});
  EXPECT_EQ(onDisk(), before);
}

// --- FPT ---

TEST_F(MemoFileTest, FptFilesRoundTripWithBlockHeadersAndPadding) {
  const std::string path = dir_.file("notes.fpt");
  const std::string a = textOf(100, 'a'), b = textOf(10, 'b');
  {
    auto memo = createMemoFile(env_, path, MemoFormat::Fpt);
    EXPECT_EQ(memo->format(), MemoFormat::Fpt);
    EXPECT_EQ(readFileBytes(path), freshFptHeader(8, 64));
    EXPECT_EQ(memo->write(a), 8u);
    EXPECT_EQ(memo->write(""), 0u);
    EXPECT_EQ(memo->write(b), 10u);
    memo->close();
  }
  std::string image = freshFptHeader(11, 64);
  place(image, 8 * 64, fptStored(a, 64));
  place(image, 10 * 64, fptStored(b, 64));
  EXPECT_EQ(readFileBytes(path), image);

  auto memo = openMemoFile(env_, path, MemoFormat::Fpt, platform::Access::ReadOnly,
                           platform::ShareMode::Shared);
  std::string text;
  memo->read(8, text);
  EXPECT_EQ(text, a);
  memo->read(10, text);
  EXPECT_EQ(text, b);
}

// FPT files as other writers leave them: block size in either form, lengths
// that reach beyond the end.
TEST_F(MemoFileTest, FptReadsTakeTheBlockSizeFromTheHeaderAndExactlyTheLength) {
  struct Case {
    const char* name;
    std::string blockSizeBytes;  // header bytes 4..7
    std::size_t memoOffset;
    std::string memo;
    std::uint32_t block;
    std::string text;
  };
  const Case cases[] = {
      {"block size as a 32-bit number", be32(32), 640, be32(1) + be32(5) + "hello+junk", 20,
       "hello"},
      {"block size as a 16-bit number at 6", std::string("\xAB\xCD\x00\x80", 4), 640,
       be32(1) + be32(5) + "hello", 5, "hello"},
      {"no block size", be32(0), 640, be32(1) + be32(3) + "abc", 10, "abc"},
      {"a text holding 0x1A is read whole", be32(64), 512,
       be32(1) + be32(5) +
           "a\x1A"
           "bcd",
       8,
       "a\x1A"
       "bcd"},
      {"a length beyond the end is cut at the end", be32(64), 512,
       be32(1) + be32(0x7FFFFFFF) + "abcde", 8, "abcde"},
      {"a block beyond the end", be32(64), 512, be32(1) + be32(3) + "abc", 30, ""},
      {"a block inside the header", be32(64), 512, be32(1) + be32(3) + "abc", 2, ""},
  };
  const std::string path = dir_.file("hand.fpt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string image = be32(99) + c.blockSizeBytes + std::string(504, '\0');
    place(image, c.memoOffset, c.memo);
    writeFileBytes(path, image);
    auto memo = openMemoFile(env_, path, MemoFormat::Fpt, platform::Access::ReadOnly,
                             platform::ShareMode::Shared);
    ASSERT_NE(memo, nullptr);
    std::string text;
    memo->read(c.block, text);
    EXPECT_EQ(text, c.text);
    // A damaged length costs no more memory than the file holds.
    EXPECT_LT(text.capacity(), image.size());
  }
}

TEST_F(MemoFileTest, FptWritesUseTheBlockSizeOfTheHeader) {
  const std::string path = dir_.file("old.fpt");
  const std::string header = be32(1) + be32(512) + std::string(504, '\0');
  writeFileBytes(path, header);
  auto memo = openMemoFile(env_, path, MemoFormat::Fpt, platform::Access::ReadWrite,
                           platform::ShareMode::Exclusive);
  const std::string text = textOf(600, 'f');
  EXPECT_EQ(memo->write(text), 1u);
  EXPECT_EQ(readFileBytes(path), be32(3) + header.substr(4) + fptStored(text, 512));
}

TEST_F(MemoFileTest, AnFptNextFreeBlockInsideTheHeaderIsCorruption) {
  const std::string path = dir_.file("bad.fpt");
  const std::string bytes = be32(2) + be32(64) + std::string(504, '\0');
  writeFileBytes(path, bytes);
  auto memo = openMemoFile(env_, path, MemoFormat::Fpt, platform::Access::ReadWrite,
                           platform::ShareMode::Exclusive);
  EXPECT_THROW(memo->write("text"), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 1u);
  expectRecord(handler_.records[0],
               driverRecord(32, 1012, "Corruption detected", path, 0, false, false));
  EXPECT_EQ(readFileBytes(path), bytes);
}

TEST_F(MemoFileTest, FptCompactionSetsTheNextFreeBlockFromTheFileSize) {
  const std::string path = dir_.file("notes.fpt");
  const std::string a = textOf(100, 'a'), b = textOf(10, 'b'), c = textOf(70, 'c');
  auto memo = createMemoFile(env_, path, MemoFormat::Fpt);
  ASSERT_EQ(memo->write(a), 8u);
  ASSERT_EQ(memo->write(b), 10u);
  ASSERT_EQ(memo->write(c), 11u);
  memo->beginCompaction();
  EXPECT_EQ(memo->copyToCompaction(11), 8u);
  EXPECT_EQ(memo->copyToCompaction(8), 10u);
  memo->finishCompaction();
  std::string image = freshFptHeader(12, 64);
  place(image, 8 * 64, fptStored(c, 64));
  place(image, 10 * 64, fptStored(a, 64));
  EXPECT_EQ(readFileBytes(path), image);
  EXPECT_EQ(filesIn(dir_.path()), std::vector<std::string>{"notes.fpt"});
}

}  // namespace
}  // namespace converte::storage
