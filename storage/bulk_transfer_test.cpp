// Append-from and copy-to between tables: whole-record copies for matching
// structures, field-by-field copies with the put rules and their errors,
// deletion flags, memo texts, scopes, the source's open mode, a table
// appended from itself, and the errors of a source that cannot be opened.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "storage/work_areas.h"
#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

using errors::Answer;
using testing::driverRecord;
using testing::Row;

FieldValue num(double v, int width = 10, int decimals = 2) {
  return Number::ofReal(v, width, decimals);
}

class BulkTransferTest : public ::testing::Test, public testing::StorageFixture {
 protected:
  static Structure valorOf(int length) {
    return {{"NOME", "C", 10, 0, {}}, {"VALOR", "N", length, 2, {}}};
  }

  // The copy CP of a table: NOME C 10, VALOR N(10,2); three records.
  void createCopy() {
    createTable("CP", valorOf(10),
                {{"ANA", num(1.5)}, {"BETO", num(12345.67)}, {"CAIO", num(-0.25)}});
  }

  // The field's bytes of every record of the open area.
  static std::vector<std::string> fieldBytes(WorkArea& area, int position) {
    const Field& f = area.fields()[static_cast<std::size_t>(position - 1)];
    std::vector<std::string> out;
    for (const std::string& r : recordsOf(area))
      out.push_back(r.substr(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.length)));
    return out;
  }
};

TEST_F(BulkTransferTest, MatchingStructureCopiesWholeRecordsWithTheirDeletionFlags) {
  // Raw bytes that a field-by-field copy would re-format: a number with a
  // leading zero and a logical stored as 'y'.
  Structure s = {{"NOME", "C", 4, 0, {}}, {"VALOR", "N", 6, 2, {}}, {"OK", "L", 1, 0, {}}};
  createRawTable("SRC", s, {" ANA 012.50y", "*BETO  1.00T", " CAIO -3.00F"});
  createTable("DST", s);
  open("DST");
  ASSERT_TRUE(areas.appendFrom("SRC"));
  EXPECT_EQ(recordsOf(areas.current()),
            (std::vector<std::string>{" ANA 012.50y", "*BETO  1.00T", " CAIO -3.00F"}));
  EXPECT_TRUE(raised().empty());
}

TEST_F(BulkTransferTest, OtherStructureCopiesFieldByFieldByName) {
  Structure s = {{"NOME", "C", 4, 0, {}}, {"VALOR", "N", 6, 2, {}}, {"OK", "L", 1, 0, {}},
                 {"SO_AQUI", "C", 2, 0, {}}};
  createRawTable("SRC", s, {" ANA 012.50yZZ", "*BETO  1.00TZZ"});
  // Other order, a longer name field, a renamed field and a new one.
  createTable("DST", {{"OK", "L", 1, 0, {}}, {"NOVO", "D", 8, 0, {}}, {"VALOR", "N", 6, 2, {}},
                      {"NOME", "C", 6, 0, {}}, {"SOAQUI", "C", 2, 0, {}}});
  open("DST");
  ASSERT_TRUE(areas.appendFrom("SRC"));
  EXPECT_EQ(recordsOf(areas.current()),
            (std::vector<std::string>{" T" + std::string(8, ' ') + " 12.50" + "ANA   " + "  ",
                                      "*T" + std::string(8, ' ') + "  1.00" + "BETO  " + "  "}));
  EXPECT_TRUE(raised().empty());
}

TEST_F(BulkTransferTest, WiderNumberFieldKeepsEveryValueAndCharactersAreCutOrPadded) {
  createCopy();
  createTable("NEW", {{"NOME", "C", 3, 0, {}}, {"VALOR", "N", 12, 2, {}}});
  open("NEW");
  ASSERT_TRUE(areas.appendFrom("CP"));
  EXPECT_EQ(recordsOf(areas.current()),
            (std::vector<std::string>{" ANA        1.50", " BET    12345.67", " CAI       -0.25"}));
  EXPECT_TRUE(raised().empty());
}

