// The migrate family: whole runs of the migration (MAIN) over one generated
// company against the least work any migration must do, a block copy of the
// company directory through the platform layer with its fsyncs.
//
// Workloads, each in a child process of its own, in every size section:
//   generate        the company, once (GARVIN.INI and GARV/FIRMA1), not listed
//   copy            copy every file of the company directory, fsync each (baseline)
//   migrate_first   MAIN over a fresh copy of the generated company
//   migrate_second  MAIN over a fresh copy of the company a first run migrated
// A migrate child makes its copy before the timing starts and times MAIN
// alone, with the catalogue steps' and the fix-ups' rows timed within it;
// afterwards it checks from the run log that the run ended normally and
// counts the tables it rebuilt.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/families.h"
#include "bench/measure.h"
#include "catalogue/script_plan.h"
#include "driver/context/end_of_run_texts.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/start_up.h"
#include "errors/report/report_texts.h"
#include "errors/report/run_error_handler.h"
#include "migration/messages.h"
#include "platform/automation.h"
#include "platform/system.h"
#include "platform/windows1252.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"
#include "tools/sample/sample_company.h"
#include "ui/ui.h"

namespace converte::bench {
namespace {

// Base seed 12 makes company 1 the generator's seed 13: more than 100
// deleted entries (the run compacts it) and the dependants still in the
// employee table (the run moves them out).
constexpr std::uint32_t kSeed = 12;
constexpr std::uint64_t kDefaultRecords = 2'000'000;  // records in all tables together
constexpr std::size_t kCopyBlock = 1 << 20;
constexpr double kMegabyte = 1024.0 * 1024.0;

// The section directory's parts: work directories (GARVIN.INI, converte.txt
// and the base GARV with its FIRMA1) and the file a child reports in.
constexpr std::string_view kGenerated = "generated";
constexpr std::string_view kMigrated = "migrated";
constexpr std::string_view kWork = "work";
constexpr std::string_view kResults = "results.txt";
constexpr std::string_view kBase = "GARV";
constexpr std::string_view kCompany = "FIRMA1";
constexpr std::string_view kSettingsFile = "GARVIN.INI";

std::string companyOf(std::string_view workDir) {
  return platform::joinPath(platform::joinPath(workDir, kBase), kCompany);
}

void checkStatus(const platform::Status& status) {
  if (!status) {
    throw std::runtime_error(status.error().operation + "(" + status.error().path + "): os code " +
                             std::to_string(status.error().osCode));
  }
}

// --- Files through the platform layer ---------------------------------------

std::vector<std::string> filesIn(platform::FileSystem& fs, const std::string& dir) {
  auto names = fs.list(dir, "*");
  if (!names) checkStatus(names.error());
  return *names;
}

std::unique_ptr<platform::File> openForReading(platform::FileSystem& fs, const std::string& path) {
  auto file = fs.open(path, platform::Access::ReadOnly, platform::ShareMode::Shared);
  if (!file) checkStatus(file.error());
  return std::move(*file);
}

std::string readText(platform::FileSystem& fs, const std::string& path) {
  auto file = openForReading(fs, path);
  std::string text;
  std::vector<std::byte> block(kCopyBlock);
  for (std::uint64_t offset = 0;; offset += block.size()) {
    auto got = file->readAt(offset, block);
    if (!got) checkStatus(got.error());
    if (*got == 0) break;
    text.append(reinterpret_cast<const char*>(block.data()), *got);
  }
  return text;
}

void writeText(platform::FileSystem& fs, const std::string& path, const std::string& text) {
  auto file = fs.create(path);
  if (!file) checkStatus(file.error());
  checkStatus((*file)->writeAt(0, std::as_bytes(std::span<const char>(text.data(), text.size()))));
  checkStatus((*file)->close());
}

// Copies a file in large blocks; ends with fsync and close.
void copyFile(platform::FileSystem& fs, const std::string& from, const std::string& to) {
  auto source = openForReading(fs, from);
  auto created = fs.create(to);
  if (!created) checkStatus(created.error());
  auto& target = *created;
  std::vector<std::byte> block(kCopyBlock);
  for (std::uint64_t offset = 0;; offset += block.size()) {
    auto got = source->readAt(offset, block);
    if (!got) checkStatus(got.error());
    if (*got == 0) break;
    checkStatus(target->writeAt(offset, std::span<const std::byte>(block).first(*got)));
  }
  checkStatus(target->flush());
  checkStatus(target->close());
}

// Every file of the company directory of one work directory into another's.
void copyCompanyFiles(platform::FileSystem& fs, std::string_view fromWork,
                      std::string_view toWork) {
  const std::string from = companyOf(fromWork);
  const std::string to = companyOf(toWork);
  for (const std::string& name : filesIn(fs, from))
    copyFile(fs, platform::joinPath(from, name), platform::joinPath(to, name));
}

// The settings file naming the work directory's own base.
void writeSettings(platform::FileSystem& fs, const std::string& workDir) {
  writeText(fs, platform::joinPath(workDir, kSettingsFile),
            "[GARVIN]\r\nDIRETORIO=" + platform::joinPath(workDir, kBase) + "\r\n");
}

struct CompanySize {
  std::uint64_t bytes = 0;
  std::uint64_t records = 0;
  int tables = 0;
};

bool isTableFile(std::string_view name) {
  if (name.size() < 4) return false;
  std::string extension(name.substr(name.size() - 4));
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension == ".DBF";
}

// The record count a table's header gives: bytes 4 to 7, low byte first.
std::uint64_t recordCountOf(platform::File& table) {
  std::byte header[8]{};
  auto got = table.readAt(0, header);
  if (!got) checkStatus(got.error());
  std::uint64_t count = 0;
  for (int i = 7; i >= 4; --i) count = count << 8 | static_cast<std::uint64_t>(header[i]);
  return *got == sizeof header ? count : 0;
}

CompanySize sizeOfCompany(platform::FileSystem& fs, std::string_view workDir) {
  const std::string dir = companyOf(workDir);
  CompanySize size;
  for (const std::string& name : filesIn(fs, dir)) {
    auto file = openForReading(fs, platform::joinPath(dir, name));
    auto bytes = file->size();
    if (!bytes) checkStatus(bytes.error());
    size.bytes += *bytes;
    if (!isTableFile(name)) continue;
    size.records += recordCountOf(*file);
    ++size.tables;
  }
  return size;
}

void describeCompany(const char* what, const CompanySize& size) {
  std::fprintf(stderr, "%s: %d tables, %llu records, %.1f MB\n", what, size.tables,
               static_cast<unsigned long long>(size.records),
               static_cast<double>(size.bytes) / kMegabyte);
}

// --- The program's services without an operator -----------------------------

// Windows that draw nothing and wait for nobody. A message box or an error
// dialog during a run is counted: a run that shows one did not go through.
class QuietUi final : public ui::Ui {
 public:
  int interruptions = 0;

