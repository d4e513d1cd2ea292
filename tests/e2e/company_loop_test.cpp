// Whole runs of MAIN over small company directories: the run log compared
// byte for byte, the message boxes, the reindex request and what is left
// in the company directories.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/child_process.h"
#include "tests/e2e/driver_run.h"
#include "ui/company_range_form.h"

namespace converte::testing {
namespace {

using Lines = std::vector<std::string>;

class CompanyLoopTest : public DriverRun {};

TEST_F(CompanyLoopTest, WithoutSettingsFileTheBaseIsGarvAndNoCompanyIsFound) {
  EXPECT_TRUE(runMain("1", "2"));
  EXPECT_EQ(run.XDIR, "\\GARV" + std::string(15, ' '));
  EXPECT_EQ(run.M_PAT, "\\GARV/FIRMA2");
  EXPECT_EQ(logBytes(), logOf(concat({{kRunStart}, reindexLines("  1", "  2"), summaryLines()})));
  ASSERT_EQ(automation.calls.size(), 1u);
  EXPECT_EQ(automation.calls[0].progId, "GARVIN");
  EXPECT_EQ(automation.calls[0].method, "BVMAIN");
  EXPECT_EQ(automation.calls[0].arguments,
            (Lines{"BV", "tolvanic582", "1", "846", "QTZ58", "  1", "  2", "", ""}));
  EXPECT_TRUE(ui.messageBoxes.empty());
  EXPECT_TRUE(errorLogs().empty());
  // The viewer showed the log, and its table is gone again.
  ASSERT_EQ(ui.logViewerRows.size(), 1u);
  EXPECT_FALSE(exists(work.file("xTmpRel.dbf")));
}

TEST_F(CompanyLoopTest, SettingsValueEndingInASeparatorEndsTheProgramAtOnce) {
  for (std::string value : {"/dados/garv/", "C:\\GARV\\"}) {
    SCOPED_TRACE(value);
    ui.messageBoxes.clear();
    writeSettings("DIRETORIO=" + value + "\r\n");
    EXPECT_FALSE(runMain("1", "1"));
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].title, "Atenção");
    EXPECT_EQ(ui.messageBoxes[0].text, "Diretorio invalido no GARVIN.INI\r" + value);
    EXPECT_FALSE(exists(work.file("converte.txt")));
    EXPECT_TRUE(ui.progress->opened.empty());
  }
}

TEST_F(CompanyLoopTest, OneArgumentIsInvalidAndTheRunTakesCompanyOne) {
  writeBase();
  makeNewerCompany(1);
  makeNewerCompany(7);
  EXPECT_TRUE(runMain("7"));
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(ui.messageBoxes[0].title, "");
  EXPECT_EQ(ui.messageBoxes[0].text, "Parametros invalidos");
  EXPECT_EQ(run.VEMPINI, 1);
  EXPECT_EQ(run.VEMPFIM, 1);
  EXPECT_EQ(automation.calls.at(0).arguments.at(6), "  1");
  EXPECT_TRUE(ui.companyRangeDialogs.empty());
}

TEST_F(CompanyLoopTest, BlankArgumentIsInvalidToo) {
  EXPECT_TRUE(runMain("3", "  "));
  EXPECT_EQ(ui.boxTexts(), Lines{"Parametros invalidos"});
  EXPECT_EQ(logBytes(), logOf(concat({{kRunStart}, reindexLines("  1", "  1"), summaryLines()})));
}

TEST_F(CompanyLoopTest, MissingAndEmptyCompanyDirectoriesAreSkippedSilently) {
  writeBase();
  makeCompany(2);  // empty
  std::filesystem::create_directories(company(3) + "/SUB");  // only a subdirectory
  EXPECT_TRUE(runMain("1", "5"));
  EXPECT_EQ(logBytes(), logOf(concat({{kRunStart}, reindexLines("  1", "  5"), summaryLines()})));
  // The message pump runs on the third and fifth passes.
  EXPECT_EQ(ui.pumps, 2);
  EXPECT_EQ(run.M_PAT, company(5));
  EXPECT_EQ(env.defaultDir, company(5));
  EXPECT_EQ(env.searchPath, Lines{company(5)});
}

