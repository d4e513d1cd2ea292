// Tests of the readable form of FieldValue that assertion failures show.

#include "storage/field_value.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

namespace converte::storage {
namespace {

TEST(FieldValue, PrintsEveryKindWithAllItsParts) {
  const struct {
    FieldValue value;
    std::string_view printed;
  } rows[] = {
      {FieldValue(), "nothing"},
      {FieldValue("Caf\xE9 \"A\"\\\n"), R"(string "Caf\xE9 \"A\"\\\x0A")"},
      {FieldValue(""), R"(string "")"},
      {FieldValue(Number::ofInteger(-42, 6)), "integer -42 (width 6, decimals 0)"},
      {FieldValue(Number::ofReal(1234.57, 7, 2)), "real 1234.57 (width 7, decimals 2)"},
      {FieldValue(Number::ofReal(0.1 + 0.2, 7, 2)),
       "real 0.30000000000000004 (width 7, decimals 2)"},
      {FieldValue(Date{2024, 3, 7}), "date 2024-03-07"},
      {FieldValue(Date{}), "empty date"},
      {FieldValue(true), "logical true"},
      {FieldValue(false), "logical false"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.printed);
    std::ostringstream printed;
    printed << row.value;
    EXPECT_EQ(printed.str(), row.printed);
    EXPECT_EQ(::testing::PrintToString(row.value), row.printed);
  }
}

TEST(FieldValue, LeavesTheStreamFillAsItWas) {
  std::ostringstream printed;
  printed.fill('#');
  printed << FieldValue(Date{5, 1, 2});
  printed.width(3);
  printed << 7;
  EXPECT_EQ(printed.str(), "date 0005-01-02##7");
}

}  // namespace
}  // namespace converte::storage