  std::string name() const override { return "bench"; }
  std::unique_ptr<ui::ProgressWindow> openProgressWindow(const ui::ProgressWindowSpec&) override {
    return std::make_unique<QuietWindow>();
  }
  void messageBox(std::string_view title, std::string_view text) override {
    std::fprintf(stderr, "message box %.*s: %.*s\n", int(title.size()), title.data(),
                 int(text.size()), text.data());
    ++interruptions;
  }
  bool runCompanyRangeDialog(const ui::CompanyRangeDialogSpec&, ui::CompanyRangeForm&) override {
    ++interruptions;
    return false;
  }
  void showLogViewer(const ui::LogViewerSpec&, ui::GridSource&,
                     const std::function<void()>&) override {}
  void showErrorDialog(const ui::ErrorDialogSpec&, const std::function<void()>&) override {
    std::fprintf(stderr, "error dialog shown\n");
    ++interruptions;
  }
  void showTextViewer(const ui::TextViewerSpec&) override {}
  void pumpOnce() override {}

 private:
  class QuietWindow final : public ui::ProgressWindow {
   public:
    void setTitle(std::string_view) override {}
    void setLine(ui::ProgressLine, std::string_view) override {}
    void close() override {}
  };
};

// An automation server that carries out every call at once: the reindex
// request at the end of the run succeeds without a suite to do it.
class AcceptingAutomation final : public platform::Automation {
 public:
  platform::AutomationCreated create(std::string_view) override {
    return std::unique_ptr<platform::AutomationObject>(std::make_unique<Object>());
  }

 private:
  class Object final : public platform::AutomationObject {
   public:
    std::optional<platform::AutomationError> call(std::string_view,
                                                  const std::vector<std::string>&) override {
      return std::nullopt;
    }
  };
};

// What the program's entry point builds, over a work directory.
struct ProgramServices {
  explicit ProgramServices(const std::string& workDir)
      : fs(platform::newSystemFileSystem()),
        clock(platform::newSystemClock()),
        handler([this] { areas.netErr(true); }),
        env(*fs, *clock, handler),
        areas(env),
        run(driver::RunServices{*fs, *clock, ui, env, areas, workDir, nullptr, &automation}) {}

