// The end of run: the summary lines byte for byte, the log closed and shown
// in the viewer over its temporary table, the table deleted afterwards, the
// print action through the command interpreter, the end of the program.

#include "driver/context/end_of_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "errors/report/run_error_handler.h"
#include "platform/command.h"
#include "platform/system.h"
#include "platform/windows1252.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace converte::driver {
namespace {

using Lines = std::vector<std::string>;

class RecordingShell final : public platform::Shell {
 public:
  std::string openFileCommand(std::string_view file) const override {
    return "open " + std::string(file);
  }
  platform::Result<int> run(std::string_view command) override {
    commands.emplace_back(command);
    return 1;  // a failing command is not reported
  }
  Lines commands;
};

class EndOfRunTest : public ::testing::Test {
 protected:
  EndOfRunTest()
      : fs(platform::newSystemFileSystem()),
        handler([this] { areas.netErr(true); }),
        env(*fs, clock, handler),
        areas(env),
        run(RunServices{*fs, clock, ui, env, areas, work.path(), &shell, nullptr}) {
    clock.set({2024, 12, 9, 14, 30, 5, 0});
    run.NTINI = "14:29:00";
    run.STEMPOINI = 14 * 3600 + 29 * 60;
    run.log.open(work.file("converte.txt"));
  }

  // Runs the end of run; true when it ended the program.
  bool endRun(bool errorFlag) {
    try {
      MGSAIR2(run, errorFlag);
    } catch (const ProgramEnd&) {
      return true;
    }
    return false;
  }

  std::string logBytes() const { return testing::readFileBytes(work.file("converte.txt")); }
  static std::string logOf(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += "\r\n" + platform::toWindows1252(line);
    return bytes + "\x1A";
  }
  static Lines trimmed(Lines rows) {
    for (std::string& row : rows) row.erase(row.find_last_not_of(' ') + 1);
    return rows;
  }