TEST_F(BulkTransferTest, NumberThatDoesNotFitGivesStarsAndWidthErrorAndGoesOnOnDefault) {
  createCopy();
  createTable("NEW", valorOf(6));
  open("NEW");
  handler.setOtherwise(Answer::Default);
  ASSERT_TRUE(areas.appendFrom("CP"));
  EXPECT_EQ(fieldBytes(areas.current(), 2),
            (std::vector<std::string>{"  1.50", "******", " -0.25"}));
  EXPECT_EQ(deletedFlags(areas.current()), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{
                          driverRecord(34, 1021, "Data width error", "", "VALOR", true)}));
}

TEST_F(BulkTransferTest, PutThatFailsMarksTheNewRecordDeletedStopsAndPassesTheErrorOn) {
  createCopy();
  createTable("NEW", {{"VALOR", "N", 6, 2, {}}, {"NOME", "C", 10, 0, {}}});
  open("NEW");
  handler.setOtherwise(Answer::Abandon);
  EXPECT_THROW(areas.appendFrom("CP"), errors::ErrorAbandoned);
  WorkArea& dst = areas.current();
  EXPECT_EQ(dst.alias(), "NEW");
  ASSERT_EQ(dst.recCount(), 2u);
  EXPECT_EQ(deletedFlags(dst), (std::vector<bool>{false, true}));
  EXPECT_EQ(fieldBytes(dst, 1)[0], "  1.50");
  EXPECT_EQ(raised().size(), 1u);
  EXPECT_EQ(areas.areaOf("CP"), 0);
}

TEST_F(BulkTransferTest, ValueOfAnotherTypeRaisesTypeErrorAndLeavesTheFieldBlank) {
  createTable("SRC", {{"VALOR", "C", 6, 0, {}}, {"NOME", "C", 3, 0, {}}},
              {{"12.50", "ANA"}, {"7", "BIA"}});
  createTable("DST", {{"NOME", "C", 3, 0, {}}, {"VALOR", "N", 6, 2, {}}});
  open("DST");
  handler.setOtherwise(Answer::Default);
  ASSERT_TRUE(areas.appendFrom("SRC"));
  EXPECT_EQ(recordsOf(areas.current()), (std::vector<std::string>{" ANA      ", " BIA      "}));
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{
                          driverRecord(33, 1020, "Data type error", "", "VALOR", true),
                          driverRecord(33, 1020, "Data type error", "", "VALOR", true)}));
}

TEST_F(BulkTransferTest, ErrorsOfOneRecordAreRaisedInPlanOrder) {
  // B's text has no point, so it goes as a value and overflows when it is
  // put back: the errors still follow the plan's order.
  Structure s = {{"A", "N", 6, 2, {}}, {"B", "N", 6, 2, {}}, {"C", "C", 3, 0, {}}};
  createRawTable("SRC", s, {" 999.99123456abc"});
  createTable("DST", {{"A", "N", 5, 2, {}}, {"C", "N", 3, 0, {}}, {"B", "N", 6, 2, {}}});
  open("DST");
  handler.setOtherwise(Answer::Default);
  ASSERT_TRUE(areas.appendFrom("SRC"));
  EXPECT_EQ(recordsOf(areas.current()), (std::vector<std::string>{" *****   ******"}));
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{
                          driverRecord(34, 1021, "Data width error", "", "A", true),
                          driverRecord(34, 1021, "Data width error", "", "B", true),
                          driverRecord(33, 1020, "Data type error", "", "C", true)}));
}

TEST_F(BulkTransferTest, NoFieldInCommonAppendsNothingAndRaisesNothing) {
  createCopy();
  createTable("OTHER", {{"X", "C", 3, 0, {}}});
  open("OTHER");
  EXPECT_FALSE(areas.appendFrom("CP"));
  EXPECT_EQ(areas.current().recCount(), 0u);
  EXPECT_TRUE(raised().empty());
}

