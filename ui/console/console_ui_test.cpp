// The console backend over injected streams: what each window writes, with
// and without a terminal, and the range dialog driving the form.

#include "ui/console/console_ui.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ui/company_range_form.h"
#include "ui/console/status_line.h"
#include "ui/windows.h"

namespace converte::ui {
namespace {

struct Terminals {
  bool in = false;
  bool out = false;
  bool err = false;
};

class ConsoleTest : public ::testing::Test {
 protected:
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  int pauses = 0;

  ConsoleUi make(Terminals t, std::string input = "") {
    in.str(std::move(input));
    return ConsoleUi(ConsoleIo{.in = in,
                               .out = out,
                               .err = err,
                               .inIsTerminal = t.in,
                               .outIsTerminal = t.out,
                               .errIsTerminal = t.err,
                               .pause = [this] { ++pauses; },
                               .pageRows = 2,
                               .lineWidth = 30});
  }
};

class Rows : public GridSource {
 public:
  explicit Rows(std::vector<std::string> rows) : rows_(std::move(rows)) {}
  std::size_t rowCount() override { return rows_.size(); }
  std::string row(std::size_t index) override {
    ++reads;
    return rows_.at(index);
  }
  int reads = 0;

 private:
  std::vector<std::string> rows_;
};

CompanyRangeValues rangeValues() {
  CompanyRangeValues v;
  v.XDIR = "\\GARV" + std::string(15, ' ');
  return v;
}

TEST_F(ConsoleTest, MessageBoxPrintsTitleAndLinesAndReturns) {
  ConsoleUi ui = make({});
  ui.messageBox("ATENÇÃO ERRO NA CONVERSÃO", "Linha um\rLinha dois\r");
  ui.messageBox("", "Parametros invalidos");
  EXPECT_EQ(err.str(), "ATENÇÃO ERRO NA CONVERSÃO\nLinha um\nLinha dois\nParametros invalidos\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(ui.name(), "console");
}

TEST_F(ConsoleTest, ProgressIsOneRedrawnLineOnATerminal) {
  ConsoleUi ui = make({.err = true});
  auto window = ui.openProgressWindow(progressWindowSpec(Resources{}));
  window->setLine(ProgressLine::Company, "Diretorio:/g/FIRMA1");
  window->setLine(ProgressLine::Progress, "001/750  :linha");
  window->setLine(ProgressLine::Banner, "GARVIN Converte Versão:195");
  window->setTitle("Checando tabelas");
  EXPECT_EQ(err.str(),
            "\rDiretorio:/g/FIRMA1\x1b[K"
            "\rDiretorio:/g/FIRMA1  001/750  \x1b[K");  // cut at 30 characters
  ui.messageBox("", "aviso");
  window->setLine(ProgressLine::Progress, "002");
  window->close();
  window->setLine(ProgressLine::Progress, "depois");
  EXPECT_EQ(err.str().substr(err.str().find("\n")), "\naviso\n\rDiretorio:/g/FIRMA1  002\x1b[K\n");
}

TEST_F(ConsoleTest, ProgressShowsNothingWithoutATerminal) {
  ConsoleUi ui = make({});
  auto window = ui.openProgressWindow(progressWindowSpec(Resources{}));
  window->setLine(ProgressLine::Progress, "001/750  :linha");
  window->close();
  EXPECT_EQ(err.str(), "");
}

TEST(ConsoleStatusLine, FitCountsCharactersNotBytesAndFlattensBreaks) {
  EXPECT_EQ(fitToLine("Conversão\r\nfim", 11), "Conversão  ");
  EXPECT_EQ(fitToLine("ééé", 2), "éé");
  EXPECT_EQ(fitToLine("a\tb", 10), "a b");
}

TEST_F(ConsoleTest, RangeDialogWithoutATerminalIsCancelledWithAHint) {
  ConsoleUi ui = make({}, "S\n");
  CompanyRangeForm form(rangeValues());
  EXPECT_FALSE(ui.runCompanyRangeDialog(companyRangeDialogSpec(Resources{}, "banner"), form));
  EXPECT_NE(err.str().find("converte <inicial> <final>"), std::string::npos);
  EXPECT_EQ(form.outcome(), RangeOutcome::Open);
}

TEST_F(ConsoleTest, RangeDialogAsksUntilTheChecksHoldAndConfirms) {
  // x is refused by the check, then N; directory kept; 5 to 2 refused, 9.
  ConsoleUi ui = make({.in = true}, "x\nn\n\n5\n2\n9\ns\nC\n");
  CompanyRangeForm form(rangeValues());
  EXPECT_TRUE(ui.runCompanyRangeDialog(companyRangeDialogSpec(Resources{}, "GARVIN Converte Versão:195"),
                                       form));
  EXPECT_EQ(form.values().VREINDEIXA, "N");
  EXPECT_EQ(form.values().XDIR, "\\GARV" + std::string(15, ' '));
  EXPECT_EQ(form.values().VEMPINI, 5);
  EXPECT_EQ(form.values().VEMPFIM, 9);
  EXPECT_EQ(form.values().VCHECABD, "S");
  const std::string shown = err.str();
  EXPECT_EQ(shown.rfind("GARVIN Converte Versão:195\nReindexa: [S] Informe S ou N.\nReindexa: [X] ", 0), 0u)
      << shown;
  EXPECT_NE(shown.find("Empresa Final: [1] A empresa final não pode ser menor que a inicial."),
            std::string::npos);
}

TEST_F(ConsoleTest, RangeDialogEndsAsCancelledOnSairOrEndOfInput) {
  const char* inputs[] = {"\n\n\n\n\nS\n", "\n\n"};
  for (const char* input : inputs) {
    SCOPED_TRACE(input);
    ConsoleUi ui = make({.in = true}, input);
    CompanyRangeForm form(rangeValues());
    EXPECT_FALSE(ui.runCompanyRangeDialog(companyRangeDialogSpec(Resources{}, "t"), form));
    EXPECT_EQ(form.outcome(), RangeOutcome::Cancelled);
  }
}

TEST_F(ConsoleTest, LogViewerPagesRowsAndRunsThePrintAction) {
  ConsoleUi ui = make({.in = true, .out = true}, "i\n\n");
  Rows rows({"linha 1   ", "linha 2", "linha 3"});
  int prints = 0;
  ui.showLogViewer(logViewerSpec(Resources{}), rows, [&] { ++prints; });
  EXPECT_EQ(prints, 1);
  EXPECT_EQ(out.str(),
            "Visualização do Relatório\nlinha 1\nlinha 2\n"
            "-- Enter: mais, I: imprime, V: volta ---- Enter: mais, I: imprime, V: volta --"
            "linha 3\n-- Fim. Enter ou V: volta, I: imprime --\n");
}

TEST_F(ConsoleTest, LogViewerGoesBackOnVOrEndOfInputAndIsSilentWithoutATerminal) {
  {
    ConsoleUi ui = make({.in = true, .out = true}, "v\n");
    Rows rows({"a", "b", "c", "d", "e"});
    ui.showLogViewer(logViewerSpec(Resources{}), rows, nullptr);
    EXPECT_EQ(rows.reads, 2);
  }
  {
    ConsoleUi ui = make({.in = true, .out = true}, "");
    Rows rows({"a", "b", "c"});
    ui.showLogViewer(logViewerSpec(Resources{}), rows, nullptr);
    EXPECT_EQ(rows.reads, 2);
  }
  out.str("");
  ConsoleUi ui = make({.in = true, .out = false}, "\n");
  Rows rows({"a"});
  ui.showLogViewer(logViewerSpec(Resources{}), rows, nullptr);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(rows.reads, 0);
}

TEST_F(ConsoleTest, ErrorDialogPrintsItsTextsAndTheReportThroughTheLogAction) {
  ConsoleUi ui = make({});
  const std::string title = "LOGSITUACAO__120924_143005.log";
  ui.showErrorDialog(errorDialogSpec(Resources{}, title), [&] {
    ui.showTextViewer(textViewerSpec(Resources{}, title, "Situação: X/1\r\n\r\nTime:14:30:05"));
  });
  EXPECT_EQ(err.str(),
            "Foi encontrado uma Situação Atípica no Sistema\nTente novamente.\n"
            "Ou entre em contado com o Suporte.\n" +
                title + "\nSituação: X/1\n\nTime:14:30:05\n");
}

TEST_F(ConsoleTest, PumpOncePauses) {
  ConsoleUi ui = make({});
  ui.pumpOnce();
  ui.pumpOnce();
  EXPECT_EQ(pauses, 2);
}

}  // namespace
}  // namespace converte::ui
