// An in-process run of the program for the end-to-end tests: MAIN over the
// real file system in a temporary working directory (GARVIN.INI, the run
// log, the company directories under GARV), a fixed clock, a recording Ui
// and a recording automation server; helpers that make company
// directories and build the run log's expected bytes.

#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/start_up.h"
#include "errors/report/run_error_handler.h"
#include "platform/automation.h"
#include "platform/system.h"
#include "platform/windows1252.h"
#include "storage/field_value.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {

// An automation server that records each call and answers with the
// failure chosen, if any.
class RecordingAutomation final : public platform::Automation {
 public:
  struct Call {
    std::string progId;
    std::string method;
    std::vector<std::string> arguments;
  };
  std::vector<Call> calls;
  std::optional<platform::AutomationError> createFailure;
  std::optional<platform::AutomationError> callFailure;

  platform::AutomationCreated create(std::string_view progId) override {
    if (createFailure) return *createFailure;
    return std::unique_ptr<platform::AutomationObject>(std::make_unique<Object>(*this, progId));
  }

 private:
  class Object final : public platform::AutomationObject {
   public:
    Object(RecordingAutomation& owner, std::string_view progId) : owner_(owner), progId_(progId) {}
    std::optional<platform::AutomationError> call(std::string_view method,
                                                  const std::vector<std::string>& arguments) override {
      owner_.calls.push_back({progId_, std::string(method), arguments});
      return owner_.callFailure;
    }

   private:
    RecordingAutomation& owner_;
    std::string progId_;
  };
};

// Runs MAIN to its end and closes the run log, as the end of the program
// does; true when MAIN ended the program (ProgramEnd).
inline bool runMainToEnd(driver::RunContext& run, std::optional<std::string> first,
                         std::optional<std::string> last) {
  bool ended = false;
  try {
    driver::MAIN(run, std::move(first), std::move(last));
  } catch (const driver::ProgramEnd&) {
    ended = true;
  }
  run.log.close();
  return ended;
}

// The program's services for one run in a working directory, fresh as at
// every start of the program: recording windows and automation server, a
// fixed clock.
struct ProgramRun {
  explicit ProgramRun(const std::string& workDir) : ProgramRun(workDir, FixedClock().now()) {}
  ProgramRun(const std::string& workDir, platform::LocalTime time)
      : clock(time),
        fs(platform::newSystemFileSystem()),
        handler([this] { areas.netErr(true); }),
        env(*fs, clock, handler),
        areas(env),
        run(driver::RunServices{*fs, clock, ui, env, areas, workDir, nullptr, &automation}) {}
  bool main(const std::string& first, const std::string& last) {
    return runMainToEnd(run, first, last);
  }

  FixedClock clock;
  RecordingUi ui;
  RecordingAutomation automation;
  std::unique_ptr<platform::FileSystem> fs;
  errors::RunErrorHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  driver::RunContext run;
};

class DriverRun : public ::testing::Test {
 protected:
  DriverRun()
      : fs(platform::newSystemFileSystem()),
        handler([this] { areas.netErr(true); }),
        env(*fs, clock, handler),
        areas(env),
        run(driver::RunServices{*fs, clock, ui, env, areas, work.path(), nullptr, &automation}) {}

  // The base directory used by writeBase(), and a company directory in it.
  std::string base() const { return work.file("GARV"); }
  std::string company(int n) const { return base() + "/FIRMA" + std::to_string(n); }

  void writeSettings(const std::string& bytes) { writeFileBytes(work.file("GARVIN.INI"), bytes); }
  void writeBase() { writeSettings("[GARVIN]\r\nDIRETORIO=" + base() + "\r\n"); }

  // A company directory holding files with these names (a few bytes each).
  void makeCompany(int n, const std::vector<std::string>& files = {}) {
    std::filesystem::create_directories(company(n));
    for (const std::string& name : files) writeFileBytes(company(n) + "/" + name, "data");
  }

  // A table in a company directory, one record of these values.
  void makeTable(int n, const std::string& name, const storage::Structure& structure,
                 const std::vector<storage::FieldValue>& row) {
    std::filesystem::create_directories(company(n));
    std::string home = env.defaultDir;
    env.defaultDir = company(n);
    ASSERT_TRUE(areas.createTable(name, structure, {}, true));
    ASSERT_TRUE(areas.current().append());
    for (std::size_t i = 0; i < row.size(); ++i) areas.current().putField(static_cast<int>(i) + 1, row[i]);
    areas.closeArea();
    env.defaultDir = home;
  }

  // A company record that a newer converter has migrated: the script leaves
  // the company alone and the loop goes on.
  void makeNewerCompany(int n) {
    makeTable(n, "DADOS", {{"EMPRESA", "C", 20, 0, {}}, {"GARVIN_VER", "N", 3, 0, {}}},
              {storage::FieldValue("NOVA"), storage::Number::ofInteger(196, 3)});
  }

  // Runs MAIN to its end; true when it ended the program (ProgramEnd).
  bool runMain(std::optional<std::string> first = std::nullopt,
               std::optional<std::string> last = std::nullopt) {
    return runMainToEnd(run, std::move(first), std::move(last));
  }

  bool exists(const std::string& path) const { return std::filesystem::exists(path); }
  std::string logBytes() const { return readFileBytes(work.file("converte.txt")); }
  std::vector<std::string> errorLogs() {
    auto names = fs->list(work.path(), "LOGSITUACAO__*");
    return names ? *names : std::vector<std::string>{};
  }

  // The bytes of a run log holding these lines (UTF-8 here).
  static std::string logOf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += "\r\n" + platform::toWindows1252(line);
    return bytes + "\x1A";
  }

  // The lines of the request for first to last (three characters each).
  static std::vector<std::string> reindexLines(const std::string& first, const std::string& last,
                                               bool succeeded = true) {
    std::vector<std::string> lines{"", "Reindexando:" + first + " a " + last};
    if (succeeded) {
      lines.push_back("Reindexou empresas " + first + " a " + last);
      lines.push_back("");
    }
    return lines;
  }

  // The summary of a run without errors counted, at the fixed clock's time.
  static std::vector<std::string> summaryLines(bool errorFlag = false, int errors = 0) {
    std::vector<std::string> lines;
    if (errorFlag) {
      lines = {"************** Ocorreram erros na conversão********", "Ocorreram erros na conversão"};
    } else {
      lines = {"************** Fim normal da Conversão ************"};
    }
    if (errors != 0) {
      std::string count = std::to_string(errors);
      lines.insert(lines.end(), {"", std::string(51, '/'),
                                 "************** Ocorreram " + std::string(5 - count.size(), ' ') +
                                     count + " erros na conversão *******",
                                 ""});
    }
    lines.insert(lines.end(), {"Tempo na conversão", "Inicio:14:30:05", "Fim...:14:30:05", "",
                               "Tempo gasto:         0", "", "\f"});
    return lines;
  }

  static std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  // The lines the script logs for a company before it looks at its tables.
  std::vector<std::string> scriptStart(int n) const {
    return {std::string(51, '='), "+  Firma:" + company(n), "Checando Tabelas:"};
  }

  static inline const std::string kRunStart = "************** Inicio da Conversão ****************";

  TempDir work;
  FixedClock clock;
  RecordingUi ui;
  RecordingAutomation automation;
  std::unique_ptr<platform::FileSystem> fs;
  errors::RunErrorHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  driver::RunContext run;
};

}  // namespace converte::testing
