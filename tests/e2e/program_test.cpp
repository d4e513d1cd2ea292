// Runs of the converte program itself in a temporary working directory:
// its options, its exit status, and the reindex request through the
// stand-in automation server (its arguments, a failure, no server).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/windows1252.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {
namespace {

using Lines = std::vector<std::string>;

std::string shellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

class ProgramTest : public ::testing::Test {
 protected:
  // Runs converte with the arguments in the working directory, with the
  // environment settings given (NAME=value), input from /dev/null.
  ProgramRun runProgram(const Lines& arguments, const Lines& environment = {}) {
    std::string command = "cd " + shellWord(work.path()) + " && exec env";
    for (const std::string& setting : environment) command += " " + shellWord(setting);
    command += " " + shellWord(CONVERTE_PROGRAM);
    for (const std::string& argument : arguments) command += " " + shellWord(argument);
    command += " </dev/null >" + shellWord(outputs.file("out")) + " 2>" + shellWord(outputs.file("err"));
    ProgramRun result;
    auto child = platform::startChildProcess("/bin/sh", {"-c", command});
    EXPECT_TRUE(child);
    if (!child) return result;
    auto status = (*child)->wait();
    EXPECT_TRUE(status);
    if (status) result.status = *status;
    result.out = readFileBytes(outputs.file("out"));
    result.err = readFileBytes(outputs.file("err"));
    return result;
  }

  // The run log's lines as UTF-8, without the first, empty one.
  Lines logLines() const {
    std::string text = platform::fromWindows1252(readFileBytes(work.file("converte.txt")));
    Lines lines;
    std::size_t at = 0;
    while ((at = text.find("\r\n", at)) != std::string::npos) {
      at += 2;
      std::size_t end = text.find("\r\n", at);
      lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    }
    return lines;
  }

  std::string recordFile() const { return outputs.file("record"); }
  Lines recorded() const {
    std::string text = readFileBytes(recordFile());
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }
  std::vector<std::string> errorLogs() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(work.path())) {
      std::string name = entry.path().filename().string();
      if (name.rfind("LOGSITUACAO__", 0) == 0) names.push_back(name);
    }
    return names;
  }

  TempDir work;
  TempDir outputs;
};

TEST_F(ProgramTest, OptionsPrintAndEndWithStatusZero) {
  ProgramRun help = runProgram({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: converte [options] [first last]\n", 0), 0u) << help.out;

  ProgramRun version = runProgram({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "converte 1.95.0\n");

  ProgramRun bad = runProgram({"--frobnicate", "1", "2"});
  EXPECT_EQ(bad.status, 0);
  EXPECT_EQ(bad.err.rfind("converte: unknown option '--frobnicate'\n", 0), 0u) << bad.err;
  EXPECT_FALSE(std::filesystem::exists(work.file("converte.txt")));
}

TEST_F(ProgramTest, ReindexRequestCarriesTheNineTextsToTheServer) {
  ProgramRun run = runProgram({"--ui=gui", "3", "12"},
                              {std::string("GARVIN_AUTOMATION=") + CONVERTE_AUTOMATION_TEST_SERVER,
                               "CONVERTE_TEST_AUTOMATION_RECORD=" + recordFile()});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("the desktop interface is not built yet; using the console"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(recorded(),
            (Lines{"BVMAIN", "BV", "tolvanic582", "3", "846", "QTZ58", "  3", " 12", "", ""}));
  Lines lines = logLines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
            (Lines{"************** Inicio da Conversão ****************", "", "Reindexando:  3 a  12",
                   "Reindexou empresas   3 a  12", ""}));
  EXPECT_EQ(lines.back(), "\f\x1A");
  EXPECT_TRUE(errorLogs().empty());
}

TEST_F(ProgramTest, AFailingOrMissingServerIsReportedAndTheRunStillEnds) {
  struct Case {
    Lines environment;
    std::string description;
  };
  const Case cases[] = {
      {{std::string("GARVIN_AUTOMATION=") + CONVERTE_AUTOMATION_TEST_SERVER,
        "CONVERTE_TEST_AUTOMATION_STATUS=4"},
       "AUTOMATION/3  Automation call failed with exit status 4"},
      {{"GARVIN_AUTOMATION=" + work.file("no-such-server")},
       "AUTOMATION/1  Automation server not found"},
      {{"GARVIN_AUTOMATION=garvin-automation-not-installed", "PATH=/nonexistent"},
       "AUTOMATION/1  Automation server not found: garvin-automation-not-installed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    for (const std::string& name : errorLogs()) std::filesystem::remove(work.file(name));
    ProgramRun run = runProgram({"1", "1"}, c.environment);
    EXPECT_EQ(run.status, 0);
    Lines lines = logLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], "Reindexando:  1 a   1");
    EXPECT_EQ(lines[3], "************** Fim normal da Conversão ************");
    Lines logs = errorLogs();
    ASSERT_EQ(logs.size(), 1u);
    std::string report = readFileBytes(work.file(logs[0]));
    EXPECT_NE(report.find(c.description), std::string::npos) << report;
  }
}

TEST_F(ProgramTest, AServerThatCannotBeStartedIsReportedSayingSo) {
  // A file the system cannot execute although it is marked executable.
  std::string server = work.file("broken-server");
  writeFileBytes(server, std::string("\x7f" "ELF garbage", 12));
  std::filesystem::permissions(server, std::filesystem::perms::owner_all);
  ProgramRun run = runProgram({"1", "1"}, {"GARVIN_AUTOMATION=" + server});
  EXPECT_EQ(run.status, 0);
  Lines logs = errorLogs();
  ASSERT_EQ(logs.size(), 1u);
  std::string report = readFileBytes(work.file(logs[0]));
  EXPECT_NE(report.find("AUTOMATION/2  Automation server cannot be started: " + server),
            std::string::npos)
      << report;
}

}  // namespace
}  // namespace converte::testing
