// SDF text files through the bulk transfers: the exact bytes a copy-to
// writes, the lines an append-from reads (short, long, empty, unterminated,
// odd line ends, the end-of-file byte), and the conversions of each type.

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

class SdfTransferTest : public ::testing::Test, public testing::StorageFixture {
 protected:
  static Structure typed() {
    return {{"NOME", "C", 5, 0, {}}, {"VALOR", "N", 6, 2, {}}, {"DATA", "D", 8, 0, {}},
            {"OK", "L", 1, 0, {}},   {"OBS", "M", 10, 0, {}}};
  }

  // The records (without deletion flags) that reading text into a fresh
  // table of that structure gives.
  std::vector<std::string> imported(const std::string& text, const Structure& structure) {
    testing::writeFileBytes(path("IN.TXT"), text);
    createTable("DST", structure);
    WorkArea& dst = open("DST");
    EXPECT_TRUE(areas.transferSdf(false, "IN.TXT"));
    std::vector<std::string> records;
    for (const std::string& r : recordsOf(dst)) records.push_back(r.substr(1));
    areas.closeArea();
    return records;
  }
};

TEST_F(SdfTransferTest, CopyToWritesFixedWidthLinesAndTheEndOfFileByte) {
  createTable("SRC", typed(),
              {{"ANA", Number::ofReal(1.5, 6, 2), Date{2024, 3, 1}, true, FieldValue("memo")},
               {"BETO", Number::ofReal(-12.25, 6, 2), Date{}, false},
               {"CAIO"}},
              {3});
  open("SRC");
  ASSERT_TRUE(areas.transferSdf(true, "OUT.TXT"));
  EXPECT_EQ(bytesOf("OUT.TXT"),
            "ANA    1.5020240301T\r\n"
            "BETO -12.25        F\r\n"
            "CAIO   0.00        F\r\n"
            "\x1A");
  EXPECT_TRUE(raised().empty());
}

TEST_F(SdfTransferTest, CopyToWithListAndScopeAndANumberThatDoesNotFit) {
  // "123456" in N(6,2) reads as 123456, which needs more than six places.
  createRawTable("SRC", {{"NOME", "C", 2, 0, {}}, {"VALOR", "N", 6, 2, {}}},
                 {" AA  1.25", " BB123456", " CC  3.00"});
  open("SRC");
  handler.setOtherwise(Answer::Default);
  Scope firstTwo{{}, {}, 2, {}, false};
  ASSERT_TRUE(areas.copyTo("OUT.TXT", {"VALOR", "NOME"}, firstTwo, "sdf"));
  EXPECT_EQ(bytesOf("OUT.TXT"), "  1.25AA\r\n******BB\r\n\x1A");
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{
                          driverRecord(34, 1021, "Data width error", "", "VALOR", true)}));
}

TEST_F(SdfTransferTest, AppendFromReadsEachTypeAsARecordFieldWould) {
  std::vector<std::string> records = imported(
      "ANA  012.5020240301y\r\n"
      "B    abc   2024133xt\r\n"
      "C      -1.5        N\r\n"
      "D      7.0020240230 \r\n",
      typed());
  const std::string noMemo(10, ' ');
  EXPECT_EQ(records, (std::vector<std::string>{"ANA   12.5020240301T" + noMemo,
                                               "B      0.00        T" + noMemo,
                                               "C     -1.50        F" + noMemo,
                                               "D      7.0020240230F" + noMemo}));
}