TEST_F(CompanyLoopTest, LeftoverCopiesStopTheLoopAndAreKept) {
  writeBase();
  makeNewerCompany(1);
  makeCompany(3, {"CPDADOS.DBF", "CPDADOS.DBT", "cpitem.dbf", "DADOS.DBF"});
  makeCompany(4, {"XPTO.DBF", "A.NTX"});
  EXPECT_TRUE(runMain("1", "5"));
  Lines company1 = scriptStart(1);
  company1.insert(company1.end(), {"A empresa ja foi convertida pelo converte 196",
                                   "Você tem que utilizar um converte mais novo que a versão:196"});
  EXPECT_EQ(logBytes(),
            logOf(concat({{kRunStart}, company1,
                          {"Ha arquivos de copia da Conversão Anterior",
                           "Provavelmente o converte anterior deu erro",
                           "Os Arquivos abaixo tem que ser convertidos MANUALMENTE", "CPDADOS.DBF",
                           "cpitem.dbf"},
                          reindexLines("  1", "  5"), summaryLines()})));
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(ui.messageBoxes[0].title, "ATENÇÃO ERRO NA CONVERSÃO");
  EXPECT_EQ(ui.messageBoxes[0].text,
            "Ha arquivos de copia da Conversão Anterior\rProvavelmente o converte anterior deu erro\r"
            "Os arquivos CP*.dbf não podem ser apagados\rTem que converter manulamente\r");
  EXPECT_TRUE(exists(company(3) + "/CPDADOS.DBF"));
  EXPECT_TRUE(exists(company(3) + "/CPDADOS.DBT"));
  // Company 4 was not touched.
  EXPECT_TRUE(exists(company(4) + "/XPTO.DBF"));
  EXPECT_TRUE(exists(company(4) + "/A.NTX"));
}

TEST_F(CompanyLoopTest, LeftoversOfEarlierRunsAndIndexFilesAreDeletedAndXFilesAfterTheScript) {
  writeBase();
  makeNewerCompany(1);
  makeCompany(1, {"LFTMP01.DBF", "lftmp02.txt", "FOTMP1.DBF", "DADOS.NTX", "ITEM.cdx", "XPTO.DBF",
                  "xtrab.tmp", "SINDICAT.TXT", "FOTMP1.TXT"});
  EXPECT_TRUE(runMain("1", "1"));
  auto left = fs->list(company(1), "*");
  ASSERT_TRUE(left);
  EXPECT_EQ(*left, (Lines{"DADOS.dbf", "FOTMP1.TXT", "SINDICAT.TXT"}));
}

TEST_F(CompanyLoopTest, AnIndexFileHeldByAnotherProcessEndsTheProgramWithoutSummary) {
  writeBase();
  makeNewerCompany(1);
  makeCompany(1, {"DADOS.NTX", "OUTRO.NTX"});
  makeNewerCompany(2);
  auto holder = platform::startChildProcess(CONVERTE_FILE_HOLDER, {company(1) + "/DADOS.NTX"});
  ASSERT_TRUE(holder);
  auto said = (*holder)->readLine();
  ASSERT_TRUE(said);
  ASSERT_EQ(*said, "held");

  EXPECT_TRUE(runMain("1", "2"));
  EXPECT_EQ(logBytes(),
            logOf({kRunStart, "Deve haver algum usuário acessando o sistema ainda."}));
  EXPECT_TRUE(exists(company(1) + "/DADOS.NTX"));
  EXPECT_FALSE(exists(company(1) + "/OUTRO.NTX"));
  EXPECT_TRUE(automation.calls.empty());
  EXPECT_TRUE(ui.logViewers.empty());
  ASSERT_TRUE((*holder)->wait());
}

