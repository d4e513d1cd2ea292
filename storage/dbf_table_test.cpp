// Tables on disk: the exact bytes a create writes, what an open accepts,
// navigation with the deleted filter, field conversions and the put rules,
// appends and the end-of-file rule, and the work-area rules.

#include <gtest/gtest.h>

#include <memory>

#include "platform/system.h"
#include "storage/dbf_header.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using errors::Answer;
using testing::readFileBytes;

class TableTest : public ::testing::Test {
 protected:
  TableTest() : fs_(platform::newSystemFileSystem()), env_(*fs_, clock_, handler_), areas_(env_) {
    env_.defaultDir = dir_.path();
  }

  Structure basic() {
    return {{"NOME", "C", 10, 0, {}}, {"VALOR", "N", 10, 2, {}}, {"DATA", "D", 8, 0, {}},
            {"ATIVO", "L", 1, 0, {}}};
  }

  void createAndOpen(const std::string& name, const Structure& s) {
    ASSERT_TRUE(areas_.createTable(name, s));
    ASSERT_TRUE(areas_.useArea(true, "", name));
  }

  std::string bytesOf(const std::string& name) { return readFileBytes(dir_.file(name)); }

  WorkArea& area() { return areas_.current(); }

  testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_;
  testing::FixedClock clock_;
  testing::ScriptedHandler handler_;
  StorageEnv env_;
  WorkAreaList areas_;
};

TEST_F(TableTest, CreateWritesHeaderDescriptorsAndEndOfFileByte) {
  ASSERT_TRUE(areas_.createTable("T1", basic()));
  std::string b = bytesOf("T1.dbf");
  ASSERT_EQ(b.size(), 163u);
  EXPECT_EQ(b[0], '\x03');
  EXPECT_EQ(std::string(b.data() + 1, 3), std::string("\x7C\x0C\x09", 3));  // 2024-12-09
  EXPECT_EQ(std::string(b.data() + 4, 4), std::string(4, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8), 162);
  EXPECT_EQ(static_cast<unsigned char>(b[10]) | (static_cast<unsigned char>(b[11]) << 8), 30);
  EXPECT_EQ(std::string(b.data() + 12, 20), std::string(20, '\0'));
  EXPECT_EQ(std::string(b.data() + 32, 11), std::string("NOME\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(b[43], 'C');
  EXPECT_EQ(b[48], 10);
  EXPECT_EQ(b[64 + 11], 'N');
  EXPECT_EQ(b[64 + 16], 10);
  EXPECT_EQ(b[64 + 17], 2);
  EXPECT_EQ(std::string(b.data() + 160, 3), std::string("\x0D\x00\x1A", 3));
}

TEST_F(TableTest, MemoFieldMakesVersion83AndCreatesTheMemoFile) {
  Structure s = basic();
  s.push_back({"OBS", "M", 10, 0, {}});
  ASSERT_TRUE(areas_.createTable("T2", s));
  std::string b = bytesOf("T2.dbf");
  EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x83);
  EXPECT_EQ(static_cast<unsigned char>(b[8]), 194);
  EXPECT_EQ(static_cast<unsigned char>(b[10]), 40);
  EXPECT_EQ(bytesOf("T2.dbt").size(), 512u);
}

TEST_F(TableTest, NamesAreTrimmedUpperCasedAndCutInTheFile) {
  ASSERT_TRUE(areas_.createTable("T3", {{"  patro_cod ", "c", 5, 0, {}},
                                        {"ABCDEFGHIJKL", "C", 300, 0, {}}}));
  std::string b = bytesOf("T3.dbf");
  EXPECT_EQ(std::string(b.data() + 32, 11), std::string("PATRO_COD\0\0", 11));
  EXPECT_EQ(std::string(b.data() + 64, 11), std::string("ABCDEFGHIJ\0", 11));
  EXPECT_EQ(static_cast<unsigned char>(b[64 + 16]), 0x2C);
  EXPECT_EQ(static_cast<unsigned char>(b[64 + 17]), 0x01);
  ASSERT_TRUE(areas_.useArea(true, "", "T3"));
  auto rows = area().structure();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (StructureRow{"PATRO_COD", 'C', 5, 0, 0}));
  EXPECT_EQ(rows[1], (StructureRow{"ABCDEFGHIJ", 'C', 300, 0, 0}));
  EXPECT_EQ(area().fieldPos(" patro_cod "), 1);
  EXPECT_EQ(area().fieldPos("ABCDEFGHIJKL"), 2);
}

