// The error reporter: the first line and report text byte for byte, the
// error log file's name and bytes, the silent kinds, the second report when
// the dialog fails, and a working directory where no file can be made.

#include "errors/report/error_report.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "errors/call_levels.h"
#include "errors/error_handler.h"
#include "platform/system.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/temp_dir.h"
#include "ui/company_range_form.h"

namespace converte::errors {
namespace {

using testing::FixedClock;
using testing::readFileBytes;
using testing::TempDir;

struct NotAnError {};  // stands for the end of the program passing through

// Records every window asked for; the kinds named in failing throw.
class RecordingUi : public ui::Ui {
 public:
  std::vector<std::string> calls;
  std::set<std::string> failing;
  bool pressLog = true;
  bool endProgramInDialog = false;
  std::string viewed;
  ui::ErrorDialogSpec dialog;

  std::string name() const override { return "fake"; }
  std::unique_ptr<ui::ProgressWindow> openProgressWindow(const ui::ProgressWindowSpec&) override {
    return nullptr;
  }
  void messageBox(std::string_view title, std::string_view text) override {
    std::string call = "box|" + std::string(title) + "|" + std::string(text);
    calls.push_back(call);
    if (failing.count(std::string(title).empty() ? std::string(text) : std::string(title)))
      throw std::runtime_error("box");
  }
  bool runCompanyRangeDialog(const ui::CompanyRangeDialogSpec&, ui::CompanyRangeForm&) override {
    return false;
  }
  void showLogViewer(const ui::LogViewerSpec&, ui::GridSource&, const std::function<void()>&) override {}
  void showErrorDialog(const ui::ErrorDialogSpec& spec, const std::function<void()>& openLog) override {
    calls.push_back("dialog|" + spec.title);
    dialog = spec;
    if (endProgramInDialog) throw NotAnError{};
    if (failing.count("dialog")) throw std::runtime_error("dialog");
    if (pressLog) openLog();
  }
  void showTextViewer(const ui::TextViewerSpec& spec) override {
    calls.push_back("viewer|" + spec.title);
    viewed = spec.content;
  }
  void pumpOnce() override {}
};

class ThrowingClock : public platform::Clock {
 public:
  platform::LocalTime now() override { throw std::runtime_error("clock"); }
};

// A working directory where files cannot be created.
class NoCreateFileSystem : public platform::FileSystem {
 public:
  explicit NoCreateFileSystem(platform::FileSystem& real) : real_(real) {}
  platform::Result<std::unique_ptr<platform::File>> open(std::string_view p, platform::Access a,
                                                         platform::ShareMode s) override {
    return real_.open(p, a, s);
  }
  platform::Result<std::unique_ptr<platform::File>> create(std::string_view p) override {
    ++creates;
    return platform::OsError{platform::kOsAccessDenied, "create", std::string(p)};
  }
  platform::Result<std::unique_ptr<platform::File>> createTemporary(std::string_view d,
                                                                    std::string_view p) override {
    return real_.createTemporary(d, p);
  }
  bool exists(std::string_view p) override { return real_.exists(p); }
  bool isDirectory(std::string_view p) override { return real_.isDirectory(p); }
  platform::Status erase(std::string_view p) override { return real_.erase(p); }
  platform::Status rename(std::string_view f, std::string_view t) override { return real_.rename(f, t); }
  platform::Result<std::vector<std::string>> list(std::string_view d, std::string_view p) override {
    return real_.list(d, p);
  }
  std::string resolve(std::string_view p) override { return real_.resolve(p); }
  void pause() override {}
  int creates = 0;

