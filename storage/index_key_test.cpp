// Index keys: the bytes of date, logical and character keys, key
// expressions of fields joined with `+` and with the FIELD-> prefix, and
// indexes over them whose stored keys and seeks follow those bytes.

#include "storage/index_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/ntx_test_support.h"
#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

TEST(IndexKeys, ValuesOfEachKindGiveTheirKeyBytes) {
  const KeyShape date{KeyShape::DateKey, 8, 0};
  const KeyShape logical{KeyShape::Logical, 1, 0};
  const KeyShape chars{KeyShape::Character, 6, 0};
  struct Case {
    FieldValue value;
    KeyShape shape;
    std::string key;
  };
  const Case cases[] = {
      {Date{2024, 2, 29}, date, "20240229"},
      {Date{987, 1, 5}, date, "09870105"},
      {Date{}, date, "        "},
      {true, logical, "T"},
      {false, logical, "F"},
      {"AB", chars, "AB    "},
      {"ABCDEFGH", chars, "ABCDEF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(encodeKey(c.value, c.shape), c.key);
  }
  // Blank values decide the shape: dates are 8 bytes, logicals 1.
  auto dateShape = keyShapeOf(FieldValue(Date{}));
  ASSERT_TRUE(dateShape);
  EXPECT_EQ(dateShape->kind, KeyShape::DateKey);
  EXPECT_EQ(dateShape->length, 8);
  auto logicalShape = keyShapeOf(FieldValue(false));
  ASSERT_TRUE(logicalShape);
  EXPECT_EQ(logicalShape->kind, KeyShape::Logical);
  EXPECT_EQ(logicalShape->length, 1);
  EXPECT_FALSE(keyShapeOf(FieldValue()));
}

TEST(IndexKeys, ExpressionsAreFieldsJoinedWithPlus) {
  struct Case {
    const char* text;
    std::vector<std::string> names;  // empty: refused
  };
  const Case cases[] = {
      {"CODE", {"CODE"}},
      {" code + Name ", {"CODE", "NAME"}},
      {"FIELD->CODE+FIELD->NAME", {"CODE", "NAME"}},
      {"field -> code + t->name", {"CODE", "NAME"}},
      {"A+B+C_1", {"A", "B", "C_1"}},
      {"CODE+", {}},
      {"+CODE", {}},
      {"->CODE", {}},
      {"1CODE", {}},
      {"UPPER(CODE)", {}},
      {"CODE-NAME", {}},
      {"FIELD->", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto parsed = KeyExpression::parse(c.text);
    if (c.names.empty()) {
      EXPECT_FALSE(parsed);
    } else {
      ASSERT_TRUE(parsed);
      EXPECT_EQ(parsed->fieldNames(), c.names);
    }
  }
}

class IndexKeyTableTest : public ::testing::Test, public testing::StorageFixture {};

TEST_F(IndexKeyTableTest, IndexesStoreTheKeyBytesAndSeekFindsRecordsByThem) {
  using Row = testing::Row;
  createTable(
      "KEYED",
      {{"CODE", "C", 3, 0, {}},
       {"NAME", "C", 5, 0, {}},
       {"DT", "D", 8, 0, {}},
       {"OK", "L", 1, 0, {}}},
      {Row{"B01", "ZED", Date{2024, 2, 29}, true}, Row{"A10", "ALFA", Date{}, false},
       Row{"B01", "ALFA", Date{1999, 12, 31}, true}, Row{"A10", "BETA", Date{2024, 1, 5}, false}});
  struct Seek {
    FieldValue value;
    bool findLast;
    std::uint32_t record;  // 0: not found
  };
  struct Case {
    const char* expression;
    std::vector<IndexEntry> entries;  // as stored, in key order
    std::vector<Seek> seeks;
  };
  const Case cases[] = {
      {"DT",
       {{"        ", 2}, {"19991231", 3}, {"20240105", 4}, {"20240229", 1}},
       {{Date{2024, 1, 5}, false, 4}, {Date{}, false, 2}, {Date{2024, 2, 28}, false, 0}}},
      {"OK",
       {{"F", 2}, {"F", 4}, {"T", 1}, {"T", 3}},
       {{true, false, 1}, {true, true, 3}, {false, true, 4}}},
      {"CODE+NAME",
       {{"A10ALFA ", 2}, {"A10BETA ", 4}, {"B01ALFA ", 3}, {"B01ZED  ", 1}},
       {{"B01Z", false, 1}, {"A10BETA", false, 4}, {"B01", true, 1}, {"A10C", false, 0}}},
      {"FIELD->NAME + FIELD->CODE",
       {{"ALFA A10", 2}, {"ALFA B01", 3}, {"BETA A10", 4}, {"ZED  B01", 1}},
       {{"ALFA B", false, 3}, {"ALFA", true, 3}, {"ZED  B01", false, 1}}},
  };
  storage::WorkArea& area = open("KEYED");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expression);
    area.createIndex("KEYS", c.expression);
    testing::NtxImage image(path("KEYS.ntx"));
    EXPECT_EQ(image.keyLength, c.entries.front().key.size());
    EXPECT_EQ(image.check(), c.entries);
    for (const Seek& s : c.seeks) {
      SCOPED_TRACE(::testing::PrintToString(s.value));
      EXPECT_EQ(area.seek(s.value, false, s.findLast), s.record != 0);
      EXPECT_EQ(area.recNo(), s.record != 0 ? s.record : 5u);
    }
  }

  // Only character values can be joined.
  handler.records.clear();
  EXPECT_THROW(area.createIndex("KEYS", "CODE+DT"), errors::ErrorAbandoned);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].genCode, 33);
  EXPECT_EQ(raised()[0].subCode, 1026);
  EXPECT_EQ(area.orderCount(), 0);  // nothing half-made is left behind
  area.goTo(3);
  area.putField(2, FieldValue("GAMA"));
  area.commit();
  EXPECT_EQ(area.getField(2), FieldValue("GAMA "));
}

}  // namespace
}  // namespace converte::storage