TEST_F(TableTest, CreateMapsOtherTypeLettersByTheirLengthRules) {
  struct Row {
    FieldSpec given;
    StructureRow stored;
  };
  const Row rows[] = {
      {{"A", "I", 3, 0, {}}, {"A", 'I', 3, 0, 0}},  {{"B", "I", 5, 0, {}}, {"B", 'I', 4, 0, 0}},
      {{"C2", "2", 0, 0, {}}, {"C2", 'I', 2, 0, 0}}, {{"D", "Y", 0, 0, {}}, {"D", 'I', 8, 4, 0}},
      {{"E", "8", 0, 3, {}}, {"E", 'B', 8, 3, 0}},  {{"F", "B", 10, 0, {}}, {"F", 'B', 10, 0, 0}},
      {{"G", "T", 4, 0, {}}, {"G", 'T', 4, 0, 4}},  {{"H", "@", 3, 0, {}}, {"H", '@', 8, 0, 4}},
      {{"J", "+", 9, 0, {}}, {"J", '+', 4, 0, 0}},  {{"K", "Q", 0, 0, {}}, {"K", 'Q', 1, 0, 0}},
      {{"L", "Q", 300, 0, {}}, {"L", 'Q', 255, 0, 0}}, {{"N", "V", 5, 0, {}}, {"N", 'V', 6, 0, 0}},
      {{"O", "M", 4, 0, {}}, {"O", 'M', 4, 0, 0}},  {{"P", "G", 7, 0, {}}, {"P", 'G', 10, 0, 0}},
      {{"Q", "D", 10, 0, {}}, {"Q", 'D', 8, 0, 0}}, {{"R", "N", 5, 0, 2}, {"R", 'N', 5, 0, 2}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given.name);
    ASSERT_TRUE(areas_.createTable("TYPES", {row.given}));
    ASSERT_TRUE(areas_.useArea(true, "", "TYPES"));
    EXPECT_EQ(area().structure().at(0), row.stored);
    areas_.closeArea();
  }
}

TEST_F(TableTest, OtherTypesStoreTheirValuesAndReadThemBack) {
  using namespace std::string_literals;
  struct Row {
    FieldSpec given;
    char letterInFile;  // 0: as created; else the descriptor's letter is changed to it
    FieldValue put;
    std::string stored;  // the field's bytes in the record
    FieldValue read;
  };
  const Row rows[] = {
      {{"I1", "I", 1, 0, {}}, 0, Number::ofInteger(-5), "\xFB"s, Number::ofInteger(-5, 11)},
      {{"I2", "I", 2, 2, {}}, 0, Number::ofReal(12.34), "\xD2\x04"s, Number::ofReal(12.34, 20, 2)},
      {{"I3", "I", 3, 0, {}}, 0, Number::ofInteger(-1000), "\x18\xFC\xFF"s,
       Number::ofInteger(-1000, 11)},
      {{"I4", "I", 4, 3, {}}, 0, Number::ofReal(-1.5), "\x24\xFA\xFF\xFF"s,
       Number::ofReal(-1.5, 20, 3)},
      {{"I8", "I", 8, 0, {}}, 0, Number::ofInteger(-1234567890123),
       "\x35\xFB\x04\x8E\xE0\xFE\xFF\xFF"s, Number::ofInteger(-1234567890123, 11)},
      {{"Y", "Y", 0, 0, {}}, 0, Number::ofReal(12.3456), "\x40\xE2\x01\0\0\0\0\0"s,
       Number::ofReal(12.3456, 20, 4)},
      {{"B", "B", 8, 3, {}}, 0, Number::ofReal(3.25), "\0\0\0\0\0\0\x0A\x40"s,
       Number::ofReal(3.25, 20, 3)},
      {{"E", "8", 8, 0, {}}, 0, Number::ofInteger(-2), "\0\0\0\0\0\0\0\xC0"s,
       Number::ofReal(-2.0, 20, 0)},
      {{"E8", "B", 8, 1, {}}, '8', Number::ofReal(-0.75), "\0\0\0\0\0\0\xE8\xBF"s,
       Number::ofReal(-0.75, 20, 1)},
      {{"O", "B", 8, 2, {}}, 'O', Number::ofReal(0.5), "\0\0\0\0\0\0\xE0\x3F"s,
       Number::ofReal(0.5, 20, 2)},
      {{"F", "F", 8, 2, {}}, 0, Number::ofReal(-12.5), "  -12.50", Number::ofReal(-12.5, 5, 2)},
      {{"Q", "Q", 6, 0, {}}, 0, FieldValue("abc"), "abc   ", FieldValue("abc   ")},
      {{"BM", "B", 10, 0, {}}, 0, FieldValue("a memo in B"), "         1",
       FieldValue("a memo in B")},
      {{"M4", "M", 4, 0, {}}, 0, FieldValue("a memo in M"), "\x01\0\0\0"s,
       FieldValue("a memo in M")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given.name);
    ASSERT_TRUE(areas_.createTable("OTHER", {row.given}));
    if (row.letterInFile != 0) {
      std::string b = bytesOf("OTHER.dbf");
      b[32 + 11] = row.letterInFile;
      testing::writeFileBytes(dir_.file("OTHER.dbf"), b);
    }
    ASSERT_TRUE(areas_.useArea(true, "", "OTHER"));
    ASSERT_TRUE(area().append());
    area().putField(1, row.put);
    EXPECT_EQ(std::string(area().recordBytes().data() + 1, row.stored.size()), row.stored);
    areas_.closeArea();
    ASSERT_TRUE(areas_.useArea(true, "", "OTHER"));
    EXPECT_EQ(area().getField(1), row.read);
    areas_.closeArea();
    EXPECT_TRUE(handler_.records.empty());
  }
}