  QuietUi ui;
  AcceptingAutomation automation;
  std::unique_ptr<platform::FileSystem> fs;
  std::unique_ptr<platform::Clock> clock;
  errors::RunErrorHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  driver::RunContext run;
};

// Seconds spent in the script's rows by kind, and in each fix-up.
class RowTimes final : public catalogue::ScriptRowObserver {
 public:
  void rowStarted(const catalogue::ScriptRow&) override { watch_.restart(); }
  void rowEnded(const catalogue::ScriptRow& row) override {
    const double seconds = watch_.seconds();
    if (row.kind == catalogue::RowKind::Steps) catalogue += seconds;
    if (row.kind != catalogue::RowKind::Action) return;
    fixUps += seconds;
    perFixUp.emplace_back(row.text, seconds);
  }

  double catalogue = 0;
  double fixUps = 0;
  std::vector<std::pair<std::string_view, double>> perFixUp;  // in script order

 private:
  Stopwatch watch_;
};

// --- What a run left in its log -----------------------------------------------

std::vector<std::string> logLines(const std::string& bytes) {
  const std::string text = platform::fromWindows1252(bytes);
  std::vector<std::string> lines;
  std::size_t at = 0;
  while ((at = text.find("\r\n", at)) != std::string::npos) {
    at += 2;
    const std::size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return lines;
}

int countRebuilds(const std::vector<std::string>& log) {
  return static_cast<int>(std::count_if(log.begin(), log.end(), [](const std::string& line) {
    return line.starts_with(migration::text::kRebuilding);
  }));
}

bool endedNormally(const std::vector<std::string>& log) {
  return std::find(log.begin(), log.end(), driver::end_of_run_texts::kNormalEnd) != log.end();
}

// --- Child side ------------------------------------------------------------------

struct Section {
  Section(std::string_view workloadName, std::string directory, std::uint64_t recordCount)
      : workload(workloadName),
        dir(std::move(directory)),
        records(recordCount),
        fs(platform::newSystemFileSystem()) {}
  std::string path(std::string_view name) const { return platform::joinPath(dir, name); }

  std::string workload;
  std::string dir;
  std::uint64_t records;
  std::unique_ptr<platform::FileSystem> fs;
  std::unique_ptr<ProgramServices> program;  // a migrate workload's run
  RowTimes rowTimes;
  double runSeconds = 0;
};

// The generator leaves its files to the system's write-back; they go to
// disk here so that no timing pays for them.
void putCompanyOnDisk(platform::FileSystem& fs, std::string_view workDir) {
  const std::string dir = companyOf(workDir);
  for (const std::string& name : filesIn(fs, dir))
    checkStatus(openForReading(fs, platform::joinPath(dir, name))->flush());
}

void generateCompany(Section& s) {
  std::filesystem::create_directories(s.path(kGenerated));
  sample::writeBase(s.path(kGenerated), 1, 1, {kSeed, s.records});
  putCompanyOnDisk(*s.fs, s.path(kGenerated));
}

void describeGenerated(Section& s) {
  describeCompany("generated company", sizeOfCompany(*s.fs, s.path(kGenerated)));
}

void makeWorkCompany(Section& s) { std::filesystem::create_directories(companyOf(s.path(kWork))); }

void copyGeneratedCompany(Section& s) {
  copyCompanyFiles(*s.fs, s.path(kGenerated), s.path(kWork));
}

// A fresh work directory holding a copy of the company, on disk.
void prepareRun(Section& s, std::string_view input) {
  makeWorkCompany(s);
  copyCompanyFiles(*s.fs, s.path(input), s.path(kWork));
  writeSettings(*s.fs, s.path(kWork));
  s.program = std::make_unique<ProgramServices>(s.path(kWork));
  catalogue::observeScriptRows(&s.rowTimes);
}
void prepareFirstRun(Section& s) { prepareRun(s, kGenerated); }
void prepareSecondRun(Section& s) { prepareRun(s, kMigrated); }

// MAIN as the program calls it, for company 1 alone, to its end.
void runMigration(Section& s) {
  Stopwatch watch;
  try {
    driver::MAIN(s.program->run, "1", "1");
  } catch (const driver::ProgramEnd&) {
  }
  s.program->run.log.close();
  s.runSeconds = watch.seconds();
}

void checkRunWentThrough(Section& s, const std::vector<std::string>& log) {
  if (!endedNormally(log))
    throw std::runtime_error("the run did not end normally (see converte.txt)");
  if (s.program->run.VERROS != 0 || s.program->ui.interruptions != 0)
    throw std::runtime_error("the run reported errors or stopped for the operator");
  auto reports = s.fs->list(s.path(kWork), std::string(errors::report_texts::kLogPrefix) + "*");
  if (reports && !reports->empty()) throw std::runtime_error("the run wrote an error report");
}

void reportRowTimes(const Section& s, int rebuilds) {
  const RowTimes& t = s.rowTimes;
  std::fprintf(
      stderr, "%s: run %.3f s: catalogue steps %.3f s, fix-ups %.3f s, other %.3f s; %d rebuilds\n",
      s.workload.c_str(), s.runSeconds, t.catalogue, t.fixUps,
      s.runSeconds - t.catalogue - t.fixUps, rebuilds);
  std::string perFixUp;
  for (const auto& [name, seconds] : t.perFixUp) {
    char figure[64];
    std::snprintf(figure, sizeof figure, " %.*s %.3f", int(name.size()), name.data(), seconds);
    perFixUp += figure;
  }
  std::fprintf(stderr, "%s: fix-ups (s):%s\n", s.workload.c_str(), perFixUp.c_str());
}

// Checks the run, tells its details and leaves the figures for the parent.
void finishRun(Section& s) {
  catalogue::observeScriptRows(nullptr);
  const std::vector<std::string> log = logLines(
      readText(*s.fs, platform::joinPath(s.path(kWork), driver::end_of_run_texts::kRunLogName)));
  checkRunWentThrough(s, log);
  const int rebuilds = countRebuilds(log);
  reportRowTimes(s, rebuilds);
  describeCompany((s.workload + ": company after the run").c_str(),
                  sizeOfCompany(*s.fs, s.path(kWork)));
  std::ostringstream figures;
  figures.precision(9);
  figures << s.rowTimes.catalogue << ' ' << s.rowTimes.fixUps << ' ' << rebuilds << '\n';
  writeText(*s.fs, s.path(kResults), figures.str());
}

void nothing(Section&) {}

struct Workload {
  std::string_view name;
  void (*prepare)(Section&);
  void (*run)(Section&);  // the timed part
  void (*finish)(Section&);
  bool migrates = false;  // leaves its run's figures in the results file
  bool listed = true;     // false: a step of the set-up, not printed
};

// The baseline comes first: every later line is a ratio to it.
constexpr std::string_view kBaseline = "copy";
constexpr std::string_view kFirstRun = "migrate_first";
const Workload kWorkloads[] = {
    {"generate", nothing, generateCompany, describeGenerated, false, false},
    {"copy", makeWorkCompany, copyGeneratedCompany, nothing},
    {"migrate_first", prepareFirstRun, runMigration, finishRun, true},
    {"migrate_second", prepareSecondRun, runMigration, finishRun, true},
};

const Workload* workloadNamed(std::string_view name) {
  for (const Workload& w : kWorkloads)
    if (w.name == name) return &w;
  return nullptr;
}

int runWorkload(const Workload& w, Section& s) {
  w.prepare(s);
  Stopwatch watch;
  w.run(s);
  Measurement m{watch.seconds(), peakResidentBytes()};
  w.finish(s);
  std::printf("%s\n", encodeMeasurement(m).c_str());
  return 0;
}

// --- Parent side ----------------------------------------------------------------

// A workload's measurement with a migrate run's figures.
struct Outcome {
  Measurement measurement;
  double catalogueSeconds = 0;
  double fixUpSeconds = 0;
  int rebuilds = 0;
};

Outcome readResults(platform::FileSystem& fs, const std::string& sectionDir, const Measurement& m) {
  Outcome outcome{m};
  const std::string results = platform::joinPath(sectionDir, kResults);
  std::istringstream in(readText(fs, results));
  if (!(in >> outcome.catalogueSeconds >> outcome.fixUpSeconds >> outcome.rebuilds))
    throw std::runtime_error("the run left no figures");
  checkStatus(fs.erase(results));
  return outcome;
}

// The work directory of a run is removed, but the last first run's is kept
// as the input of the second runs.
void afterRun(const Workload& w, const std::string& sectionDir) {
  const auto work = std::filesystem::path(sectionDir) / kWork;
  if (w.name != kFirstRun) {
    std::filesystem::remove_all(work);
    return;
  }
  const auto migrated = std::filesystem::path(sectionDir) / kMigrated;
  std::filesystem::remove_all(migrated);
  std::filesystem::rename(work, migrated);
}

std::optional<Outcome> runOnce(const Workload& w, const std::string& sectionDir,
                               std::uint64_t records) {
  auto m =
      runChild({"--child", "migrate", std::string(w.name), sectionDir, std::to_string(records)});
  std::optional<Outcome> outcome;
  if (m) {
    auto fs = platform::newSystemFileSystem();
    outcome = w.migrates ? readResults(*fs, sectionDir, *m) : Outcome{*m};
  }
  afterRun(w, sectionDir);
  return outcome;
}

// The fastest of the runs with its figures, and the highest peak any of them reached.
std::optional<Outcome> measure(const Workload& w, const std::string& sectionDir,
                               std::uint64_t records, int repeat) {
  std::optional<Outcome> best;
  std::uint64_t peak = 0;
  for (int i = 0; i < repeat; ++i) {
    auto outcome = runOnce(w, sectionDir, records);
    if (!outcome) return std::nullopt;
    peak = std::max(peak, outcome->measurement.peakBytes);
    if (!best || outcome->measurement.seconds < best->measurement.seconds) best = outcome;
  }
  best->measurement.peakBytes = peak;
  return best;
}

int percentOf(double part, double whole) {
  return whole > 0 ? static_cast<int>(part / whole * 100 + 0.5) : 0;
}

void printLine(const Workload& w, const std::string& suffix, const Outcome& o, double baseline) {
  const Measurement& m = o.measurement;
  std::printf("%s%s: %.3f s, %.2fx %s%s, peak %.1f MB", std::string(w.name).c_str(), suffix.c_str(),
              m.seconds, baseline > 0 ? m.seconds / baseline : 0.0, std::string(kBaseline).c_str(),
              suffix.c_str(), static_cast<double>(m.peakBytes) / kMegabyte);
  if (w.migrates) {
    std::printf(", catalogue %d%%, fix-ups %d%%, rebuilds %d",
                percentOf(o.catalogueSeconds, m.seconds), percentOf(o.fixUpSeconds, m.seconds),
                o.rebuilds);
  }
  std::printf("\n");
  std::fflush(stdout);
}

bool runSection(const Options& options, std::uint64_t records, const std::string& dir,
                const std::string& suffix) {
  double baseline = 0;
  for (const Workload& w : kWorkloads) {
    auto outcome = measure(w, dir, records, w.listed ? options.repeat : 1);
    if (!outcome) return false;
    if (!w.listed) continue;
    if (w.name == kBaseline) baseline = outcome->measurement.seconds;
    printLine(w, suffix, *outcome, baseline);
  }
  return true;
}

// Without sizes of its own the family runs one company of the usual size.
std::vector<std::uint64_t> companySizes(const Options& options) {
  if (options.sizes == Options{}.sizes) return {kDefaultRecords};
  return {options.sizes.begin(), options.sizes.end()};
}

}  // namespace

bool runMigrateFamily(const Options& options) {
  const std::vector<std::uint64_t> sizes = companySizes(options);
  std::fprintf(stderr, "migrate: build %s, seed %u, %d run(s) per workload, fastest counts\n",
               CONVERTE_BUILD_TYPE, kSeed, options.repeat);
  bool ok = true;
  for (std::uint64_t records : sizes) {
    auto dir = std::filesystem::temp_directory_path() /
               ("converte_bench_migrate_" + std::to_string(records) + "_" + std::to_string(kSeed));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::fprintf(stderr, "section %s: one company of about %llu records in %s\n",
                 sizeSuffix(records).c_str(), static_cast<unsigned long long>(records),
                 dir.c_str());
    std::string suffix;  // the line names tell the sections apart when there are several
    if (sizes.size() > 1) suffix.append("_").append(sizeSuffix(records));
    try {
      ok = runSection(options, records, dir.string(), suffix) && ok;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "section %s: %s\n", sizeSuffix(records).c_str(), e.what());
      ok = false;
    }
    std::filesystem::remove_all(dir);
  }
  return ok;
}

int runMigrateChild(const std::vector<std::string>& arguments) {
  if (arguments.size() != 3) return 2;
  const Workload* w = workloadNamed(arguments[0]);
  if (!w) return 2;
  try {
    Section s(w->name, arguments[1], std::stoull(arguments[2]));
    return runWorkload(*w, s);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", arguments[0].c_str(), e.what());
  }
  return 1;
}

}  // namespace converte::bench
