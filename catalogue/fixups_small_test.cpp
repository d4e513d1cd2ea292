// The small fix-ups on company tables as the script finds them after the
// compaction (records marked deleted hidden): what each rewrites, what it
// leaves, and the run-time error of a field a table lacks.

#include "catalogue/fixups_small.h"

#include <gtest/gtest.h>

#include "catalogue/testing/company_fixture.h"
#include "errors/error_handler.h"

namespace converte::catalogue {
namespace {

using testing::CompanyFixture;
using testing::number;
using testing::text;
using storage::FieldValue;
using Values = std::vector<FieldValue>;

class SmallFixUps : public ::testing::Test, public CompanyFixture {
 protected:
  SmallFixUps() { env.setDeleted = true; }

  void makeCompany(const char* settings, long long maskLength, const char* exoneration = "S") {
    createTable("DADOS",
                {{"ARQ_PAR", "C", 1, 0, {}}, {"TAMMASC", "N", 2, 0, {}},
                 {"EXONERACAO", "C", 1, 0, {}}},
                {{text(settings), number(maskLength, 2), text(exoneration)}});
  }
  void makeSections(const std::string& table, std::size_t records) {
    createTable(table, {{"CODIGO", "C", 3, 0, {}}, {"EXONER_SEC", "C", 1, 0, {}}},
                std::vector<testing::Row>(records, testing::Row{text("001"), text("N")}));
  }
};

TEST(ZeroPaddedCode, WritesTheNumericValueInSixDigits) {
  struct Case {
    const char* code;
    const char* padded;
  };
  const Case cases[] = {{"12", "000012"},     {"7     ", "000007"}, {"      ", "000000"},
                        {"", "000000"},       {"A12", "000000"},    {" 12", "000012"},
                        {"000012", "000012"}, {"123456", "123456"}, {"12AB", "000012"},
                        {"0", "000000"}};
  for (const Case& c : cases) {
    EXPECT_EQ(zeroPaddedCode(c.code, 6), c.padded) << '"' << c.code << '"';
  }
}

TEST_F(SmallFixUps, DuplicateCodesAreRewrittenWhenTheFirstVisibleCodeIsShort) {
  // The deleted first record is passed over: the first visible code decides,
  // and the deleted record keeps its code.
  createTable("LFDUPLIC", {{"CODIGO_DUP", "C", 6, 0, {}}},
              {{text("5")}, {text("12")}, {text("7")}, {text("ABC")}, {text("123456")}}, {1});
  fixDuplicateCodes(run);
  EXPECT_EQ(column("LFDUPLIC", "CODIGO_DUP"),
            (Values{text("5     "), text("000012"), text("000007"), text("000000"),
                    text("123456")}));
}

TEST_F(SmallFixUps, DuplicateCodesStayWhenTheFirstCodeHasSixCharacters) {
  createTable("LFDUPLIC", {{"CODIGO_DUP", "C", 6, 0, {}}}, {{text("000001")}, {text("7")}});
  fixDuplicateCodes(run);
  EXPECT_EQ(column("LFDUPLIC", "CODIGO_DUP"), (Values{text("000001"), text("7     ")}));
}

TEST_F(SmallFixUps, DuplicateCodesOfACompanyWithoutTheTableAreNothingToDo) {
  fixDuplicateCodes(run);
  EXPECT_TRUE(handler.records.empty());
  EXPECT_TRUE(files().empty());
}

TEST_F(SmallFixUps, CompanySettingsSetABlankFlagAndTakeTheAccountCodeLength) {
  struct Case {
    const char* settings;
    long long maskLength;
    const char* settingsAfter;
    int accountCodeLength;
  };
  const Case cases[] = {
      {" ", 0, "S", 14}, {"N", 18, "N", 18}, {" ", -1, "S", 14}, {"S", 1, "S", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("ARQ_PAR '") + c.settings + "' TAMMASC " +
                 std::to_string(c.maskLength));
    makeCompany(c.settings, c.maskLength);
    fixCompanySettings(run);
    EXPECT_EQ(run.D_TAMMASC, c.accountCodeLength);
    EXPECT_EQ(column("DADOS", "ARQ_PAR"), Values{text(c.settingsAfter)});
  }
}

TEST_F(SmallFixUps, CompanySettingsOfAPayrollOnlyCompanyGiveAccountCodeLength14) {
  run.D_TAMMASC = 99;
  fixCompanySettings(run);
  EXPECT_EQ(run.D_TAMMASC, 14);
  EXPECT_TRUE(handler.records.empty());
}

TEST_F(SmallFixUps, CompanyRecordWithoutTheMaskLengthRaisesARunTimeError) {
  createTable("DADOS", {{"ARQ_PAR", "C", 1, 0, {}}}, {{text(" ")}});
  EXPECT_THROW(fixCompanySettings(run), errors::ErrorAbandoned);
}

TEST_F(SmallFixUps, ReferentialAccountCodesFillOnlyBlankTargets) {
  createTable("CTCONTAS", {{"COD_SPED", "C", 19, 0, {}}, {"COD_FCONT", "C", 19, 0, {}}},
              {{text("1.1"), text("")}, {text("2.2"), text("9.9")}, {text(""), text("")}});
  fixReferentialAccounts(run);
  auto pad = [](const char* s) {
    return FieldValue((std::string(s) + std::string(19, ' ')).substr(0, 19));
  };
  EXPECT_EQ(column("CTCONTAS", "COD_FCONT"), (Values{pad("1.1"), pad("9.9"), pad("")}));
  EXPECT_EQ(logLines(), std::vector<std::string>{"Convertendo contas referencial FCONT"});
}

TEST_F(SmallFixUps, ReferentialAccountsOfACompanyWithoutTheTableLogNothing) {
  fixReferentialAccounts(run);
  EXPECT_TRUE(logLines().empty());
}

TEST_F(SmallFixUps, IncomeReportFlagIsCopiedOnlyWhenTheFirstIsBlank) {
  const testing::Row blankFirst[] = {{text(" "), text("S")}, {text("X"), text("N")}};
  createTable("EVENTOS", {{"DIRF_EVE", "C", 1, 0, {}}, {"RAIS_EVE", "C", 1, 0, {}}},
              {blankFirst[0], blankFirst[1]});
  fixIncomeReportFlag(run);
  EXPECT_EQ(column("EVENTOS", "DIRF_EVE"), (Values{text("S"), text("N")}));

  createTable("EVENTOS", {{"DIRF_EVE", "C", 1, 0, {}}, {"RAIS_EVE", "C", 1, 0, {}}},
              {{text("N"), text("S")}, {text(" "), text("S")}});
  fixIncomeReportFlag(run);
  EXPECT_EQ(column("EVENTOS", "DIRF_EVE"), (Values{text("N"), text(" ")}));
}

TEST_F(SmallFixUps, ExonerationFlagReachesOnlyTablesOfExactlyOneSection) {
  struct Case {
    const char* flag;
    std::size_t validSections, sections;  // 0 sections: no SECAO table
    const char* validAfter;
    const char* sectionAfter;
  };
  const Case cases[] = {
      {"S", 1, 1, "S", "S"}, {"S", 2, 1, "N", "N"}, {"S", 1, 2, "S", "N"},
      {"N", 1, 1, "N", "N"}, {"S", 1, 0, "S", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.flag) + " " + std::to_string(c.validSections) + " " +
                 std::to_string(c.sections));
    makeCompany("S", 10, c.flag);
    makeSections("SECAOVIG", c.validSections);
    (void)fs->erase(path("SECAO.DBF"));
    if (c.sections != 0) makeSections("SECAO", c.sections);
    fixSectionExoneration(run);
    EXPECT_EQ(column("SECAOVIG", "EXONER_SEC"), Values(c.validSections, text(c.validAfter)));
    if (c.sections != 0) {
      EXPECT_EQ(column("SECAO", "EXONER_SEC")[0], text(c.sectionAfter));
    }
    EXPECT_TRUE(handler.records.empty());
  }
}

}  // namespace
}  // namespace converte::catalogue