TEST_F(TableTest, CreateRefusesBadStructures) {
  EXPECT_FALSE(areas_.createTable("T4", {{"  ", "C", 5, 0, {}}}));
  EXPECT_FALSE(fs_->exists(dir_.file("T4.dbf")));
  EXPECT_THROW(areas_.createTable("T4", {{"X", "K", 5, 0, {}}}), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].genCode, 1);
  EXPECT_EQ(handler_.records[0].subCode, 1014);
  EXPECT_EQ(handler_.records[0].description, "Argument error");
  EXPECT_THROW(areas_.createTable("T4", {{"X", "C", 5, 0, {}}}, "NODRIVER"), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records[1].subCode, 1015);
  Structure wide;
  for (int i = 0; i < 2100; ++i) wide.push_back({"F" + std::to_string(i), "C", 1, 0, {}});
  EXPECT_THROW(areas_.createTable("T4", wide), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records[2].genCode, 20);
  EXPECT_EQ(handler_.records[2].subCode, 1021);
}

TEST_F(TableTest, CreateRetriesWhenTheHandlerAnswersRetry) {
  std::string missing = dir_.path() + "/later";
  handler_.script({Answer::Retry});
  handler_.setOtherwise(Answer::Abandon);
  EXPECT_THROW(areas_.createTable(missing + "/T5", basic()), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 2u);  // the first try and the retry
  const auto& r = handler_.records[0];
  EXPECT_EQ(r.genCode, 20);
  EXPECT_EQ(r.subCode, 1004);
  EXPECT_EQ(r.subSystem, "DBFNTX");
  EXPECT_EQ(r.description, "Create error");
  EXPECT_EQ(r.osCode, 3);
  EXPECT_TRUE(r.canRetry);
  EXPECT_FALSE(r.canDefault);
  EXPECT_EQ(r.fileName, missing + "/T5.dbf");
  EXPECT_FALSE(r.callStack.empty());
}

TEST_F(TableTest, AppendWithoutEndOfFileByteAndZapWritesOne) {
  createAndOpen("T6", basic());
  ASSERT_TRUE(area().append());
  area().putField(1, FieldValue("ANA"));
  areas_.closeArea();
  std::string b = bytesOf("T6.dbf");
  ASSERT_EQ(b.size(), 162u + 30u);
  EXPECT_EQ(b[4], 1);
  EXPECT_EQ(b.substr(162), std::string(" ANA       ") + std::string(19, ' '));
  ASSERT_TRUE(areas_.useArea(true, "", "T6"));
  area().zap();
  areas_.closeArea();
  b = bytesOf("T6.dbf");
  ASSERT_EQ(b.size(), 163u);
  EXPECT_EQ(b[162], '\x1A');
  EXPECT_EQ(b[4], 0);
}