TEST_F(BulkTransferTest, DeletedSourceRecordsArriveDeletedUnlessFilteredOut) {
  Structure s = {{"NOME", "C", 4, 0, {}}, {"EXTRA", "C", 1, 0, {}}};
  createTable("SRC", s, {{"A"}, {"B"}, {"C"}}, {2});
  createTable("DST", {{"NOME", "C", 4, 0, {}}});
  open("DST");
  ASSERT_TRUE(areas.appendFrom("SRC"));
  EXPECT_EQ(recordsOf(areas.current()), (std::vector<std::string>{" A   ", "*B   ", " C   "}));
  env.setDeleted = true;
  ASSERT_TRUE(areas.appendFrom("SRC"));
  ASSERT_EQ(areas.current().recCount(), 5u);
  EXPECT_EQ(recordsOf(areas.current())[3], " A   ");
  EXPECT_EQ(recordsOf(areas.current())[4], " C   ");
}

TEST_F(BulkTransferTest, FieldListChoosesTheFieldsCarried) {
  createCopy();
  createTable("DST", valorOf(10));
  open("DST");
  ASSERT_TRUE(areas.appendFrom("CP", {"FIELD->valor"}));
  EXPECT_EQ(fieldBytes(areas.current(), 1), (std::vector<std::string>(3, std::string(10, ' '))));
  EXPECT_EQ(fieldBytes(areas.current(), 2),
            (std::vector<std::string>{"      1.50", "  12345.67", "     -0.25"}));
}

