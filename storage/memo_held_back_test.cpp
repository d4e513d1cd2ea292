// Tests of memo files that hold their writes back: the bytes they leave are
// those of memos written one at a time, they reach the file in large writes
// with the header once at flush, and reads, emptying and compaction see every
// memo written before them.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/memo_file.h"
#include "storage/recording_fs_test_support.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using converte::testing::readFileBytes;
using converte::testing::writeFileBytes;

std::string le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string be32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
  return s;
}

const std::string kSignature("Quarvel\0", 8);

std::string freshDbtHeader(std::uint32_t nextFree) {
  return le32(nextFree) + le32(512) + kSignature + std::string(496, '\0');
}

std::string textOf(std::size_t length, char first) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(first + i % 23);
  return text;
}

// The texts written in every sequence: around the block size, empty ones, and
// a text that ends exactly where its second end byte spills into the next block.
std::vector<std::string> blockEdgeTexts() {
  std::vector<std::string> texts;
  const std::size_t lengths[] = {1, 511, 512, 513, 0, 1023, 1024, 3000, 510, 0, 12, 1};
  char first = 'A';
  for (std::size_t length : lengths) texts.push_back(textOf(length, first++));
  return texts;
}

// Enough memos of varied sizes to fill the write-behind run several times.
std::vector<std::string> manyTexts() {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < 2600; ++i)
    texts.push_back(textOf((i * 389) % 1500, static_cast<char>('a' + i % 7)));
  return texts;
}

// Existing files a memo file is opened on.
struct Start {
  const char* name;
  MemoFormat format;
  std::string bytes;
};

std::vector<Start> starts() {
  std::string foreignHeader = le32(1);
  for (int i = 4; i < 512; ++i) foreignHeader += static_cast<char>((i * 7 + 3) & 0xFF);
  const std::string fptHeader = be32(8) + be32(64) + kSignature + std::string(496, '\0');
  const std::string fptBigBlocks = be32(1) + be32(512) + std::string(504, '\0');
  return {
      {"a fresh DBT file", MemoFormat::Dbt, freshDbtHeader(1)},
      {"a header of another writer", MemoFormat::Dbt, foreignHeader},
      {"bytes left past the next free block", MemoFormat::Dbt,
       freshDbtHeader(2) + std::string(512, 'o') + textOf(1300, 'k')},
      {"a fresh FPT file", MemoFormat::Fpt, fptHeader},
      {"FPT blocks of 512", MemoFormat::Fpt, fptBigBlocks + textOf(700, 'z')},
  };
}

class HeldBackMemoTest : public ::testing::Test {
 protected:
  std::unique_ptr<MemoFile> open(const std::string& path, MemoFormat format,
                                 platform::ShareMode share, MemoWrites writes) {
    return openMemoFile(env_, path, format, platform::Access::ReadWrite, share, writes);
  }

  // One way of writing: how the file is opened.
  struct Way {
    const char* name;
    const char* file;
    platform::ShareMode share;
    MemoWrites writes;
  };
  static constexpr Way kImmediate{"exclusive, at once", "immediate.dbt",
                                  platform::ShareMode::Exclusive, MemoWrites::Immediate};
  // Shared use writes at once whatever is asked.
  static constexpr Way kShared{"shared", "shared.dbt", platform::ShareMode::Shared,
                               MemoWrites::HeldBack};
  static constexpr Way kHeldBack{"exclusive, held back", "held_back.dbt",
                                 platform::ShareMode::Exclusive, MemoWrites::HeldBack};

  // Writes the texts into a copy of the start file, reading back an earlier
  // memo now and then when asked, closes it and returns the file's bytes;
  // blocks receives the block of each text.
  std::string writeAll(const Start& start, const Way& way, const std::vector<std::string>& texts,
                       bool readBetween, std::vector<std::uint32_t>& blocks) {
    const std::string path = dir_.file(way.file);
    writeFileBytes(path, start.bytes);
    auto memo = open(path, start.format, way.share, way.writes);
    blocks.clear();
    for (std::size_t i = 0; i < texts.size(); ++i) {
      blocks.push_back(memo->write(texts[i]));
      if (readBetween && i % 5 == 4 && blocks[i - 2] != 0) {
        std::string text;
        memo->read(blocks[i - 2], text);
        EXPECT_EQ(text, texts[i - 2]) << way.name << ", memo " << i - 2;
      }
    }
    memo->flush();
    memo->close();
    return readFileBytes(path);
  }

