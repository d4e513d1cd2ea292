// The transfer plan on its own: pairing fields by name with and without a
// field list, the matching test that allows whole-record copies, the copy
// kind of each pair, and the numeric texts that may be copied as bytes.

#include "storage/transfer_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace converte::storage {
namespace {

struct Shape {
  std::string name;
  char type;
  int length;
  int decimals;
};

std::vector<Field> fieldsOf(const std::vector<Shape>& shapes) {
  std::vector<Field> fields;
  int offset = 1;
  for (const auto& s : shapes) {
    Field f;
    f.name = s.name;
    f.type = s.type;
    f.length = s.length;
    f.decimals = s.decimals;
    f.offset = offset;
    offset += s.length;
    fields.push_back(f);
  }
  return fields;
}

TEST(TransferPlanTest, PairsByNameInSourceOrderAndNeverPairsADestinationTwice) {
  struct Case {
    const char* what;
    std::vector<std::string> source;
    std::vector<std::string> destination;
    std::vector<std::string> list;
    PositionPairs expected;
  };
  const Case cases[] = {
      {"same names, other positions", {"A", "B", "C"}, {"C", "A", "X"}, {}, {{1, 2}, {3, 1}}},
      {"nothing in common", {"A", "B"}, {"X", "Y"}, {}, {}},
      {"names compare trimmed and upper-cased", {" nome ", "valor"}, {"VALOR", "NOME"}, {},
       {{1, 2}, {2, 1}}},
      {"the first of two same-named source fields wins", {"A", "A", "B"}, {"B", "A"}, {},
       {{1, 2}, {3, 1}}},
      {"only ten characters are significant", {"ABCDEFGHIJKL"}, {"ABCDEFGHIJ"}, {}, {{1, 1}}},
      {"a list in list order", {"A", "B", "C"}, {"A", "B", "C"}, {"C", "A"}, {{3, 3}, {1, 1}}},
      {"list qualifiers are ignored", {"A", "B"}, {"B", "A"}, {"FIELD->b", "SRC->A"},
       {{2, 1}, {1, 2}}},
      {"listed names missing on either side are skipped", {"A", "B"}, {"A", "C"},
       {"B", "C", "Z", "A"}, {{1, 1}}},
      {"a name listed twice pairs once", {"A", "B"}, {"A", "B"}, {"A", "a"}, {{1, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Shape> s;
    for (const auto& n : c.source) s.push_back({n, 'C', 5, 0});
    std::vector<Shape> d;
    for (const auto& n : c.destination) d.push_back({n, 'C', 5, 0});
    EXPECT_EQ(pairByName(fieldsOf(s), fieldsOf(d), c.list), c.expected);
  }
}

TEST(TransferPlanTest, ListedFieldsKeepListOrderOnceEachOrAllFields) {
  auto fields = fieldsOf({{"A", 'C', 1, 0}, {"B", 'C', 1, 0}, {"C", 'C', 1, 0}});
  EXPECT_EQ(listedFields(fields, {}), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(listedFields(fields, {"c", "FIELD->A", "x", "C"}), (std::vector<int>{3, 1}));
  EXPECT_TRUE(listedFields(fields, {"X"}).empty());
}

TEST(TransferPlanTest, MatchingNeedsEveryFieldPairedAtItsPositionAndEqual) {
  auto base = fieldsOf({{"NOME", 'C', 10, 0}, {"VALOR", 'N', 10, 2}});
  auto pairsOf = [&](const std::vector<Field>& d) { return pairByName(base, d, {}); };
  EXPECT_TRUE(isMatching(pairsOf(base), base, base));

  auto wider = fieldsOf({{"NOME", 'C', 10, 0}, {"VALOR", 'N', 12, 2}});
  EXPECT_FALSE(isMatching(pairsOf(wider), base, wider));
  auto otherDecimals = fieldsOf({{"NOME", 'C', 10, 0}, {"VALOR", 'N', 10, 3}});
  EXPECT_FALSE(isMatching(pairsOf(otherDecimals), base, otherDecimals));
  auto swapped = fieldsOf({{"VALOR", 'N', 10, 2}, {"NOME", 'C', 10, 0}});
  EXPECT_FALSE(isMatching(pairsOf(swapped), base, swapped));
  auto fewer = fieldsOf({{"NOME", 'C', 10, 0}});
  EXPECT_FALSE(isMatching(pairsOf(fewer), base, fewer));
  auto otherType = fieldsOf({{"NOME", 'C', 10, 0}, {"VALOR", 'F', 10, 2}});
  EXPECT_FALSE(isMatching(pairsOf(otherType), base, otherType));
  auto flagged = base;
  flagged[1].flags = kFlagNullable;
  EXPECT_FALSE(isMatching(pairsOf(flagged), base, flagged));

  // A destination with more fields still matches: every source field is
  // paired in place.
  auto more = fieldsOf({{"NOME", 'C', 10, 0}, {"VALOR", 'N', 10, 2}, {"NOVO", 'C', 3, 0}});
  EXPECT_TRUE(isMatching(pairsOf(more), base, more));
}

TEST(TransferPlanTest, EachPairIsCarriedAsBytesOnlyWhereThatEqualsGetAndPut) {
  auto from = fieldsOf({{"C1", 'C', 5, 0},
                        {"N1", 'N', 8, 2},
                        {"N2", 'N', 8, 2},
                        {"D1", 'D', 8, 0},
                        {"L1", 'L', 1, 0},
                        {"M1", 'M', 10, 0},
                        {"X1", 'C', 8, 0}});
  auto to = fieldsOf({{"C1", 'C', 3, 0},
                      {"N1", 'N', 8, 2},
                      {"N2", 'N', 9, 2},
                      {"D1", 'D', 8, 0},
                      {"L1", 'L', 1, 0},
                      {"M1", 'M', 10, 0},
                      {"X1", 'N', 8, 0}});
  TransferPlan plan = makePlan(pairByName(from, to, {}), recordSlots(from), recordSlots(to));
  std::vector<PairCopy> kinds;
  for (const auto& p : plan.pairs) kinds.push_back(p.copy);
  EXPECT_EQ(kinds, (std::vector<PairCopy>{PairCopy::Text, PairCopy::Number, PairCopy::Value,
                                          PairCopy::Date, PairCopy::Logical, PairCopy::Value,
                                          PairCopy::Value}));
  EXPECT_FALSE(plan.matching);
}

TEST(TransferPlanTest, ByteCopiesCutPadAndNormaliseAsPutsWould) {
  auto from = fieldsOf({{"C", 'C', 6, 0}, {"D", 'D', 8, 0}, {"L", 'L', 1, 0}, {"N", 'N', 6, 2}});
  auto to = fieldsOf({{"C", 'C', 3, 0}, {"D", 'D', 8, 0}, {"L", 'L', 1, 0}, {"N", 'N', 6, 2}});
  TransferPlan plan = makePlan(pairByName(from, to, {}), recordSlots(from), recordSlots(to));
  struct Case {
    std::string source;  // the record after the deletion flag
    std::string expected;
    bool numberAsBytes;
  };
  const Case cases[] = {
      {"ABCDEF20240229T 12.50", "ABC20240229T 12.50", true},
      {"AB    20241332y-12.50", "AB         T-12.50", true},   // bad month: empty date
      {"      ???????? 012.50", "           F", false},      // leading zero: not canonical
      {"xy    20240101n -0.00", "xy 20240101F", false},        // "-0.00" loses its sign
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    std::string record = " " + c.source;
    record.resize(22, ' ');
    std::string out(1 + 3 + 8 + 1 + 6, ' ');
    bool allBytes = true;
    for (const auto& pair : plan.pairs) allBytes = copyBytes(pair, record.data(), out.data()) && allBytes;
    EXPECT_EQ(allBytes, c.numberAsBytes);
    std::string expected = " " + c.expected;
    expected.resize(out.size(), ' ');
    EXPECT_EQ(out, expected);
  }
}

TEST(TransferPlanTest, CanonicalNumbersAreThoseFormattingGivesBack) {
  struct Case {
    const char* text;
    int decimals;
    bool canonical;
  };
  const Case cases[] = {
      {"   12.50", 2, true},  {"    0.00", 2, true},  {"   -0.50", 2, true},
      {"  -12.50", 2, true},  {"  012.50", 2, false}, {"   -0.00", 2, false},
      {"        ", 2, false}, {"   12,50", 2, false}, {"  12.5  ", 2, false},
      {"     123", 0, true},  {"      -0", 0, false}, {"       0", 0, true},
      {"  1 2345", 0, false}, {"-1234567", 0, true},  {"1234567890123456", 0, false},
      {" 123456789012345", 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(isCanonicalNumber(c.text, c.decimals), c.canonical);
  }
}

}  // namespace
}  // namespace converte::storage
