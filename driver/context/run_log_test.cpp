// The run log and the counted progress line: the bytes of converte.txt (a
// line break before every text, Windows-1252 texts, byte 26 at the close,
// an old log replaced) and the counter, alias and text of the progress line.

#include "driver/context/run_log.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/context/progress_window.h"
#include "driver/context/run_context.h"
#include "errors/report/run_error_handler.h"
#include "platform/system.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace converte::driver {
namespace {

using Lines = std::vector<std::string>;

class RunLogTest : public ::testing::Test {
 protected:
  RunLogTest()
      : fs(platform::newSystemFileSystem()),
        handler([this] { areas.netErr(true); }),
        env(*fs, clock, handler),
        areas(env),
        run(RunServices{*fs, clock, ui, env, areas, work.path()}) {
    env.defaultDir = work.path();
  }

  std::string logPath() const { return work.file("converte.txt"); }
  std::string logBytes() const { return testing::readFileBytes(logPath()); }

  // Opens the progress window as start-up does, in the graphic mode.
  void openWindow() {
    run.M_AMB_GRAF = "3";
    ASSERT_TRUE(HW_INIBARRAPROGRESSO(run));
    ASSERT_TRUE(run.M_ODLG_PROG);
  }
  Lines progressLines() const { return ui.progress->all(ui::ProgressLine::Progress); }

  // A table of one field, left open in a new work area under its alias.
  void openTable(const std::string& name) {
    ASSERT_TRUE(areas.createTable(name, {{"CODIGO", "C", 5, 0, {}}}, {}, true));
  }