TEST_F(BulkTransferTest, ScopeSelectsSourceRecordsAsEvalDoes) {
  createTable("SRC", {{"N", "N", 3, 0, {}}},
              {{Number::ofInteger(1)}, {Number::ofInteger(2)}, {Number::ofInteger(3)},
               {Number::ofInteger(4)}, {Number::ofInteger(5)}});
  struct Case {
    const char* what;
    std::function<Scope(WorkAreaList&)> scope;
    std::vector<std::string> expected;
  };
  // Conditions are evaluated with the source area current.
  auto value = [](WorkAreaList& a) { return a.current().getField(1).number().asDouble(); };
  const Case cases[] = {
      {"everything", [](WorkAreaList&) { return Scope{}; }, {"  1", "  2", "  3", "  4", "  5"}},
      {"for-condition",
       [&](WorkAreaList& a) { return Scope{[&a, value] { return value(a) > 3; }, {}, {}, {}, false}; },
       {"  4", "  5"}},
      {"while-condition from the top of a source opened anew",
       [&](WorkAreaList& a) { return Scope{{}, [&a, value] { return value(a) < 3; }, {}, {}, false}; },
       {"  1", "  2"}},
      {"next count", [](WorkAreaList&) { return Scope{{}, {}, 2, {}, false}; }, {"  1", "  2"}},
      {"one record", [](WorkAreaList&) { return Scope{{}, {}, {}, 4, false}; }, {"  4"}},
      {"a record past the end", [](WorkAreaList&) { return Scope{{}, {}, {}, 9, false}; }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    createTable("DST", {{"N", "N", 3, 0, {}}});
    WorkArea& dst = open("DST");
    areas.appendFrom("SRC", {}, c.scope(areas));
    std::vector<std::string> got;
    for (const std::string& r : recordsOf(dst)) got.push_back(r.substr(1));
    EXPECT_EQ(got, c.expected);
    areas.closeArea();
  }
}

TEST_F(BulkTransferTest, MemoTextsAreCarriedIntoTheDestinationsMemoFile) {
  const std::string longText(700, 'x');
  Structure s = {{"NOME", "C", 4, 0, {}}, {"OBS", "M", 10, 0, {}}};
  createTable("SRC", s, {{"A", FieldValue("primeiro")}, {"B"}, {"C", FieldValue(longText)}}, {2});
  // Other positions, and a memo field the source does not have.
  createTable("DST", {{"OUTRO", "M", 10, 0, {}}, {"OBS", "M", 10, 0, {}}, {"NOME", "C", 4, 0, {}}});
  open("DST");
  ASSERT_TRUE(areas.appendFrom("SRC"));
  WorkArea& dst = areas.current();
  std::vector<Row> rows = rowsOf(dst);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (Row{FieldValue(""), FieldValue("primeiro"), FieldValue("A   ")}));
  EXPECT_EQ(rows[1], (Row{FieldValue(""), FieldValue(""), FieldValue("B   ")}));
  EXPECT_EQ(rows[2], (Row{FieldValue(""), FieldValue(longText), FieldValue("C   ")}));
  EXPECT_EQ(deletedFlags(dst), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(fieldBytes(dst, 1), (std::vector<std::string>(3, std::string(10, ' '))));
  EXPECT_EQ(fieldBytes(dst, 2), (std::vector<std::string>{"         1", "          ", "         2"}));
  areas.closeArea();
  // 512-byte header, one block for "primeiro", two for the long text.
  EXPECT_EQ(bytesOf("DST.dbt").size(), 2 * 512 + 700 + 2);
}

TEST_F(BulkTransferTest, MatchingStructureWithMemoCopiesTextsNotBlockNumbers) {
  Structure s = {{"OBS", "M", 10, 0, {}}};
  createTable("SRC", s, {{FieldValue(std::string(600, 'a'))}, {FieldValue("b")}});
  createTable("DST", s, {{FieldValue("ocupa o bloco 1")}});
  open("DST");
  ASSERT_TRUE(areas.appendFrom("SRC"));
  EXPECT_EQ(rowsOf(areas.current()),
            (std::vector<Row>{{FieldValue("ocupa o bloco 1")},
                              {FieldValue(std::string(600, 'a'))},
                              {FieldValue("b")}}));
}

TEST_F(BulkTransferTest, SourceIsOpenedSharedAndReadOnlyAndLeftAsItWas) {
  createCopy();
  const std::string before = bytesOf("CP.dbf");
  createTable("DST", valorOf(10));
  // Another open of the source, shared, does not keep the transfer out.
  WorkArea& other = open("CP", true, true);
  const int otherArea = other.number();
  WorkArea& dst = open("DST");
  clock.set({2031, 1, 2, 3, 4, 5, 0});
  ASSERT_TRUE(areas.appendFrom("CP"));
  EXPECT_EQ(dst.recCount(), 3u);
  EXPECT_EQ(areas.current().number(), dst.number());
  EXPECT_TRUE(areas.area(otherArea).isUsed());
  areas.closeAll();
  EXPECT_EQ(bytesOf("CP.dbf"), before);
}

TEST_F(BulkTransferTest, SourceHeldExclusivelyElsewhereGivesTheOpenError) {
  createCopy();
  createTable("DST", valorOf(10));
  open("CP");
  WorkArea& dst = open("DST");
  handler.setOtherwise(Answer::Default);
  EXPECT_FALSE(areas.appendFrom("CP"));
  EXPECT_EQ(dst.recCount(), 0u);
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{driverRecord(
                          21, 1001, "Open error", path("CP.dbf"), "", true, true, 32)}));
}

TEST_F(BulkTransferTest, MissingSourceRaisesTheOpenErrorAndAppendsNothing) {
  createTable("DST", valorOf(10));
  WorkArea& dst = open("DST");
  handler.setOtherwise(Answer::Default);
  EXPECT_FALSE(areas.appendFrom("NADA"));
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{driverRecord(
                          21, 1001, "Open error", path("NADA.dbf"), "", true, true, 2)}));
  EXPECT_EQ(dst.recCount(), 0u);
  EXPECT_EQ(areas.currentNumber(), dst.number());
  EXPECT_FALSE(areas.area(dst.number() + 1).isUsed());

  // Abandoned: the error reaches the caller and the current area is kept.
  handler.setOtherwise(Answer::Abandon);
  EXPECT_THROW(areas.appendFrom("NADA"), errors::ErrorAbandoned);
  EXPECT_EQ(areas.currentNumber(), dst.number());
}

