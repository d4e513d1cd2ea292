// Memos written through tables: a table open exclusively, which holds its
// memos back, leaves the memo file a shared table leaves for the same puts,
// and both read back every text after reopening.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

std::string textOf(std::size_t length, char first) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(first + i % 23);
  return text;
}

constexpr int kObs = 2;
constexpr int kNote = 3;

// The memo texts each record should hold: (record, field) to text.
using Memos = std::map<std::pair<std::uint32_t, int>, std::string>;

class MemoTableWritesTest : public ::testing::Test, public testing::StorageFixture {
 protected:
  void SetUp() override {
    for (const char* name : {"SHARED", "EXCL"}) {
      createTable(name,
                  {{"NOME", "C", 10, 0, {}}, {"OBS", "M", 10, 0, {}}, {"NOTA", "M", 10, 0, {}}});
    }
  }

  void put(WorkArea& area, int field, const std::string& text, Memos& memos) {
    area.putField(field, FieldValue(text));
    memos[{area.recNo(), field}] = text;
  }

  // The memo of a record as it reads now, against what was put.
  void expectMemo(WorkArea& area, std::uint32_t record, int field, const Memos& memos) {
    area.goTo(record);
    EXPECT_EQ(area.getField(field), FieldValue(memos.at({record, field})))
        << "record " << record << ", field " << field;
  }

  // Appends records with memos around the block size, replaces some with
  // texts that fit their blocks, longer ones and empty ones, reading memos
  // back and committing in between; returns the texts put.
  Memos writeMemos(WorkArea& area) {
    Memos memos;
    const std::size_t lengths[] = {1, 511, 512, 513, 1023, 1024, 3000, 0, 12};
    char first = 'A';
    for (std::size_t length : lengths) {
      EXPECT_TRUE(area.append());
      area.putField(1, FieldValue(std::to_string(length)));
      put(area, kObs, textOf(length, first++), memos);
      put(area, kNote, textOf(length % 7 == 0 ? 0 : 40 + length % 100, first++), memos);
    }
    expectMemo(area, 3, kObs, memos);
    area.goTo(2);
    put(area, kObs, textOf(100, 'r'), memos);  // fits the blocks of the old text
    area.goTo(4);
    put(area, kObs, textOf(2000, 's'), memos);  // does not
    area.goTo(5);
    put(area, kNote, "", memos);
    put(area, kObs, textOf(511, 't'), memos);
    area.commit();
    expectMemo(area, 2, kObs, memos);
    for (int i = 0; i < 40; ++i) {
      EXPECT_TRUE(area.append());
      put(area, kObs, textOf(static_cast<std::size_t>(i) * 37 % 700, 'u'), memos);
      put(area, kNote, textOf(12, 'v'), memos);
    }
    expectMemo(area, 4, kObs, memos);
    area.goTo(1);
    put(area, kNote, textOf(1024, 'w'), memos);
    return memos;
  }

  void expectEveryMemo(WorkArea& area, const Memos& memos) {
    for (const auto& [at, text] : memos) expectMemo(area, at.first, at.second, memos);
  }
};

TEST_F(MemoTableWritesTest, AnExclusiveTableLeavesTheMemoFileOfASharedTable) {
  WorkArea& shared = open("SHARED", true);
  ASSERT_TRUE(shared.lockFile());
  const Memos sharedMemos = writeMemos(shared);
  areas.closeArea();

  WorkArea& exclusive = open("EXCL");
  const Memos exclusiveMemos = writeMemos(exclusive);
  areas.closeArea();

  EXPECT_EQ(sharedMemos, exclusiveMemos);
  const std::string memoFile = bytesOf("SHARED.dbt");
  EXPECT_GT(memoFile.size(), 40000u);
  EXPECT_EQ(bytesOf("EXCL.dbt"), memoFile);
  EXPECT_EQ(bytesOf("EXCL.dbf"), bytesOf("SHARED.dbf"));

  for (const char* name : {"SHARED", "EXCL"}) {
    SCOPED_TRACE(name);
    WorkArea& area = open(name, false, true);
    expectEveryMemo(area, exclusiveMemos);
    areas.closeArea();
  }
  EXPECT_TRUE(raised().empty());
}

// Zap and pack work on the memo file with the memos held back so far.
TEST_F(MemoTableWritesTest, ZapAndPackAfterHeldBackMemosLeaveWhatTheyLeaveAfterSharedWrites) {
  WorkArea& shared = open("SHARED", true);
  ASSERT_TRUE(shared.lockFile());
  writeMemos(shared);
  areas.closeArea();

  WorkArea& exclusive = open("EXCL");
  writeMemos(exclusive);
  for (std::uint32_t record = 1; record <= exclusive.recCount(); record += 3) {
    exclusive.goTo(record);
    exclusive.deleteRecord();
  }
  exclusive.pack();
  const std::vector<testing::Row> packed = rowsOf(exclusive);
  areas.closeArea();

  WorkArea& again = open("SHARED");
  for (std::uint32_t record = 1; record <= again.recCount(); record += 3) {
    again.goTo(record);
    again.deleteRecord();
  }
  again.pack();
  EXPECT_EQ(rowsOf(again), packed);
  areas.closeArea();
  EXPECT_EQ(bytesOf("EXCL.dbt"), bytesOf("SHARED.dbt"));

  WorkArea& zapped = open("EXCL");
  zapped.goTo(1);
  zapped.putField(kObs, FieldValue(textOf(900, 'z')));
  zapped.zap();
  EXPECT_TRUE(zapped.append());
  zapped.putField(kObs, FieldValue(std::string("after zap")));
  areas.closeArea();
  EXPECT_EQ(bytesOf("EXCL.dbt").substr(512), "after zap\x1A\x1A");
  EXPECT_TRUE(raised().empty());
}

}  // namespace
}  // namespace converte::storage