TEST_F(CompanyLoopTest, ACompanyWithoutDadosAndSindicatStopsTheLoop) {
  writeBase();
  makeCompany(1, {"OUTRA.DBF", "XA.DBF"});
  makeNewerCompany(2);
  makeCompany(2, {"XB.DBF"});
  EXPECT_TRUE(runMain("1", "2"));
  EXPECT_EQ(logBytes(),
            logOf(concat({{kRunStart}, scriptStart(1), reindexLines("  1", "  2"), summaryLines()})));
  // No x*.* deletion after a false result, and company 2 was not reached.
  EXPECT_TRUE(exists(company(1) + "/XA.DBF"));
  EXPECT_TRUE(exists(company(2) + "/XB.DBF"));
}

TEST_F(CompanyLoopTest, ReindexNotChosenMakesNoRequest) {
  ui.onCompanyRange = [](const ui::CompanyRangeDialogSpec&, ui::CompanyRangeForm& form) {
    form.setText(ui::RangeControl::Reindexa, "n");
    EXPECT_TRUE(form.moveFocus(ui::RangeControl::EmpresaFinal));
    form.setText(ui::RangeControl::EmpresaFinal, "3");
    return form.click(ui::RangeControl::Confirma);
  };
  EXPECT_TRUE(runMain());
  ASSERT_EQ(ui.companyRangeDialogs.size(), 1u);
  EXPECT_EQ(ui.companyRangeDialogs[0].title, "GARVIN Converte Versão:195");
  EXPECT_EQ(run.VREINDEIXA, "N");
  EXPECT_EQ(run.VEMPFIM, 3);
  EXPECT_TRUE(automation.calls.empty());
  EXPECT_EQ(logBytes(), logOf(concat({{kRunStart}, summaryLines()})));
}

TEST_F(CompanyLoopTest, CancelledDialogEndsWithoutRunLog) {
  ui.companyRangeAnswer = false;
  EXPECT_FALSE(runMain());
  EXPECT_EQ(ui.companyRangeDialogs.size(), 1u);
  EXPECT_FALSE(exists(work.file("converte.txt")));
  EXPECT_TRUE(automation.calls.empty());
}

TEST_F(CompanyLoopTest, AFailedReindexRequestIsReportedAndTheRunEndsNormally) {
  automation.callFailure =
      platform::AutomationError{platform::AutomationFailure::CallFailed, "garvin-automation", 0, 3};
  EXPECT_TRUE(runMain("3", "12"));
  EXPECT_EQ(logBytes(),
            logOf(concat({{kRunStart}, reindexLines("  3", " 12", false), summaryLines()})));
  ASSERT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_EQ(errorLogs(), Lines{"LOGSITUACAO__120924_143005.log"});
  std::string report = readFileBytes(work.file("LOGSITUACAO__120924_143005.log"));
  EXPECT_NE(report.find("AUTOMATION/3  Automation call failed with exit status 3"), std::string::npos)
      << report;
  EXPECT_EQ(run.VERROS, 0);
}