 private:
  platform::FileSystem& real_;
};

const std::string kLogName = "LOGSITUACAO__120924_143005.log";
const std::string kTail = "\r\n\r\nconverte 1.0 (fake)\r\nDate:12/09/24\r\nTime:14:30:05";

ErrorRecord openError(int osCode) {
  ErrorRecord r;
  r.severity = kSeverityError;
  r.genCode = 21;
  r.subSystem = "DBFNTX";
  r.subCode = 1001;
  r.osCode = osCode;
  r.description = "Open error";
  r.fileName = "/dados/FIRMA1/DADOS.DBF";
  r.canDefault = true;
  r.callStack = {{"dbf_open.cpp", "openTable", 91}, {"MIGRATION", "ABRE_ARQ", 40}};
  return r;
}

class ReportTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<platform::FileSystem> fs = platform::newSystemFileSystem();
  FixedClock clock;
  RecordingUi ui;
  ReportEnv env{*fs, clock, ui, dir.path(), ui::Resources{}, "converte 1.0 (fake)"};

  std::vector<std::string> logFiles() { return *fs->list(dir.path(), "LOGSITUACAO__*.log"); }
};

TEST(ErrorMessage, FirstLineFromTheRecordsParts) {
  ErrorRecord warning;
  warning.severity = kSeverityWarning;
  ErrorRecord byOperation = openError(0);
  byOperation.fileName = "";
  byOperation.operation = "NOME";
  byOperation.description.reset();
  ErrorRecord catastrophic = openError(0);
  catastrophic.severity = kSeverityCatastrophic;
  catastrophic.fileName = "";
  const std::pair<ErrorRecord, std::string> cases[] = {
      {openError(0), "Error DBFNTX/1001  Open error: /dados/FIRMA1/DADOS.DBF"},
      {warning, "Warning ???" "/???"},
      {byOperation, "Error DBFNTX/1001: NOME"},
      {catastrophic, "Error DBFNTX/1001  Open error"},
  };
  for (const auto& [record, line] : cases) EXPECT_EQ(ERRORMESSAGE(record), line);
}

TEST_F(ReportTest, ReportTextWithAndWithoutTheOperatingSystemsCode) {
  const std::string calls =
      "\r\nCalled from dbf_open.cpp->openTable(91)\r\nCalled from MIGRATION->ABRE_ARQ(40)";
  EXPECT_EQ(errorReportText(env, openError(5)),
            "Situação: DBFNTX/1001  Open error: /dados/FIRMA1/DADOS.DBF\r\n (Situação:DOS Error 5)" + calls +
                kTail);
  EXPECT_EQ(errorReportText(env, openError(0)),
            "Situação: DBFNTX/1001  Open error: /dados/FIRMA1/DADOS.DBF\r\n" + calls + kTail);
  ErrorRecord bare = openError(0);
  bare.callStack.clear();
  EXPECT_EQ(errorReportText(env, bare), "Situação: DBFNTX/1001  Open error: /dados/FIRMA1/DADOS.DBF\r\n" + kTail);
}

TEST_F(ReportTest, AWarningWithoutTheWordErrorKeepsItsFirstLineWhole) {
  ErrorRecord warning = openError(0);
  warning.severity = kSeverityWarning;
  warning.subSystem = "SDF";
  warning.description = "Data width error";
  warning.callStack.clear();
  EXPECT_EQ(errorReportText(env, warning),
            "Warning SDF/1001  Data width error: /dados/FIRMA1/DADOS.DBF\r\n" + kTail);
}

TEST_F(ReportTest, OnlyTwoHundredCharactersFollowTheWordError) {
  // After "Error": " DBFNTX/1001  Open error: " (26) + the file name + CR LF.
  struct Case {
    std::size_t nameLength;
    std::string firstLineEnd;
  };
  const Case cases[] = {
      {172, "\r\n"},  // 26 + 172 + 2 = 200: whole
      {173, "\r"},    // 201: the LF is cut
      {250, ""},      // the rest is cut inside the name
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nameLength);
    ErrorRecord r = openError(5);
    r.callStack.clear();
    r.fileName.clear();
    for (std::size_t i = 0; i < c.nameLength; ++i) r.fileName += "ç";  // two bytes, one character
    std::string rest = " DBFNTX/1001  Open error: " + r.fileName;
    std::size_t keptName = std::min<std::size_t>(c.nameLength, 174);
    std::string kept = " DBFNTX/1001  Open error: ";
    for (std::size_t i = 0; i < keptName; ++i) kept += "ç";
    EXPECT_EQ(errorReportText(env, r), "Situação:" + kept + c.firstLineEnd + " (Situação:DOS Error 5)" + kTail);
  }
}