  // The texts read back from a file written by writeAll.
  void expectReadBack(const Start& start, const Way& way, const std::vector<std::string>& texts,
                      const std::vector<std::uint32_t>& blocks) {
    auto memo = openMemoFile(env_, dir_.file(way.file), start.format, platform::Access::ReadOnly,
                             platform::ShareMode::Shared);
    ASSERT_NE(memo, nullptr);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (texts[i].empty()) {
        EXPECT_EQ(blocks[i], 0u);
        continue;
      }
      std::string text;
      memo->read(blocks[i], text);
      ASSERT_EQ(text, texts[i]) << way.name << ", memo " << i;
    }
  }

  // Every way leaves the bytes of the way that writes each memo at once.
  void expectSameBytesEveryWay(const std::vector<std::string>& texts, bool readBetween) {
    for (const Start& start : starts()) {
      SCOPED_TRACE(start.name);
      std::vector<std::uint32_t> expectedBlocks;
      const std::string expected = writeAll(start, kImmediate, texts, readBetween, expectedBlocks);
      EXPECT_GT(expected.size(), start.bytes.size());
      for (const Way& way : {kShared, kHeldBack}) {
        SCOPED_TRACE(way.name);
        std::vector<std::uint32_t> blocks;
        EXPECT_EQ(writeAll(start, way, texts, readBetween, blocks), expected);
        EXPECT_EQ(blocks, expectedBlocks);
        expectReadBack(start, way, texts, blocks);
      }
      EXPECT_TRUE(handler_.records.empty());
    }
  }

  converte::testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::newSystemFileSystem();
  converte::testing::FixedClock clock_;
  converte::testing::ScriptedHandler handler_;
  StorageEnv env_{*fs_, clock_, handler_};
};

TEST_F(HeldBackMemoTest, MemosAroundTheBlockSizeLeaveTheBytesOfMemosWrittenAtOnce) {
  expectSameBytesEveryWay(blockEdgeTexts(), false);
}

TEST_F(HeldBackMemoTest, ReadsBetweenTheWritesSeeEveryMemoAndLeaveTheSameBytes) {
  expectSameBytesEveryWay(blockEdgeTexts(), true);
}

TEST_F(HeldBackMemoTest, MemosFillingSeveralRunsLeaveTheBytesOfMemosWrittenAtOnce) {
  expectSameBytesEveryWay(manyTexts(), false);
}

// The bytes of a new file, worked out block by block, as a check on the way
// all others are compared with.
TEST_F(HeldBackMemoTest, HeldBackMemosLeaveEachTextAtItsBlockAndTheNextFreeBlockInTheHeader) {
  const std::vector<std::string> texts = blockEdgeTexts();
  std::vector<std::uint32_t> blocks;
  const std::string bytes = writeAll(starts()[0], kHeldBack, texts, false, blocks);
  std::string image = freshDbtHeader(1);
  std::uint32_t next = 1;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].empty()) {
      EXPECT_EQ(blocks[i], 0u);
      continue;
    }
    EXPECT_EQ(blocks[i], next);
    const std::size_t at = std::size_t{next} * 512;
    if (image.size() < at + texts[i].size() + 2) image.resize(at + texts[i].size() + 2, '\0');
    image.replace(at, texts[i].size() + 2, texts[i] + "\x1A\x1A");
    next += static_cast<std::uint32_t>((texts[i].size() + 1 + 511) / 512);
  }
  image.replace(0, 4, le32(next));
  EXPECT_EQ(bytes, image);
}