  testing::TempDir work;
  testing::FixedClock clock;
  testing::RecordingUi ui;
  RecordingShell shell;
  std::unique_ptr<platform::FileSystem> fs;
  errors::RunErrorHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  RunContext run;
};

TEST_F(EndOfRunTest, NormalEndLogsTheSummaryClosesTheLogAndShowsIt) {
  MGLIGAMSG(run, "************** Inicio da Conversão ****************");
  EXPECT_TRUE(endRun(false));
  const Lines lines{"************** Inicio da Conversão ****************",
                    "************** Fim normal da Conversão ************",
                    "Tempo na conversão",
                    "Inicio:14:29:00",
                    "Fim...:14:30:05",
                    "",
                    "Tempo gasto:        65",
                    "",
                    "\f"};
  EXPECT_EQ(logBytes(), logOf(lines));
  EXPECT_FALSE(run.log.isOpen());
  ASSERT_EQ(ui.logViewers.size(), 1u);
  EXPECT_EQ(ui.logViewers[0].title, "Visualização do Relatório");
  // One row per line of the file, the empty line it begins with first.
  Lines rows{""};
  rows.insert(rows.end(), lines.begin(), lines.end());
  EXPECT_EQ(trimmed(ui.logViewerRows[0]), rows);
  EXPECT_FALSE(fs->exists(work.file("xTmpRel.dbf")));
}

TEST_F(EndOfRunTest, ErrorFlagAndCountedErrorsGiveTheErrorLinesAndTheCountBlock) {
  struct Case {
    bool errorFlag;
    int errors;
    Lines head;
  };
  const std::string slashes(51, '/');
  const Case cases[] = {
      {true, 1,
       {"************** Ocorreram erros na conversão********", "Ocorreram erros na conversão", "",
        slashes, "************** Ocorreram     1 erros na conversão *******", ""}},
      {true, 0, {"************** Ocorreram erros na conversão********", "Ocorreram erros na conversão"}},
      {false, 3,
       {"************** Fim normal da Conversão ************", "", slashes,
        "************** Ocorreram     3 erros na conversão *******", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.errors);
    run.log.open(work.file("converte.txt"));
    run.VERROS = c.errors;
    EXPECT_TRUE(endRun(c.errorFlag));
    Lines lines = c.head;
    lines.insert(lines.end(), {"Tempo na conversão", "Inicio:14:29:00", "Fim...:14:30:05", "",
                               "Tempo gasto:        65", "", "\f"});
    EXPECT_EQ(logBytes(), logOf(lines));
  }
}

TEST_F(EndOfRunTest, ARunPastMidnightLogsNegativeSeconds) {
  run.NTINI = "23:59:50";
  run.STEMPOINI = 23 * 3600 + 59 * 60 + 50;
  clock.set({2024, 12, 10, 0, 0, 10, 0});
  EXPECT_TRUE(endRun(false));
  EXPECT_NE(logBytes().find("\r\nTempo gasto:    -86380\r\n"), std::string::npos);
}

TEST_F(EndOfRunTest, EveryTableIsClosedFirst) {
  ASSERT_TRUE(areas.createTable(work.file("ABERTA"), {{"A", "C", 1, 0, {}}}, {}, true));
  EXPECT_TRUE(endRun(false));
  EXPECT_FALSE(areas.area(1).isUsed());
  EXPECT_TRUE(fs->erase(work.file("ABERTA.dbf")));
}

TEST_F(EndOfRunTest, ViewerCutsLongLinesAndPrintsThroughTheInterpreter) {
  const std::string file = work.file("texto.txt");
  std::string longLine;
  for (int i = 0; i < 300; ++i) longLine += static_cast<char>('a' + i % 26);
  testing::writeFileBytes(file, "primeira\r\n" + longLine + "\r\n\x1A");
  // Leftovers of an earlier viewing are replaced and deleted with it.
  testing::writeFileBytes(work.file("xTmpRel.dbf"), "old");
  testing::writeFileBytes(work.file("xTmpRel.NTX"), "old");
  testing::writeFileBytes(work.file("xTmpRel.TXT"), "old");
  ui.pressPrintInLogViewer = true;

  EXPECT_TRUE(VIS_TXT(run, file));
  ASSERT_EQ(ui.logViewerRows.size(), 1u);
  EXPECT_EQ(trimmed(ui.logViewerRows[0]), (Lines{"primeira", longLine.substr(0, 137)}));
  EXPECT_EQ(shell.commands, Lines{"open " + file});
  EXPECT_EQ(run.VCOMANDO, "open " + file);
  for (const char* name : {"xTmpRel.dbf", "xTmpRel.NTX", "xTmpRel.TXT"})
    EXPECT_FALSE(fs->exists(work.file(name))) << name;
  EXPECT_TRUE(ui.errorDialogs.empty());
}

TEST_F(EndOfRunTest, ViewerThatCannotLoadItsFileLeavesNoTable) {
  // The viewed file is held exclusively, so the import cannot open it.
  const std::string file = work.file("preso.txt");
  testing::writeFileBytes(file, "x\r\n");
  auto held = fs->open(file, platform::Access::ReadWrite, platform::ShareMode::Exclusive);
  ASSERT_TRUE(held);
  EXPECT_TRUE(VIS_TXT(run, file));
  EXPECT_FALSE(fs->exists(work.file("xTmpRel.dbf")));
  EXPECT_EQ(areas.currentNumber(), 1);
  EXPECT_FALSE(areas.area(1).isUsed());
}

TEST_F(EndOfRunTest, MgsairEndsTheRunWithTheErrorFlag) {
  EXPECT_THROW(MGSAIR(run, true), ProgramEnd);
  EXPECT_NE(logBytes().find(platform::toWindows1252("\r\nOcorreram erros na conversão\r\n")),
            std::string::npos);
}

}  // namespace
}  // namespace converte::driver