TEST(ErrorLogFileName, MonthDayYearUnderscoreHoursMinutesSeconds) {
  EXPECT_EQ(errorLogFileName({2024, 12, 9, 14, 30, 5, 0}), "LOGSITUACAO__120924_143005.log");
  EXPECT_EQ(errorLogFileName({2001, 1, 2, 3, 4, 5, 999}), "LOGSITUACAO__010201_030405.log");
  EXPECT_EQ(errorLogFileName({2100, 10, 31, 23, 59, 59, 0}), "LOGSITUACAO__103100_235959.log");
}

TEST_F(ReportTest, AReportWritesTheLogFileInWindows1252AndShowsTheDialog) {
  EXPECT_EQ(HW_DEFERROR(env, openError(5), false), 0);
  const std::string text = errorReportText(env, openError(5));
  EXPECT_EQ(readFileBytes(dir.file(kLogName)),
            "Situa\xE7\xE3o: DBFNTX/1001  Open error: /dados/FIRMA1/DADOS.DBF\r\n (Situa\xE7\xE3o:DOS Error 5)"
            "\r\nCalled from dbf_open.cpp->openTable(91)\r\nCalled from MIGRATION->ABRE_ARQ(40)"
            "\r\n\r\nconverte 1.0 (fake)\r\nDate:12/09/24\r\nTime:14:30:05\x1A");
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"dialog|" + kLogName, "viewer|" + kLogName}));
  EXPECT_EQ(ui.viewed, text);
  ASSERT_EQ(ui.dialog.texts.size(), 3u);
  EXPECT_EQ(ui.dialog.texts[0].text, "Foi encontrado uma Situação Atípica no Sistema");
}

TEST_F(ReportTest, SilentKindsWriteAndShowNothing) {
  struct Case {
    int genCode;
    int osCode;
    bool canDefault;
    bool silent;
  };
  const Case cases[] = {
      {5, 0, false, true},   {21, 32, true, true},   {40, 0, true, true},
      {21, 32, false, false}, {21, 5, true, false},  {40, 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.genCode << "/" << c.osCode << "/" << c.canDefault);
    for (const auto& name : logFiles()) (void)fs->erase(dir.file(name));
    ui.calls.clear();
    ErrorRecord r = openError(c.osCode);
    r.genCode = c.genCode;
    r.canDefault = c.canDefault;
    EXPECT_EQ(HW_DEFERROR(env, r, false), 0);
    EXPECT_EQ(logFiles().empty(), c.silent);
    EXPECT_EQ(ui.calls.empty(), c.silent);
  }
}

TEST_F(ReportTest, AFailingDialogLeadsToTheSecondReportWithThePlainBox) {
  ui.failing = {"dialog"};
  EXPECT_EQ(HW_DEFERROR(env, openError(0), false), 0);
  const std::string text = errorReportText(env, openError(0));
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"dialog|" + kLogName, "box|3ab)LOG SITUACAO DLL|" + text}));
  EXPECT_EQ(readFileBytes(dir.file(kLogName)).size(), text.size() + 1 - 2);  // ç ã: one byte each
}

