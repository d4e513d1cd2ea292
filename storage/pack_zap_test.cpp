// Zap and pack on disk: the bytes left in the table and memo files, the
// records and memo texts kept and their order, the compaction file, the
// progress callback, and the refusals for shared and read-only tables.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/work_areas.h"
#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

using errors::Answer;
using testing::driverRecord;
using testing::Row;

std::uint32_t le32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

class PackZapTest : public ::testing::Test, public testing::StorageFixture {
 protected:
  static Structure withMemo() {
    return {{"COD", "N", 3, 0, {}}, {"OBS", "M", 10, 0, {}}, {"NOTA", "M", 10, 0, {}}};
  }
  static std::string text(int record, std::size_t length) {
    std::string t(length, static_cast<char>('a' + record));
    t[0] = static_cast<char>('0' + record);
    return t;
  }
  // Five records; OBS of record r is r * 300 characters long, NOTA is set
  // on the odd records only; records 2 and 4 are deleted.
  void createFive() {
    std::vector<Row> rows;
    for (int r = 1; r <= 5; ++r) {
      rows.push_back({Number::ofInteger(r, 3), FieldValue(text(r, static_cast<std::size_t>(r) * 300)),
                      r % 2 == 1 ? FieldValue(text(r + 10, 20)) : FieldValue()});
    }
    createTable("T", withMemo(), rows, {2, 4});
  }
  static const std::string& dbtHeaderStart() {
    static const std::string start = std::string("\x01\0\0\0\0\x02\0\0", 8) + std::string("Quarvel\0", 8);
    return start;
  }
};

TEST_F(PackZapTest, ZapLeavesHeaderEndOfFileByteAndAnEmptyMemoFile) {
  std::vector<Row> rows;
  for (int r = 1; r <= 100; ++r) rows.push_back({Number::ofInteger(r, 3), FieldValue(text(r % 9, 40))});
  createTable("T", withMemo(), rows);
  WorkArea& t = open("T");
  t.goTo(50);
  t.putField(1, Number::ofInteger(999, 3));  // pending: committed, then gone
  t.zap();
  EXPECT_EQ(t.recCount(), 0u);
  EXPECT_TRUE(t.eof());
  EXPECT_TRUE(t.bof());
  EXPECT_EQ(t.recNo(), 1u);
  std::string dbf = bytesOf("T.dbf");
  const std::size_t headerLength = 32 + 3 * 32 + 2;
  ASSERT_EQ(dbf.size(), headerLength + 1);
  EXPECT_EQ(dbf.back(), '\x1A');
  EXPECT_EQ(le32At(dbf, 4), 0u);
  std::string dbt = bytesOf("T.dbt");
  ASSERT_EQ(dbt.size(), 512u);
  EXPECT_EQ(dbt.substr(0, 16), dbtHeaderStart());
  EXPECT_EQ(dbt.substr(16), std::string(496, '\0'));

  // The emptied table takes new records and memos from the start.
  ASSERT_TRUE(t.append());
  t.putField(2, FieldValue("depois"));
  areas.closeArea();
  EXPECT_EQ(bytesOf("T.dbf").size(), headerLength + 24);
  EXPECT_EQ(le32At(bytesOf("T.dbt"), 0), 2u);
}

TEST_F(PackZapTest, ZapStartsAutomaticCountersAgain) {
  createTable("T", {{"ID", "+", 4, 0, {}}, {"X", "C", 1, 0, {}}}, {{}, {}, {}});
  WorkArea& t = open("T");
  t.zap();
  ASSERT_TRUE(t.append());
  EXPECT_EQ(t.getField(1).number().asDouble(), 1.0);
}

TEST_F(PackZapTest, PackKeepsLiveRecordsInOrderWithTheirMemos) {
  createFive();
  const std::size_t dbtBefore = bytesOf("T.dbt").size();
  WorkArea& t = open("T");
  t.goTo(5);
  t.pack();
  EXPECT_EQ(t.recNo(), 1u);
  EXPECT_FALSE(t.eof());
  EXPECT_EQ(rowsOf(t), (std::vector<Row>{
                           {Number::ofInteger(1, 3), FieldValue(text(1, 300)), FieldValue(text(11, 20))},
                           {Number::ofInteger(3, 3), FieldValue(text(3, 900)), FieldValue(text(13, 20))},
                           {Number::ofInteger(5, 3), FieldValue(text(5, 1500)), FieldValue(text(15, 20))}}));
  EXPECT_EQ(deletedFlags(t), (std::vector<bool>{false, false, false}));
  areas.closeArea();

  std::string dbf = bytesOf("T.dbf");
  const std::size_t headerLength = 32 + 3 * 32 + 2;
  ASSERT_EQ(dbf.size(), headerLength + 3 * 24 + 1);
  EXPECT_EQ(dbf.back(), '\x1A');
  EXPECT_EQ(le32At(dbf, 4), 3u);

  // The kept memos follow one another in record order from block 1; the
  // blocks of the deleted records' memos are gone.
  auto reference = [&](int record, int field) {
    return dbf.substr(headerLength + static_cast<std::size_t>(record - 1) * 24 + 4 +
                          static_cast<std::size_t>(field) * 10, 10);
  };
  EXPECT_EQ(reference(1, 0), "         1");
  EXPECT_EQ(reference(1, 1), "         2");
  EXPECT_EQ(reference(2, 0), "         3");
  EXPECT_EQ(reference(2, 1), "         5");
  EXPECT_EQ(reference(3, 0), "         6");
  EXPECT_EQ(reference(3, 1), "         9");
  std::string dbt = bytesOf("T.dbt");
  EXPECT_LT(dbt.size(), dbtBefore);
  EXPECT_EQ(dbt.size(), 9 * 512u + 22);
  EXPECT_EQ(le32At(dbt, 0), 10u);
  EXPECT_EQ(dbt.substr(512, 302), text(1, 300) + "\x1A\x1A");
  EXPECT_EQ(dbt.substr(9 * 512, 22), text(15, 20) + "\x1A\x1A");
  EXPECT_EQ(files(), (std::vector<std::string>{"T.dbf", "T.dbt"}));
}