TEST_F(TableTest, RecordCountComesFromTheFileSize) {
  createAndOpen("T7", basic());
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(area().append());
  areas_.closeArea();
  std::string b = bytesOf("T7.dbf");
  b[4] = 10;
  b += '\x1A';
  b += "junk";  // fewer bytes than a record
  testing::writeFileBytes(dir_.file("T7.dbf"), b);
  ASSERT_TRUE(areas_.useArea(true, "", "T7"));
  EXPECT_EQ(area().recCount(), 12u);
}

TEST_F(TableTest, ChangingARecordKeepsTheHeaderDate) {
  createAndOpen("T8", basic());
  ASSERT_TRUE(area().append());
  areas_.closeArea();
  clock_.set({2025, 3, 4, 8, 0, 0, 0});
  ASSERT_TRUE(areas_.useArea(true, "", "T8"));
  area().putField(1, FieldValue("X"));
  areas_.closeArea();
  EXPECT_EQ(bytesOf("T8.dbf").substr(1, 3), std::string("\x7C\x0C\x09", 3));
}

TEST_F(TableTest, FieldsRoundTripEveryTextType) {
  createAndOpen("T9", basic());
  ASSERT_TRUE(area().append());
  area().putField(1, FieldValue("a longer text than ten"));
  area().putField(2, FieldValue(Number::ofReal(1234.567)));
  area().putField(3, FieldValue(Date{2024, 2, 29}));
  area().putField(4, FieldValue(true));
  area().goTop();
  EXPECT_EQ(area().getField(1), FieldValue("a longer t"));
  EXPECT_EQ(area().getField(2), FieldValue(Number::ofReal(1234.57, 7, 2)));
  EXPECT_EQ(area().getField(3), FieldValue(Date{2024, 2, 29}));
  EXPECT_EQ(area().getField(4), FieldValue(true));
  EXPECT_EQ(std::string(area().recordBytes().data(), 30),
            " a longer t   1234.5720240229T");
  ASSERT_TRUE(area().append());
  EXPECT_EQ(area().getField(1), FieldValue("          "));
  EXPECT_EQ(area().getField(2).number().asDouble(), 0.0);
  EXPECT_EQ(area().getField(3), FieldValue(Date{}));
  EXPECT_EQ(area().getField(4), FieldValue(false));
}

TEST_F(TableTest, LogicalReadsTtYyAsTrue) {
  createAndOpen("T10", {{"F", "L", 1, 0, {}}});
  for (char c : std::string("TtYyFfN ?")) {
    ASSERT_TRUE(area().append());
    area().setRecordBytes(std::string(" ") + c);
  }
  area().goTop();
  std::string truths;
  for (; !area().eof(); area().skip()) truths += area().getField(1).logical() ? '1' : '0';
  EXPECT_EQ(truths, "111100000");
}

TEST_F(TableTest, PutOfTheWrongTypeRaisesDataTypeErrorAndKeepsTheField) {
  createAndOpen("T11", basic());
  ASSERT_TRUE(area().append());
  area().putField(2, FieldValue(Number::ofInteger(7)));
  handler_.setOtherwise(Answer::Default);
  area().putField(2, FieldValue("12"));
  area().putField(1, FieldValue(Number::ofInteger(1)));
  area().putField(3, FieldValue("20240101"));
  ASSERT_EQ(handler_.records.size(), 3u);
  EXPECT_EQ(handler_.records[0].genCode, 33);
  EXPECT_EQ(handler_.records[0].subCode, 1020);
  EXPECT_EQ(handler_.records[0].operation, "VALOR");
  EXPECT_TRUE(handler_.records[0].canDefault);
  EXPECT_EQ(area().getField(2).number().integer, 0);  // "      7.00" read back as real
  EXPECT_DOUBLE_EQ(area().getField(2).number().asDouble(), 7.0);
}