TEST_F(ReportTest, WhenTheSecondReportFailsTooTheLastBoxesFollow) {
  const std::string text = errorReportText(env, openError(0));
  ui.failing = {"dialog", "3ab)LOG SITUACAO DLL"};
  EXPECT_EQ(HW_DEFERROR(env, openError(0), false), 0);
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"dialog|" + kLogName, "box|3ab)LOG SITUACAO DLL|" + text,
                                                "box||3a)LOG SITUACAO DLL: ErrorPreview "}));
  ui.calls.clear();
  ui.failing = {"dialog", "3ab)LOG SITUACAO DLL", "3a)LOG SITUACAO DLL: ErrorPreview ", "Atenção"};
  EXPECT_EQ(HW_DEFERROR(env, openError(0), false), 0);  // nothing escapes
  EXPECT_EQ(ui.calls.back(), "box|Atenção|D)Erro na execução da dll ERRO: ");
}

TEST_F(ReportTest, AReportThatCannotBeBuiltShowsTheDllBoxAndReturnsTrue) {
  ThrowingClock broken;
  ReportEnv brokenEnv{*fs, broken, ui, dir.path(), ui::Resources{}, "v"};
  EXPECT_EQ(HW_DEFERROR(brokenEnv, openError(0), false), 1);
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"box|Atenção|D)Erro na execução da dll ERRO: "}));
  EXPECT_THROW(HW_DEFERRORA(brokenEnv, openError(0), false), std::runtime_error);
}

TEST_F(ReportTest, NoLogFileWhereNoneCanBeCreatedButTheDialogAsUsual) {
  NoCreateFileSystem refusing(*fs);
  ReportEnv readOnly{refusing, clock, ui, dir.path(), ui::Resources{}, "v"};
  EXPECT_EQ(HW_DEFERROR(readOnly, openError(0), false), 0);
  EXPECT_EQ(refusing.creates, 1);
  EXPECT_TRUE(logFiles().empty());
  EXPECT_EQ(ui.calls.front(), "dialog|" + kLogName);

  ui.calls.clear();
  ReportEnv missingDir{*fs, clock, ui, dir.file("absent"), ui::Resources{}, "v"};
  EXPECT_EQ(HW_DEFERROR(missingDir, openError(0), false), 0);
  EXPECT_EQ(ui.calls.front(), "dialog|" + kLogName);
}

TEST_F(ReportTest, TwoReportsInOneSecondShareTheFileAndTheSecondWins) {
  ui.pressLog = false;
  ErrorRecord first = openError(0);
  ErrorRecord second = openError(0);
  second.fileName = "/dados/FIRMA1/FOLHA.DBF";
  HW_DEFERROR(env, first, false);
  HW_DEFERROR(env, second, false);
  EXPECT_EQ(logFiles(), std::vector<std::string>{kLogName});
  EXPECT_NE(readFileBytes(dir.file(kLogName)).find("FOLHA.DBF"), std::string::npos);
}

TEST_F(ReportTest, TheEndOfTheProgramPassesThroughTheReport) {
  ui.endProgramInDialog = true;
  EXPECT_THROW(HW_DEFERROR(env, openError(0), false), NotAnError);
  EXPECT_EQ(logFiles(), std::vector<std::string>{kLogName});  // written before the dialog
}

TEST_F(ReportTest, TheReportListsTheActiveCallLevelsInnermostFirst) {
  AbandonAll handler;
  ErrorRecord caught;
  {
    CallFrame outer("CONVERTE", "XDLGCONVERTE");
    CallFrame inner("CATALOGUE", "FOESTRU");
    ErrorRecord r = openError(0);
    r.callStack = {{"raiser.cpp", "openTable", 7}};
    try {
      raise(handler, r);
    } catch (const ErrorAbandoned& abandoned) {
      caught = abandoned.record();
    }
  }
  const std::string text = errorReportText(env, caught);
  const std::string expected =
      "Called from raiser.cpp->openTable(7)\r\nCalled from CATALOGUE->FOESTRU(" +
      std::to_string(caught.callStack.at(1).line) + ")\r\nCalled from CONVERTE->XDLGCONVERTE(";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
}

}  // namespace
}  // namespace converte::errors