  testing::TempDir work;
  testing::FixedClock clock;
  testing::RecordingUi ui;
  std::unique_ptr<platform::FileSystem> fs;
  errors::RunErrorHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  RunContext run;
};

TEST_F(RunLogTest, EveryTextFollowsALineBreakAndTheCloseAddsByte26) {
  run.log.open(logPath());
  MGLIGAMSG(run, "primeira");
  MGLIGAMSG(run, "");
  const std::string longText(5000, 'x');
  MGLIGAMSG(run, longText);
  MGLIGAMSG(run, "  com brancos  ");
  run.log.close();
  // An empty line first, no line break after the last text, nothing cut or
  // trimmed, no prefix.
  EXPECT_EQ(logBytes(), "\r\nprimeira\r\n\r\n" + longText + "\r\n  com brancos  \x1A");
  EXPECT_FALSE(run.log.isOpen());
}

TEST_F(RunLogTest, TextsWithAccentsAreWrittenOneByteEachInWindows1252) {
  struct Case {
    std::string text;
    std::string bytes;
  };
  const Case cases[] = {
      {"************** Inicio da Conversão ****************",
       "************** Inicio da Convers\xE3o ****************"},
      {"Deve haver algum usuário acessando o sistema ainda.",
       "Deve haver algum usu\xE1rio acessando o sistema ainda."},
      {" ** Campo: CODIGO_DUP NÃO foi criado     ", " ** Campo: CODIGO_DUP N\xC3O foi criado     "},
      {"??? Atenção a Estrutura", "??? Aten\xE7\xE3o a Estrutura"},
      {"Você tem que utilizar um converte mais novo que a versão:196",
       "Voc\xEA tem que utilizar um converte mais novo que a vers\xE3o:196"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    run.log.open(logPath());
    MGLIGAMSG(run, c.text);
    run.log.close();
    EXPECT_EQ(logBytes(), "\r\n" + c.bytes + "\x1A");
  }
}

TEST_F(RunLogTest, EachLineIsInTheFileAsSoonAsItIsLogged) {
  run.log.open(logPath());
  EXPECT_EQ(logBytes(), "");
  MGLIGAMSG(run, "um");
  EXPECT_EQ(logBytes(), "\r\num");
  MGLIGAMSG(run, "dois");
  EXPECT_EQ(logBytes(), "\r\num\r\ndois");
  run.log.close();
  EXPECT_EQ(logBytes(), "\r\num\r\ndois\x1A");
}

TEST_F(RunLogTest, AnOldLogIsReplacedNotExtended) {
  std::string old;
  for (int i = 0; i < 10000; ++i) old += "\r\nlinha antiga " + std::to_string(i);
  testing::writeFileBytes(logPath(), old + "\x1A");
  run.log.open(logPath());
  EXPECT_EQ(logBytes(), "");
  MGLIGAMSG(run, "nova");
  run.log.close();
  EXPECT_EQ(logBytes(), "\r\nnova\x1A");
}

TEST_F(RunLogTest, ALogIsClosedOnceAndAlsoWhenTheProgramGoesAway) {
  run.log.open(logPath());
  run.log.close();
  run.log.close();
  EXPECT_EQ(logBytes(), "\x1A");
  // An open log that is never closed explicitly gets its byte 26 at exit.
  {
    RunLog log(*fs);
    log.open(logPath());
    log.write("ultima");
  }
  EXPECT_EQ(logBytes(), "\r\nultima\x1A");
  // Writing to a closed log changes nothing.
  run.log.write("perdida");
  EXPECT_EQ(logBytes(), "\r\nultima\x1A");
}

TEST_F(RunLogTest, TheProgressLineCountsAndNamesTheCurrentTable) {
  struct Case {
    const char* what;
    int counterBefore;
    std::string table;  // opened and left current; empty: none
    bool otherAreaSelected;
    std::string expected;
  };
  const Case cases[] = {
      {"first line, no table", 0, "", false, "001/750  :texto"},
      {"first line, DADOS current", 0, "DADOS", false, "001/750 DADOS :texto"},
      {"tenth line", 9, "LFDUPLIC", false, "010/750 LFDUPLIC :texto"},
      {"table open in another area", 41, "DADOS", true, "042/750  :texto"},
      {"999th line", 998, "", false, "999/750  :texto"},
      {"1000th line", 999, "", false, "***/750  :texto"},
      {"far past 999", 12345, "ITEM", false, "***/750 ITEM :texto"},
  };
  openWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    areas.closeAll();
    areas.selectArea(1);
    if (!c.table.empty()) openTable(c.table);
    if (c.otherAreaSelected) areas.selectArea(2);
    run.M_OINDICES = c.counterBefore;
    MGLIGAMSG(run, "texto");
    EXPECT_EQ(ui.progress->last(ui::ProgressLine::Progress), c.expected);
    EXPECT_EQ(run.M_OINDICES, c.counterBefore + 1);
  }
  areas.closeAll();
}

TEST_F(RunLogTest, AThousandLinesEndTheCountAtStars) {
  run.log.open(logPath());
  openWindow();
  for (int i = 1; i <= 1000; ++i) MGLIGAMSG(run, "linha " + std::to_string(i));
  run.log.close();
  const Lines shown = progressLines();
  ASSERT_EQ(shown.size(), 1000u);
  EXPECT_EQ(shown[0], "001/750  :linha 1");
  EXPECT_EQ(shown[98], "099/750  :linha 99");
  EXPECT_EQ(shown[998], "999/750  :linha 999");
  EXPECT_EQ(shown[999], "***/750  :linha 1000");
  // The file has the texts only, without counters.
  const std::string log = logBytes();
  EXPECT_TRUE(log.ends_with("\r\nlinha 999\r\nlinha 1000\x1A"));
  EXPECT_EQ(log.find("/750"), std::string::npos);
}

TEST_F(RunLogTest, OpeningTheWindowRestartsTheCounterAndWithoutAWindowTheLinesAreStillCounted) {
  run.M_OINDICES = 17;
  run.M_AMB_GRAF = "1";  // not graphic: no window
  EXPECT_TRUE(HW_INIBARRAPROGRESSO(run));
  EXPECT_EQ(run.M_OINDICES, 0);
  EXPECT_FALSE(run.M_ODLG_PROG);
  run.log.open(logPath());
  MGLIGAMSG(run, "a");
  MGLIGAMSG(run, "b");
  EXPECT_EQ(run.M_OINDICES, 2);
  EXPECT_TRUE(ui.progress->opened.empty());
  EXPECT_TRUE(ui.progress->lines.empty());
  run.log.close();
  EXPECT_EQ(logBytes(), "\r\na\r\nb\x1A");

  run.M_OINDICES = 17;
  openWindow();
  EXPECT_EQ(run.M_OINDICES, 0);
  MGLIGAMSG(run, "c");
  EXPECT_EQ(progressLines(), Lines{"001/750  :c"});
}

TEST_F(RunLogTest, TheNoticesOnlyLogTheirTextAndTheUncountedFormLeavesTheLogAlone) {
  run.log.open(logPath());
  openWindow();
  ALERT(run, "alerta");
  M_AVISO(run, "aviso");
  MOSTRA_MSG(run, "mensagem");
  EXPECT_TRUE(ATUALIZA_REG_BARRA_PROG_TITULO(run, "Verificando arquivos com campos duplicados"));
  run.log.close();
  EXPECT_EQ(logBytes(), "\r\nalerta\r\naviso\r\nmensagem\x1A");
  EXPECT_EQ(progressLines(), (Lines{"001/750  :alerta", "002/750  :aviso", "003/750  :mensagem",
                                    "Verificando arquivos com campos duplicados"}));
  EXPECT_EQ(run.M_OINDICES, 3);
  EXPECT_TRUE(ui.messageBoxes.empty());
}

}  // namespace
}  // namespace converte::driver