TEST_F(TableTest, NumberTooWideFillsStarsAndRaisesDataWidthError) {
  createAndOpen("T12", {{"N", "N", 5, 0, {}}});
  ASSERT_TRUE(area().append());
  handler_.setOtherwise(Answer::Default);
  area().putField(1, FieldValue(Number::ofInteger(123456)));
  EXPECT_EQ(std::string(area().recordBytes().data(), 6), " *****");
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].genCode, 34);
  EXPECT_EQ(handler_.records[0].subCode, 1021);
  EXPECT_EQ(handler_.records[0].description, "Data width error");
  area().putField(1, FieldValue(Number::ofInteger(42)));
  handler_.setOtherwise(Answer::Abandon);
  EXPECT_THROW(area().putField(1, FieldValue(Number::ofInteger(999999))), errors::ErrorAbandoned);
  EXPECT_EQ(std::string(area().recordBytes().data(), 6), "    42");  // unchanged
}

TEST_F(TableTest, NavigationFollowsTheBofEofAndPhantomRules) {
  createAndOpen("T13", basic());
  EXPECT_TRUE(area().eof());
  EXPECT_TRUE(area().bof());
  EXPECT_EQ(area().recNo(), 1u);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(area().append());
  area().goBottom();
  area().skip();
  EXPECT_TRUE(area().eof());
  EXPECT_FALSE(area().bof());
  EXPECT_EQ(area().recNo(), 4u);
  area().skip(-1);
  EXPECT_EQ(area().recNo(), 3u);
  EXPECT_FALSE(area().eof());
  area().goTop();
  area().skip(-1);
  EXPECT_TRUE(area().bof());
  EXPECT_EQ(area().recNo(), 1u);
  area().goTo(0);
  EXPECT_TRUE(area().eof() && area().bof());
  EXPECT_EQ(area().recNo(), 4u);
  area().goTo(2);
  area().skip(5);
  EXPECT_TRUE(area().eof());
  area().goTo(3);
  area().skip(-5);
  EXPECT_TRUE(area().bof());
  EXPECT_EQ(area().recNo(), 1u);
}

TEST_F(TableTest, SetDeletedHidesDeletedRecords) {
  createAndOpen("T14", basic());
  for (int i = 1; i <= 5; ++i) {
    ASSERT_TRUE(area().append());
    if (i == 1 || i == 3 || i == 5) area().deleteRecord();
  }
  env_.setDeleted = true;
  area().goTop();
  EXPECT_EQ(area().recNo(), 2u);
  area().skip();
  EXPECT_EQ(area().recNo(), 4u);
  area().skip();
  EXPECT_TRUE(area().eof());
  area().goBottom();
  EXPECT_EQ(area().recNo(), 4u);
  area().skip(-1);
  EXPECT_EQ(area().recNo(), 2u);
  area().skip(-1);
  EXPECT_TRUE(area().bof());
  EXPECT_EQ(area().recNo(), 2u);
  area().goTo(2);
  area().deleteRecord();
  area().goTo(4);
  area().deleteRecord();
  area().goTop();
  EXPECT_TRUE(area().eof());
  EXPECT_EQ(area().recNo(), 6u);
  area().goBottom();
  EXPECT_TRUE(area().eof());
  env_.setDeleted = false;
  area().goTop();
  EXPECT_EQ(area().recNo(), 1u);
  EXPECT_TRUE(area().deleted());
  area().recall();
  EXPECT_FALSE(area().deleted());
}

TEST_F(TableTest, WorkAreasAliasesAndSelection) {
  ASSERT_TRUE(areas_.createTable("DADOS", basic()));
  ASSERT_TRUE(areas_.createTable("ITEM", basic()));
  ASSERT_TRUE(areas_.useArea(true, "", "dados"));
  EXPECT_EQ(areas_.currentNumber(), 1);
  EXPECT_EQ(area().alias(), "DADOS");
  ASSERT_TRUE(areas_.useArea(true, "", "ITEM", "other", true));
  EXPECT_EQ(areas_.currentNumber(), 2);
  EXPECT_EQ(areas_.areaOf("OTHER"), 2);
  areas_.selectArea("dados");
  EXPECT_EQ(areas_.currentNumber(), 1);
  EXPECT_THROW(areas_.useArea(true, "", "ITEM", "DADOS", true), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records.back().genCode, 18);
  EXPECT_EQ(areas_.currentNumber(), 1);
  EXPECT_THROW(areas_.useArea(true, "", "ITEM", "M", true), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records.back().genCode, 18);
  EXPECT_THROW(areas_.useArea(true, "", "ITEM", "9X", true), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records.back().genCode, 17);
  EXPECT_THROW(areas_.selectArea("NOPE"), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records.back().genCode, 15);
  EXPECT_EQ(handler_.records.back().subCode, 1002);
  areas_.selectArea(5);
  EXPECT_THROW(area().goTop(), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records.back().genCode, 35);
  EXPECT_EQ(handler_.records.back().subCode, 2001);
  EXPECT_TRUE(area().eof());
  EXPECT_EQ(area().recCount(), 0u);
  areas_.closeAll();
  EXPECT_EQ(areas_.currentNumber(), 1);
  EXPECT_EQ(areas_.areaOf("DADOS"), 0);
}

