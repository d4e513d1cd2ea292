// The fiscal-book fix-ups: the entry book's ICMS rates by rate code, and
// the assessment months widened and given the company's year.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/fixups.h"
#include "catalogue/script_plan.h"
#include "catalogue/testing/company_fixture.h"
#include "errors/error_handler.h"

namespace converte::catalogue {
namespace {

using testing::CompanyFixture;
using testing::date;
using testing::noDate;
using testing::specText;
using testing::text;
using storage::FieldValue;
using Values = std::vector<FieldValue>;

FieldValue rate(double value) { return FieldValue(storage::Number::ofReal(value, 6, 2)); }

class FiscalFixUps : public ::testing::Test, public CompanyFixture {
 protected:
  FiscalFixUps() { env.setDeleted = true; }

  // The entry book with one record per code, each holding the rate 1.
  void makeEntryBook(const std::vector<const char*>& codes, const std::vector<std::uint32_t>& deleted = {},
                     int codeWidth = 1) {
    std::vector<testing::Row> rows;
    for (const char* code : codes) rows.push_back({text(code), rate(1)});
    createTable("LFENTRA", {{"CDESTI_ENT", "C", codeWidth, 0, {}}, {"TRIBS1_ENT", "N", 6, 2, {}}},
                rows, deleted);
  }
  std::vector<double> rates() {
    std::vector<double> values;
    for (const FieldValue& value : column("LFENTRA", "TRIBS1_ENT")) {
      values.push_back(value.isNumber() ? value.number().asDouble() : -1);
    }
    return values;
  }