TEST_F(PackZapTest, PackDropsTheBlocksOfReplacedMemos) {
  createTable("T", withMemo(), {{Number::ofInteger(1, 3), FieldValue(std::string(2000, 'v'))}});
  WorkArea& t = open("T");
  t.goTo(1);
  t.putField(2, FieldValue("curto"));
  t.pack();
  EXPECT_EQ(t.getField(2), FieldValue("curto"));
  areas.closeArea();
  EXPECT_EQ(bytesOf("T.dbt").size(), 512u + 5 + 2);
  EXPECT_EQ(le32At(bytesOf("T.dbt"), 0), 2u);
  EXPECT_EQ(files(), (std::vector<std::string>{"T.dbf", "T.dbt"}));
}

TEST_F(PackZapTest, PackWithNothingDeletedLeavesATableWithoutMemosUntouched) {
  createTable("T", {{"C", "C", 2, 0, {}}}, {{"AA"}, {"BB"}});
  const std::string before = bytesOf("T.dbf");
  clock.set({2030, 6, 7, 8, 9, 10, 0});
  WorkArea& t = open("T");
  t.pack();
  EXPECT_EQ(t.recCount(), 2u);
  areas.closeArea();
  EXPECT_EQ(bytesOf("T.dbf"), before);
}

TEST_F(PackZapTest, PackOfOnlyDeletedRecordsEmptiesBothFiles) {
  createTable("T", withMemo(), {{Number::ofInteger(1, 3), FieldValue("x")}, {Number::ofInteger(2, 3)}},
              {1, 2});
  WorkArea& t = open("T");
  t.pack();
  EXPECT_EQ(t.recCount(), 0u);
  EXPECT_TRUE(t.eof());
  areas.closeArea();
  EXPECT_EQ(bytesOf("T.dbf").size(), 32 + 3 * 32 + 2 + 1u);
  EXPECT_EQ(bytesOf("T.dbt").size(), 512u);
  EXPECT_EQ(le32At(bytesOf("T.dbt"), 0), 1u);
}

TEST_F(PackZapTest, ProgressIsCalledEveryStepRecordsAndOnceAtTheEnd) {
  struct Case {
    int step;
    int calls;
  };
  const Case cases[] = {{1, 5}, {0, 5}, {-3, 5}, {2, 3}, {5, 1}, {9, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    createTable("P", {{"C", "C", 1, 0, {}}}, {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}}, {2});
    WorkArea& t = open("P");
    int calls = 0;
    t.pack([&] { ++calls; }, c.step);
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(t.recCount(), 4u);
    areas.closeArea();
  }
}

TEST_F(PackZapTest, SharedOrReadOnlyTablesAreRefusedAndLeftUnchanged) {
  createFive();
  const std::string dbf = bytesOf("T.dbf");
  const std::string dbt = bytesOf("T.dbt");
  struct Case {
    bool shared;
    bool readOnly;
    errors::ErrorRecord raised;
  };
  const Case cases[] = {
      {true, false, driverRecord(37, 1023, "Exclusive required", path("T.dbf"))},
      {false, true, driverRecord(39, 1025, "Write not allowed", path("T.dbf"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raised.genCode);
    WorkArea& t = open("T", c.shared, c.readOnly);
    handler.records.clear();
    EXPECT_THROW(t.pack(), errors::ErrorAbandoned);
    EXPECT_THROW(t.zap(), errors::ErrorAbandoned);
    EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{c.raised, c.raised}));
    EXPECT_EQ(t.recCount(), 5u);
    areas.closeArea();
    EXPECT_EQ(bytesOf("T.dbf"), dbf);
    EXPECT_EQ(bytesOf("T.dbt"), dbt);
  }
}

TEST_F(PackZapTest, DamagedMemoReferenceStopsPackBeforeAnythingMoves) {
  createFive();
  // Record 5's OBS reference made unreadable.
  std::string dbf = bytesOf("T.dbf");
  const std::size_t headerLength = 32 + 3 * 32 + 2;
  dbf.replace(headerLength + 4 * 24 + 4, 10, "    12abcd");
  testing::writeFileBytes(path("T.dbf"), dbf);
  const std::string dbt = bytesOf("T.dbt");
  WorkArea& t = open("T");
  EXPECT_THROW(t.pack(), errors::ErrorAbandoned);
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{
                          driverRecord(32, 1012, "Corruption detected", path("T.dbf"), "OBS")}));
  t.goTo(3);
  EXPECT_EQ(t.getField(2), FieldValue(text(3, 900)));
  areas.closeArea();
  EXPECT_EQ(bytesOf("T.dbf"), dbf);
  EXPECT_EQ(bytesOf("T.dbt"), dbt);
  EXPECT_EQ(files(), (std::vector<std::string>{"T.dbf", "T.dbt"}));
}

}  // namespace
}  // namespace converte::storage