TEST_F(HeldBackMemoTest, MemosReachTheFileInOneWriteAndTheHeaderOnceAtFlush) {
  const std::string path = dir_.file("notes.dbt");
  writeFileBytes(path, freshDbtHeader(1));
  converte::testing::CallLog log;
  converte::testing::RecordingFileSystem recording(*fs_, log);
  StorageEnv env{recording, clock_, handler_};
  auto memo = openMemoFile(env, path, MemoFormat::Dbt, platform::Access::ReadWrite,
                           platform::ShareMode::Exclusive, MemoWrites::HeldBack);
  std::size_t end = 0;
  for (std::uint32_t i = 0; i < 100; ++i) {
    EXPECT_EQ(memo->write(textOf(12, 'a')), i + 1);
    end = std::size_t{i + 1} * 512 + 14;
  }
  EXPECT_EQ(readFileBytes(path), freshDbtHeader(1));
  log.calls.clear();
  memo->flush();
  const std::vector<std::string> expected = {"writeAt 512 " + std::to_string(end - 512),
                                             "writeAt 0 512"};
  EXPECT_EQ(log.calls, expected);
  EXPECT_EQ(readFileBytes(path).substr(0, 4), le32(101));
  EXPECT_EQ(readFileBytes(path).size(), end);

  log.calls.clear();
  memo->flush();
  memo->close();
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(HeldBackMemoTest, EmptyingDropsWhatIsHeldBackAndLeavesTheFreshHeader) {
  for (const Way& way : {kImmediate, kHeldBack}) {
    SCOPED_TRACE(way.name);
    const std::string path = dir_.file("notes.dbt");
    writeFileBytes(path, freshDbtHeader(1));
    auto memo = open(path, MemoFormat::Dbt, way.share, way.writes);
    memo->write(textOf(2000, 'q'));
    memo->empty();
    EXPECT_EQ(readFileBytes(path), freshDbtHeader(1));
    EXPECT_EQ(memo->write("again"), 1u);
    memo->close();
    EXPECT_EQ(readFileBytes(path), freshDbtHeader(2) + "again\x1A\x1A");
  }
}

TEST_F(HeldBackMemoTest, CompactionAfterHeldBackWritesLeavesTheBytesOfWritesAtOnce) {
  std::string expected;
  for (const Way& way : {kImmediate, kHeldBack}) {
    SCOPED_TRACE(way.name);
    const std::string path = dir_.file("notes.dbt");
    writeFileBytes(path, freshDbtHeader(1));
    auto memo = open(path, MemoFormat::Dbt, way.share, way.writes);
    std::vector<std::uint32_t> blocks;
    for (const std::string& text : manyTexts()) blocks.push_back(memo->write(text));
    memo->beginCompaction();
    for (std::size_t i = 0; i < blocks.size(); i += 3) memo->copyToCompaction(blocks[i]);
    memo->finishCompaction();
    memo->write("after");
    memo->close();
    if (expected.empty()) {
      expected = readFileBytes(path);
    } else {
      EXPECT_EQ(readFileBytes(path), expected);
    }
  }
}

TEST_F(HeldBackMemoTest, AFailedWriteOfHeldBackMemosRaisesWriteErrorAndKeepsTheHeader) {
  const std::string path = dir_.file("notes.dbt");
  writeFileBytes(path, freshDbtHeader(1));
  converte::testing::CallLog log;
  converte::testing::RecordingFileSystem recording(*fs_, log);
  StorageEnv env{recording, clock_, handler_};
  auto memo = openMemoFile(env, path, MemoFormat::Dbt, platform::Access::ReadWrite,
                           platform::ShareMode::Exclusive, MemoWrites::HeldBack);
  EXPECT_EQ(memo->write("hello"), 1u);
  log.failWrite = 1;
  EXPECT_THROW(memo->flush(), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].genCode, 24);
  EXPECT_EQ(handler_.records[0].subCode, 1011);
  EXPECT_EQ(handler_.records[0].fileName, path);
  memo.reset();
  EXPECT_EQ(readFileBytes(path), freshDbtHeader(1));
}

}  // namespace
}  // namespace converte::storage
