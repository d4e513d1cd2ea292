// A run for the engine's tests: a company directory and a working directory
// on the real file system, a run context over them with a fixed clock, a
// recording Ui and a scripted error handler, the run log open, and helpers
// that make tables and read back the log, the tables and the directory.

#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "platform/system.h"
#include "platform/windows1252.h"
#include "storage/field_value.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {

using Row = std::vector<storage::FieldValue>;

// What a file system call should do instead of its work.
struct FileFault {
  std::string operation;  // "erase" or "rename"
  std::string nameSuffix;  // matched against the end of the path, any case
  int osCode = platform::kOsSharingViolation;
};

// The real file system with faults laid over chosen erase and rename calls.
class FaultyFileSystem : public platform::FileSystem {
 public:
  explicit FaultyFileSystem(platform::FileSystem& real) : real_(real) {}
  std::vector<FileFault> faults;

  platform::Result<std::unique_ptr<platform::File>> open(std::string_view path, platform::Access access,
                                                         platform::ShareMode share) override {
    return real_.open(path, access, share);
  }
  platform::Result<std::unique_ptr<platform::File>> create(std::string_view path) override {
    return real_.create(path);
  }
  platform::Result<std::unique_ptr<platform::File>> createTemporary(std::string_view dir,
                                                                    std::string_view prefix) override {
    return real_.createTemporary(dir, prefix);
  }
  bool exists(std::string_view path) override { return real_.exists(path); }
  bool isDirectory(std::string_view path) override { return real_.isDirectory(path); }
  platform::Status erase(std::string_view path) override {
    if (const FileFault* fault = faultFor("erase", path))
      return platform::OsError{fault->osCode, "erase", std::string(path)};
    return real_.erase(path);
  }
  platform::Status rename(std::string_view from, std::string_view to) override {
    if (const FileFault* fault = faultFor("rename", from))
      return platform::OsError{fault->osCode, "rename", std::string(from)};
    return real_.rename(from, to);
  }
  platform::Result<std::vector<std::string>> list(std::string_view dir,
                                                  std::string_view pattern) override {
    return real_.list(dir, pattern);
  }
  std::string resolve(std::string_view path) override { return real_.resolve(path); }
  void pause() override { real_.pause(); }

 private:
  const FileFault* faultFor(std::string_view operation, std::string_view path) const {
    for (const FileFault& fault : faults) {
      if (fault.operation != operation || path.size() < fault.nameSuffix.size()) continue;
      std::string_view end = path.substr(path.size() - fault.nameSuffix.size());
      bool same = true;
      for (std::size_t i = 0; i < end.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(end[i])) !=
            std::toupper(static_cast<unsigned char>(fault.nameSuffix[i])))
          same = false;
      if (same) return &fault;
    }
    return nullptr;
  }
  platform::FileSystem& real_;
};

class MigrationTest : public ::testing::Test {
 protected:
  MigrationTest()
      : realFs(platform::newSystemFileSystem()),
        fs(*realFs),
        env(*realFs, clock, handler),
        areas(env),
        run(driver::RunServices{fs, clock, ui, env, areas, work.path()}) {
    env.defaultDir = company.path();
    env.searchPath = {company.path()};
    run.M_PAT = company.path();
    run.M_PTDIRET3 = company.path();
    run.log.open(work.file("converte.txt"));
  }

  // Creates a table in the company directory with the rows (marking the
  // 1-based records listed as deleted) and closes it.
  void makeTable(const std::string& name, const storage::Structure& structure,
                 const std::vector<Row>& rows = {}, const std::vector<std::uint32_t>& deleted = {}) {
    int home = areas.currentNumber();
    ASSERT_TRUE(areas.createTable(name, structure, {}, true)) << name;
    for (const Row& row : rows) {
      ASSERT_TRUE(areas.current().append());
      for (std::size_t i = 0; i < row.size(); ++i)
        if (!row[i].isNothing()) areas.current().putField(static_cast<int>(i) + 1, row[i]);
    }
    for (std::uint32_t record : deleted) {
      areas.current().goTo(record);
      areas.current().deleteRecord();
    }
    areas.closeArea();
    areas.selectArea(home);
  }

  // The structure of a table of the company directory.
  std::vector<storage::StructureRow> structureOf(const std::string& name) {
    int home = areas.currentNumber();
    EXPECT_TRUE(areas.useArea(true, "", name, "PEEK", false, true)) << name;
    std::vector<storage::StructureRow> rows = areas.current().structure();
    areas.closeArea();
    areas.selectArea(home);
    return rows;
  }

  // Every record of a table as text: the deletion flag, then each field's
  // stored bytes (a memo field's text instead of its block number), all
  // separated by '|'.
  std::vector<std::string> recordsOf(const std::string& name) {
    int home = areas.currentNumber();
    std::vector<std::string> records;
    EXPECT_TRUE(areas.useArea(true, "", name, "PEEK", false, true)) << name;
    storage::WorkArea& area = areas.current();
    for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
      area.goTo(r);
      std::span<const char> bytes = area.recordBytes();
      std::string record(1, bytes[0]);
      for (int f = 1; f <= area.fieldCount(); ++f) {
        const storage::Field& field = area.fields()[static_cast<std::size_t>(f - 1)];
        record += "|";
        if (field.type == 'M') {
          record += area.getField(f).string();
        } else {
          record.append(bytes.data() + field.offset, static_cast<std::size_t>(field.length));
        }
      }
      records.push_back(std::move(record));
    }
    areas.closeArea();
    areas.selectArea(home);
    return records;
  }

  // The run log's lines as UTF-8, without the empty line it starts with.
  std::vector<std::string> logLines() const {
    std::string text = platform::fromWindows1252(readFileBytes(work.file("converte.txt")));
    if (!text.empty() && text.back() == '\x1A') text.pop_back();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    if (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
    return lines;
  }

  // The log lines written before the end-of-run summary began.
  std::vector<std::string> stepLines() const {
    std::vector<std::string> lines = logLines();
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind("**************", 0) == 0) return {lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i)};
    return lines;
  }

  // The names in the company directory, sorted without regard to case.
  std::vector<std::string> companyFiles() {
    auto names = realFs->list(company.path(), "*");
    return names ? *names : std::vector<std::string>{};
  }
  // The error log files written in the working directory.
  std::vector<std::string> errorLogs() {
    auto names = realFs->list(work.path(), "LOGSITUACAO__*");
    return names ? *names : std::vector<std::string>{};
  }

  // The company directory's path followed by a backslash and name, as the
  // engine writes paths into its log lines.
  std::string inCompany(const std::string& name) const { return company.path() + "\\" + name; }

  TempDir work;
  TempDir company;
  std::unique_ptr<platform::FileSystem> realFs;
  FaultyFileSystem fs;
  FixedClock clock;
  ScriptedHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  RecordingUi ui;
  driver::RunContext run;
};

// Runs step and tells whether it ended the program (MGSAIR and friends).
template <typename Step>
bool endsProgram(Step&& step) {
  try {
    step();
  } catch (const driver::ProgramEnd&) {
    return true;
  }
  return false;
}

}  // namespace converte::testing