TEST_F(BulkTransferTest, UnknownDriverAndEmptyAreaAreRefused) {
  createCopy();
  EXPECT_THROW(areas.appendFrom("CP"), errors::ErrorAbandoned);  // no table in area 1
  createTable("DST", valorOf(10));
  open("DST");
  EXPECT_THROW(areas.appendFrom("CP", {}, {}, "DBFCDX"), errors::ErrorAbandoned);
  EXPECT_EQ(raised(), (std::vector<errors::ErrorRecord>{
                          driverRecord(35, 2001, "Workarea not in use"),
                          driverRecord(1, 1005, "Argument error", "", "DBFCDX")}));
  EXPECT_EQ(areas.current().recCount(), 0u);
}

TEST_F(BulkTransferTest, TableSharedAppendsItsOwnRecordsOnce) {
  createCopy();
  WorkArea& cp = open("CP", true);
  ASSERT_TRUE(areas.appendFrom("CP"));
  EXPECT_EQ(cp.recCount(), 6u);
  std::vector<std::string> names = fieldBytes(cp, 1);
  EXPECT_EQ(names, (std::vector<std::string>{"ANA       ", "BETO      ", "CAIO      ", "ANA       ",
                                             "BETO      ", "CAIO      "}));
}

TEST_F(BulkTransferTest, TableOpenedExclusivelyCannotBeItsOwnSource) {
  createCopy();
  WorkArea& cp = open("CP");
  handler.setOtherwise(Answer::Default);
  EXPECT_FALSE(areas.appendFrom("CP"));
  EXPECT_EQ(cp.recCount(), 3u);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].genCode, 21);
  EXPECT_EQ(raised()[0].osCode, 32);
}

TEST_F(BulkTransferTest, CopyToWritesTheListedFieldsInListOrder) {
  createCopy();
  WorkArea& cp = open("CP");
  cp.goTo(2);
  cp.deleteRecord();
  cp.goTo(3);
  ASSERT_TRUE(areas.copyTo("OUT", {"valor", "NOME"}));
  EXPECT_EQ(areas.current().number(), cp.number());
  EXPECT_FALSE(areas.area(cp.number() + 1).isUsed());
  WorkArea& out = open("OUT");
  EXPECT_EQ(out.structure(), (std::vector<StructureRow>{{"VALOR", 'N', 10, 2, 0},
                                                        {"NOME", 'C', 10, 0, 0}}));
  EXPECT_EQ(recordsOf(out), (std::vector<std::string>{" " + std::string("      1.50") + "ANA       ",
                                                      "*" + std::string("  12345.67") + "BETO      ",
                                                      " " + std::string("     -0.25") + "CAIO      "}));
}

TEST_F(BulkTransferTest, CopyToReplacesAFileAndCarriesMemosAndBytes) {
  Structure s = {{"NOME", "C", 4, 0, {}}, {"VALOR", "N", 6, 2, {}}, {"OBS", "M", 10, 0, {}}};
  createTable("SRC", s, {{"A", num(1, 6, 2), FieldValue("um")}, {"B", num(2, 6, 2), FieldValue("")}});
  testing::writeFileBytes(path("OUT.dbf"), "something else entirely");
  open("SRC");
  ASSERT_TRUE(areas.copyTo("OUT"));
  WorkArea& out = open("OUT");
  EXPECT_EQ(out.structure().size(), 3u);
  EXPECT_EQ(rowsOf(out), (std::vector<Row>{{FieldValue("A   "), num(1, 3, 2), FieldValue("um")},
                                           {FieldValue("B   "), num(2, 3, 2), FieldValue("")}}));
}

TEST_F(BulkTransferTest, CopyToWithoutAnyListedFieldCreatesNothing) {
  createCopy();
  open("CP");
  EXPECT_FALSE(areas.copyTo("OUT", {"NADA"}));
  EXPECT_FALSE(fs->exists(path("OUT.dbf")));
}

}  // namespace
}  // namespace converte::storage