TEST_F(CompanyLoopTest, ServerNotFoundIsReportedSayingSo) {
  automation.createFailure = platform::AutomationError{platform::AutomationFailure::NotFound,
                                                       "garvin-automation", 2, 0};
  EXPECT_TRUE(runMain("1", "1"));
  EXPECT_EQ(logBytes(),
            logOf(concat({{kRunStart}, reindexLines("  1", "  1", false), summaryLines()})));
  std::string report = readFileBytes(work.file("LOGSITUACAO__120924_143005.log"));
  EXPECT_NE(report.find("AUTOMATION/1  Automation server not found: garvin-automation"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find(platform::toWindows1252("(Situação:DOS Error 2)")), std::string::npos);
}

TEST_F(CompanyLoopTest, TheProgressWindowOpensBeforeTheRunAndStaysOpen) {
  EXPECT_TRUE(runMain("1", "1"));
  ASSERT_EQ(ui.progress->opened.size(), 1u);
  EXPECT_EQ(ui.progress->opened[0].title, "Aguarde em processamento..");
  EXPECT_EQ(ui.progress->opened[0].height, 400);
  EXPECT_EQ(ui.progress->closed, 0);
  EXPECT_EQ(run.M_AMB_GRAF, "1");
  // Every logged line went to the progress line, counted.
  EXPECT_EQ(ui.progress->all(ui::ProgressLine::Progress).front(),
            "001/750  :************** Inicio da Conversão ****************");
}

TEST_F(CompanyLoopTest, AProgressWindowThatCannotOpenIsReportedAndTheRunGoesOn) {
  ui.failProgressWindow = true;
  EXPECT_TRUE(runMain("1", "1"));
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_EQ(logBytes(), logOf(concat({{kRunStart}, reindexLines("  1", "  1"), summaryLines()})));
}

TEST_F(CompanyLoopTest, ARunLogThatCannotBeCreatedIsReportedAndEndsTheRun) {
  std::filesystem::create_directories(work.file("converte.txt"));
  EXPECT_FALSE(runMain("1", "1"));
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_EQ(errorLogs().size(), 1u);
  EXPECT_TRUE(automation.calls.empty());
  EXPECT_TRUE(ui.logViewers.empty());
}

struct NumbersCase {
  const char* first;
  const char* last;
  std::string shownFirst;
  std::string shownLast;
  std::string trimmedFirst;
};

TEST_F(CompanyLoopTest, BadCompanyNumbersNeverCrash) {
  const NumbersCase cases[] = {
      {"abc", "xyz", "  0", "  0", "0"},
      {"-5", "-3", " -5", " -3", "-5"},
      {"  4x", "12.9", "  4", " 12", "4"},
      {"1000", "1001", "***", "***", "***"},
      {"2147483647", "99999999999", "***", "***", "***"},
      {"5", "3", "  5", "  3", "5"},
  };
  for (const NumbersCase& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " " + c.last);
    automation.calls.clear();
    EXPECT_TRUE(runMain(c.first, c.last));
    EXPECT_EQ(logBytes(), logOf(concat({{kRunStart}, reindexLines(c.shownFirst, c.shownLast),
                                        summaryLines()})));
    ASSERT_EQ(automation.calls.size(), 1u);
    const Lines& arguments = automation.calls[0].arguments;
    EXPECT_EQ(arguments[2], c.trimmedFirst);
    EXPECT_EQ(arguments[5], c.shownFirst);
    EXPECT_EQ(arguments[6], c.shownLast);
  }
}

TEST_F(CompanyLoopTest, TheWidestRangeVisitsOnlyTheCompaniesThatExist) {
  writeBase();
  makeNewerCompany(3);
  makeNewerCompany(1000);
  makeCompany(7);  // empty
  std::filesystem::create_directories(work.path() + "/GARV/FIRMA05");  // not a company name
  EXPECT_TRUE(runMain("1", "2147483647"));
  const std::string log = logBytes();
  auto visits = [&](int n) {
    const std::string line = "\r\n+  Firma:" + company(n) + "\r\n";
    int count = 0;
    for (auto at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
    return count;
  };
  EXPECT_EQ(visits(3), 1);
  EXPECT_EQ(visits(1000), 1);
  EXPECT_EQ(log.find("+  Firma:" + company(5) + "\r\n"), std::string::npos);
  EXPECT_EQ(run.M_PAT, company(2147483647));
  // Passes 3 and 7 (companies 3 and 7), and one pump for each stretch of
  // missing companies: 4 to 6, 8 to 999 and 1001 onwards.
  EXPECT_EQ(ui.pumps, 5);
}

TEST_F(CompanyLoopTest, BadSettingsFilesNeverCrash) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 256);
  const std::pair<std::string, std::string> cases[] = {
      {"", "\\GARV"},
      {binary, "\\GARV"},
      {std::string(3'000'000, 'A') + "\r\nDIRETORIO=/dados/garv\r\n", "/dados/garv"},
      {"DIRETORIO = /sem/quebra", "/sem/quebra"},
      {"; DIRETORIO antigo\r\nDIRETORIO = D:\\DADOS\r\n", "D:\\DADOS"},
      {"DIRETORIO=   \r\n", "\\GARV"},
  };
  for (const auto& [bytes, directory] : cases) {
    SCOPED_TRACE(directory);
    writeSettings(bytes);
    EXPECT_TRUE(runMain("1", "1"));
    EXPECT_EQ(run.XDIR, directory + std::string(15, ' '));
  }
}

}  // namespace
}  // namespace converte::testing