TEST_F(TableTest, OpenErrorOffersRetryAndDefault) {
  handler_.setOtherwise(Answer::Default);
  EXPECT_FALSE(areas_.useArea(true, "", "MISSING"));
  ASSERT_EQ(handler_.records.size(), 1u);
  const auto& r = handler_.records[0];
  EXPECT_EQ(r.genCode, 21);
  EXPECT_EQ(r.subCode, 1001);
  EXPECT_EQ(r.osCode, 2);
  EXPECT_TRUE(r.canRetry && r.canDefault);
  EXPECT_EQ(r.fileName, dir_.file("MISSING.dbf"));
}

TEST_F(TableTest, ExclusiveOpenConflictsWithAnotherOpen) {
  ASSERT_TRUE(areas_.createTable("T15", basic()));
  ASSERT_TRUE(areas_.useArea(true, "", "T15", "ONE", false));
  handler_.setOtherwise(Answer::Default);
  EXPECT_FALSE(areas_.useArea(true, "", "T15", "TWO", true));
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].osCode, 32);
  EXPECT_EQ(areas_.currentNumber(), 1);
}

TEST_F(TableTest, SearchPathFindsTablesOutsideTheDefaultDirectory) {
  testing::TempDir other;
  env_.defaultDir = other.path();
  ASSERT_TRUE(areas_.createTable("ELSEWHERE", basic()));
  env_.defaultDir = dir_.path();
  env_.searchPath = {other.path()};
  ASSERT_TRUE(areas_.useArea(true, "", "elsewhere.DBF"));
  EXPECT_EQ(area().alias(), "ELSEWHERE");
}

TEST_F(TableTest, ReadOnlyTableRefusesChanges) {
  ASSERT_TRUE(areas_.createTable("T16", basic()));
  ASSERT_TRUE(areas_.useArea(true, "", "T16", "", false, true));
  EXPECT_THROW(area().append(), errors::ErrorAbandoned);
  EXPECT_EQ(handler_.records.back().genCode, 39);
  EXPECT_EQ(handler_.records.back().subCode, 1025);
}

TEST_F(TableTest, EvalHandlesTheScopeItIsGiven) {
  createAndOpen("T17", {{"N", "N", 3, 0, {}}});
  for (int i = 1; i <= 6; ++i) {
    ASSERT_TRUE(area().append());
    area().putField(1, FieldValue(Number::ofInteger(i)));
  }
  auto run = [&](const Scope& scope) {
    std::string seen;
    area().eval([&] { seen += std::to_string(area().getField(1).number().integer); }, scope);
    return seen;
  };
  Scope all;
  EXPECT_EQ(run(all), "123456");
  Scope even;
  even.forCondition = [&] { return area().getField(1).number().integer % 2 == 0; };
  EXPECT_EQ(run(even), "246");
  Scope one;
  one.record = 4;
  EXPECT_EQ(run(one), "4");
  area().goTo(2);
  Scope next;
  next.next = 3;
  EXPECT_EQ(run(next), "234");
  area().goTo(3);
  Scope below5;
  below5.whileCondition = [&] { return area().getField(1).number().integer < 5; };
  EXPECT_EQ(run(below5), "34");
  area().goTo(5);
  Scope rest;
  rest.rest = true;
  EXPECT_EQ(run(rest), "56");
}

}  // namespace
}  // namespace converte::storage