  void makeAssessment(const std::vector<const char*>& months, FieldValue initialPeriod,
                      const std::vector<std::uint32_t>& deleted = {}) {
    createTable("DADOS", {{"EMPRESA", "C", 10, 0, {}}, {"PERINICIAL", "D", 8, 0, {}}},
                {{text("EMPRESA"), initialPeriod}});
    std::vector<testing::Row> rows;
    for (const char* month : months) rows.push_back({text(month), text("X")});
    createTable("LFAPICM", {{"MES_ICM", "C", 2, 0, {}}, {"OUTRO", "C", 1, 0, {}}}, rows, deleted);
  }
  // The script's own row of the fix-up, with its gate and closing.
  void runScriptRow(std::string_view name, int recordedVersion) {
    run.XVERSAOATUAL = recordedVersion;
    for (const ScriptRow& row : scriptPlan()) {
      if (row.kind == RowKind::Action && row.text == name) {
        runScriptPlan(run, std::span<const ScriptRow>(&row, 1));
        return;
      }
    }
    ADD_FAILURE() << "no script row " << name;
  }
  // As the script calls it: LFAPICM open in the current work area.
  void runAssessmentMonths() {
    open("LFAPICM");
    EXPECT_TRUE(MGAPICM(run));
  }
};

TEST_F(FiscalFixUps, EntryBookRatesFollowTheRateCode) {
  // A deleted record keeps its rate; codes outside the list, a blank and a
  // lower-case a among them, leave the record unchanged.
  makeEntryBook({"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", " ", "0", "B", "a", "5"}, {15});
  EXPECT_TRUE(MGENTRADA(run));
  EXPECT_EQ(rates(), (std::vector<double>{7, 12, 18, 25, 8.4, 11, 13.6, 30, 8.8, 5.6, 1, 1, 1, 1, 1}));
  EXPECT_EQ(logLines(), (std::vector<std::string>{" Convertendo LFENTRA"}));
  EXPECT_TRUE(testing::usedAreas(areas).empty());
}

TEST_F(FiscalFixUps, EntryBookCodeIsTakenWithItsBlanks) {
  // In a wider field the code is looked up as it stands: "23" is part of
  // the list of codes and has the rate of its first character; "1 ", "A1"
  // and a blank code are not.
  makeEntryBook({"23", "1 ", "A1", "  ", "12"}, {}, 2);
  EXPECT_TRUE(MGENTRADA(run));
  EXPECT_EQ(rates(), (std::vector<double>{12, 1, 1, 1, 7}));
}

TEST_F(FiscalFixUps, EmptyEntryBookIsLoggedAndLeft) {
  makeEntryBook({});
  EXPECT_TRUE(MGENTRADA(run));
  EXPECT_TRUE(rates().empty());
  EXPECT_EQ(logLines(), (std::vector<std::string>{" Convertendo LFENTRA"}));
}

TEST_F(FiscalFixUps, CompanyWithoutEntryBookIsNothingToDo) {
  EXPECT_FALSE(MGENTRADA(run));
  EXPECT_TRUE(logLines().empty());
}

TEST_F(FiscalFixUps, EntryBookWithoutTheRateFieldRaisesARunTimeError) {
  createTable("LFENTRA", {{"CDESTI_ENT", "C", 1, 0, {}}}, {{text("1")}});
  EXPECT_THROW(MGENTRADA(run), errors::ErrorAbandoned);
}

TEST_F(FiscalFixUps, AssessmentMonthsGetTheYearOfTheInitialPeriod) {
  // Every month gets the company's year. The widening copies the table
  // back with records marked deleted hidden, so the deleted one is gone.
  makeAssessment({"3", "03", "12", "  ", " 7", "11"}, date(2009, 5, 1), {6});
  runAssessmentMonths();
  EXPECT_EQ(specText(fieldOf("LFAPICM", "MES_ICM")), "MES_ICM C(7,0)");
  EXPECT_EQ(column("LFAPICM", "MES_ICM"),
            (Values{text("03/2009"), text("03/2009"), text("12/2009"), text("00/2009"),
                    text("07/2009")}));
  EXPECT_EQ(column("LFAPICM", "OUTRO"), (Values(5, text("X"))));
  EXPECT_TRUE(testing::usedAreas(areas).empty());
}

TEST_F(FiscalFixUps, AssessmentMonthsOfAnEmptyInitialPeriodHaveYearZero) {
  makeAssessment({"04"}, noDate());
  runAssessmentMonths();
  EXPECT_EQ(column("LFAPICM", "MES_ICM"), (Values{text("04/0000")}));
}

TEST_F(FiscalFixUps, AssessmentMonthsWithoutACompanyRecordRaiseARunTimeError) {
  createTable("LFAPICM", {{"MES_ICM", "C", 2, 0, {}}}, {{text("01")}});
  open("LFAPICM");
  EXPECT_THROW(MGAPICM(run), errors::ErrorAbandoned);
}

TEST_F(FiscalFixUps, ScriptWidensOnlyATwoCharacterMonthOfACompanyBelowVersion10) {
  struct Case {
    int recordedVersion;
    int monthWidth;
    const char* month;
    const char* expected;
  };
  const Case cases[] = {{0, 2, "03", "03/2009"},
                        {9, 2, "3 ", "03/2009"},
                        {10, 2, "03", "03"},
                        {0, 7, "03     ", "03     "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.recordedVersion) + " " + c.month);
    createTable("DADOS", {{"PERINICIAL", "D", 8, 0, {}}}, {{date(2009, 1, 1)}});
    createTable("LFAPICM", {{"MES_ICM", "C", c.monthWidth, 0, {}}}, {{text(c.month)}});
    runScriptRow("F10", c.recordedVersion);
    EXPECT_EQ(column("LFAPICM", "MES_ICM"), (Values{text(c.expected)}));
    EXPECT_TRUE(testing::usedAreas(areas).empty());
  }
}

TEST_F(FiscalFixUps, ScriptRaisesARunTimeErrorForAnAssessmentWithoutMonth) {
  createTable("LFAPICM", {{"OUTRO", "C", 2, 0, {}}}, {{text("03")}});
  EXPECT_THROW(runScriptRow("F10", 0), errors::ErrorAbandoned);
}

TEST_F(FiscalFixUps, ScriptConvertsTheEntryBookOnlyBelowVersion10) {
  for (int version : {9, 10}) {
    makeEntryBook({"7"});
    runScriptRow("F9", version);
    EXPECT_EQ(rates(), (std::vector<double>{version < 10 ? 13.6 : 1}));
  }
}

}  // namespace
}  // namespace converte::catalogue
