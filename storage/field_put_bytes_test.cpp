// The bytes a put leaves in the record for texts of every length up to and
// past the field's, in fields of every size class, and for dates of every
// year form; the fields beside them stay as they were.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

std::string textOf(std::size_t length) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

class FieldPutBytesTest : public ::testing::Test, public testing::StorageFixture {
 protected:
  // The bytes of the current record's fields after the deletion flag.
  std::string recordFields() {
    std::span<const char> bytes = areas.current().recordBytes();
    return std::string(bytes.begin() + 1, bytes.end());
  }
};

TEST_F(FieldPutBytesTest, TextsOfEveryLengthFillTheFieldWithBlanksAfterThem) {
  for (int length : {1, 3, 4, 7, 8, 15, 16, 17, 24, 31, 32, 33, 60}) {
    SCOPED_TRACE(length);
    const std::string name = "T" + std::to_string(length);
    createTable(
        name, {{"BEFORE", "C", 3, 0, {}}, {"TEXT", "C", length, 0, {}}, {"AFTER", "C", 3, 0, {}}});
    WorkArea& area = open(name);
    ASSERT_TRUE(area.append());
    area.putField(1, FieldValue(std::string("<<<")));
    area.putField(3, FieldValue(std::string(">>>")));
    const auto field = static_cast<std::size_t>(length);
    for (std::size_t size = 0; size <= field + 3; ++size) {
      area.putField(2, FieldValue(textOf(size)));
      std::string expected = textOf(std::min(size, field));
      expected.resize(field, ' ');
      ASSERT_EQ(recordFields(), "<<<" + expected + ">>>") << "a text of " << size;
    }
    areas.closeArea();
  }
  EXPECT_TRUE(raised().empty());
}

TEST_F(FieldPutBytesTest, DatesKeepTheLastDigitOfEachPartAsStored) {
  struct Case {
    Date date;
    const char* stored;
  };
  const Case cases[] = {
      {{2024, 1, 5}, "20240105"},   {{1999, 12, 31}, "19991231"}, {{5, 7, 9}, "00050709"},
      {{9999, 99, 99}, "99999999"}, {{12345, 6, 7}, "23450607"},  {{2024, 123, 45}, "20242345"},
      {{-7, 1, 1}, "000)0101"},     {{0, 5, 5}, "        "},
  };
  createTable("DATES",
              {{"BEFORE", "C", 2, 0, {}}, {"DAY", "D", 8, 0, {}}, {"AFTER", "C", 2, 0, {}}});
  WorkArea& area = open("DATES");
  ASSERT_TRUE(area.append());
  area.putField(1, FieldValue(std::string("<<")));
  area.putField(3, FieldValue(std::string(">>")));
  for (const Case& c : cases) {
    area.putField(2, FieldValue(c.date));
    EXPECT_EQ(recordFields(), std::string("<<") + c.stored + ">>") << c.stored;
  }
  areas.closeArea();
  EXPECT_TRUE(raised().empty());
}

}  // namespace
}  // namespace converte::storage