TEST_F(SdfTransferTest, LinesAreCutPaddedAndEndedAsTheReaderFindsThem) {
  // Two fields of widths 3 and 2: a record is five characters.
  const Structure narrow = {{"A", "C", 3, 0, {}}, {"B", "C", 2, 0, {}}};
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> records;
  };
  const Case cases[] = {
      {"short, empty and unterminated lines", "ABCDE\r\nAB\r\n\r\nXYZ",
       {"ABCDE", "AB   ", "     ", "XYZ  "}},
      {"a long line is cut and the next read whole", "ABCDEFGHIJ\r\nKL\r\n\x1A",
       {"ABCDE", "KL   "}},
      {"a long line whose CR ends the first read", "ABCDEFGH\r\nZ", {"ABCDE", "Z    "}},
      {"a long line within the first read", "ABCDEFG\r\nQ\r\n", {"ABCDE", "Q    "}},
      {"a long last line without a line end", std::string(40, 'x'), {"xxxxx"}},
      {"a short last line in the read after a line", "ABCD\r\nX", {"ABCD ", "X    "}},
      {"tabs and control characters are data", "A\tB\x01" "C\r\n", {"A\tB\x01" "C"}},
      {"a lone LF or CR is data", "X\nY\rZ\r\nP\rQ\r\n", {"X\nY\rZ", "P\rQ  "}},
      {"a file of LF lines is one long line", "AB\nCD\nEF\n", {"AB\nCD"}},
      {"an end-of-file byte inside the text is data", "AB\x1A" "C\r\nD\r\n", {"AB\x1A" "C ", "D    "}},
      {"an end-of-file byte after an unterminated line", "ABC\x1A", {"ABC  "}},
      {"only the end-of-file byte", "\x1A", {}},
      {"an empty file", "", {}},
      {"two empty lines", "\r\n\r\n", {"     ", "     "}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(imported(c.text, narrow), c.records);
  }
}

TEST_F(SdfTransferTest, LogViewerImportOfLongLinesIntoTwoWideFields) {
  const Structure viewer = {{"LINHA1", "C", 137, 0, {}}, {"LINHA2", "C", 137, 0, {}}};
  std::string first(300, ' ');
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>('a' + i % 26);
  std::string text = first + "\r\n" + "dez chars!" + "\r\n" + "\r\n" + "fim sem quebra" + "\x1A";
  std::vector<std::string> records = imported(text, viewer);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], first.substr(0, 274));
  EXPECT_EQ(records[1], "dez chars!" + std::string(264, ' '));
  EXPECT_EQ(records[2], std::string(274, ' '));
  EXPECT_EQ(records[3], "fim sem quebra" + std::string(260, ' '));
}

TEST_F(SdfTransferTest, AppendFromHonoursTheScope) {
  testing::writeFileBytes(path("IN.TXT"), "L1\r\nL2\r\nL3\r\nL4\r\n");
  createTable("DST", {{"T", "C", 2, 0, {}}});
  WorkArea& dst = open("DST");
  ASSERT_TRUE(areas.appendFrom("IN.TXT", {}, Scope{{}, {}, {}, 3, false}, "SDF"));
  ASSERT_TRUE(areas.appendFrom("IN.TXT", {}, Scope{{}, {}, 2, {}, false}, "SDF"));
  int calls = 0;
  ASSERT_TRUE(areas.appendFrom("IN.TXT", {}, Scope{[&] { return ++calls % 2 == 0; }, {}, {}, {}, false},
                               "SDF"));
  EXPECT_EQ(recordsOf(dst), (std::vector<std::string>{" L3", " L1", " L2", " L2", " L4"}));
}

TEST_F(SdfTransferTest, RoundTripThroughTextKeepsTheValues) {
  createTable("SRC", typed(),
              {{"ANA", Number::ofReal(1.5, 6, 2), Date{2024, 3, 1}, true},
               {"BETO", Number::ofReal(-12.25, 6, 2), Date{}, false}});
  open("SRC");
  ASSERT_TRUE(areas.transferSdf(true, "RT.TXT"));
  std::vector<std::string> before = recordsOf(areas.current());
  areas.closeArea();
  createTable("BACK", typed());
  WorkArea& back = open("BACK");
  ASSERT_TRUE(areas.transferSdf(false, "RT.TXT"));
  EXPECT_EQ(recordsOf(back), before);
}

TEST_F(SdfTransferTest, MissingTextFileRaisesTheOpenError) {
  createTable("DST", {{"T", "C", 2, 0, {}}});
  WorkArea& dst = open("DST");
  handler.setOtherwise(Answer::Default);
  EXPECT_FALSE(areas.transferSdf(false, "NADA.TXT"));
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{driverRecord(
                          21, 1001, "Open error", path("NADA.TXT"), "", true, true, 2)}));
  EXPECT_EQ(dst.recCount(), 0u);
  EXPECT_EQ(areas.currentNumber(), dst.number());
}

}  // namespace
}  // namespace converte::storage
