// Tables whose version byte announces an FPT memo file: opened through
// useArea, their memos read and written through the table, the header keeping
// what it announced when it is rewritten.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

using namespace std::string_literals;

std::string be32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
  return s;
}

// A memo as an FPT file keeps it: block header (type 1, length), the text,
// zeros to the end of its last 64-byte block.
std::string fptMemo(const std::string& text) {
  std::string stored = be32(1) + be32(static_cast<std::uint32_t>(text.size())) + text;
  stored.resize((stored.size() + 63) / 64 * 64, '\0');
  return stored;
}

// The block reference of an M field of that length.
std::string reference(int length, std::uint32_t block) {
  if (length == 4) return std::string(1, static_cast<char>(block)) + "\0\0\0"s;
  std::string digits = std::to_string(block);
  return std::string(static_cast<std::size_t>(length) - digits.size(), ' ') + digits;
}

class FptTableTest : public ::testing::Test, public testing::StorageFixture {};

TEST_F(FptTableTest, MemosOfAnFptTableAreReadAndWrittenThroughTheTable) {
  struct Case {
    std::uint8_t version;
    std::uint8_t flags;  // header byte 28
    int memoLength;
    bool fpt;                 // the table announces an FPT memo file
    std::uint8_t flagsAfter;  // byte 28 once the header is rewritten
  };
  const Case cases[] = {
      {0xF5, 0x00, 10, true, 0x00},
      {0x30, 0x02, 4, true, 0x02},
      {0x32, 0x03, 4, true, 0x02},
      {0x31, 0x00, 4, false, 0x00},
  };
  const std::size_t headerLength = 32 + 2 * 32 + 2;
  const std::string first = "first memo text";
  const std::string second = "second memo, written through the table";
  const std::string longer(100, 'x');
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.version));
    const std::size_t recordLength = 1 + 10 + static_cast<std::size_t>(c.memoLength);
    createTable("NOTES", {{"NOME", "C", 10, 0, {}}, {"OBS", "M", c.memoLength, 0, {}}},
                {testing::Row{"ONE"}, testing::Row{"TWO"}});
    ASSERT_TRUE(fs->erase(path("NOTES.dbt")).ok());
    std::string table = bytesOf("NOTES.dbf");
    table[0] = static_cast<char>(c.version);
    table[28] = static_cast<char>(c.flags);
    table.replace(headerLength + 11, static_cast<std::size_t>(c.memoLength),
                  reference(c.memoLength, 8));
    testing::writeFileBytes(path("NOTES.dbf"), table);
    const std::string memoHeader = be32(9) + be32(64) + std::string(504, '\0');
    testing::writeFileBytes(path("NOTES.fpt"), memoHeader + fptMemo(first));

    storage::WorkArea& area = open("NOTES");
    EXPECT_EQ(area.hasMemoFile(), c.fpt);
    if (!c.fpt) {
      areas.closeArea();
      EXPECT_EQ(bytesOf("NOTES.fpt"), memoHeader + fptMemo(first));
      continue;
    }
    EXPECT_EQ(area.getField(2), FieldValue(first));
    area.goTo(2);
    EXPECT_EQ(area.getField(2), FieldValue(""));
    area.putField(2, FieldValue(second));  // block 9
    area.goTo(1);
    area.putField(2, FieldValue(longer));  // blocks 10 and 11
    ASSERT_TRUE(area.append());
    area.putField(1, FieldValue("THREE"));
    area.putField(2, FieldValue("third"));  // block 12
    areas.closeArea();

    EXPECT_EQ(bytesOf("NOTES.fpt"), be32(13) + be32(64) + std::string(504, '\0') + fptMemo(first) +
                                        fptMemo(second) + fptMemo(longer) + fptMemo("third"));
    table = bytesOf("NOTES.dbf");
    EXPECT_EQ(static_cast<std::uint8_t>(table[0]), c.version);
    EXPECT_EQ(static_cast<std::uint8_t>(table[28]), c.flagsAfter);
    for (auto [record, block] : {std::pair{0u, 10u}, {1u, 9u}, {2u, 12u}}) {
      EXPECT_EQ(table.substr(headerLength + record * recordLength + 11,
                             static_cast<std::size_t>(c.memoLength)),
                reference(c.memoLength, block));
    }
    EXPECT_FALSE(fs->exists(path("NOTES.dbt")));

    storage::WorkArea& again = open("NOTES");
    EXPECT_EQ(rowsOf(again),
              (std::vector<testing::Row>{
                  {"ONE       ", longer}, {"TWO       ", second}, {"THREE     ", "third"}}));
    areas.closeArea();
  }
  EXPECT_TRUE(raised().empty());
}

}  // namespace
}  // namespace converte::storage
