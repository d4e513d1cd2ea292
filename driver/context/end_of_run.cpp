// The end of run: every table closed, the summary logged, the log closed
// and shown in the log viewer over a temporary table, the program ended.
// The viewer's print action runs through the system's command interpreter.

#include "driver/context/end_of_run.h"

#include <cmath>
#include <string>

#include "driver/context/end_of_run_texts.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/context/time_text.h"
#include "errors/call_levels.h"
#include "platform/file_system.h"
#include "platform/windows1252.h"
#include "storage/work_areas.h"
#include "ui/windows.h"

namespace converte::driver {
namespace {

namespace t = end_of_run_texts;

// n right-aligned in width characters; asterisks when it does not fit.
std::string rightAligned(long long n, int width) {
  std::string digits = std::to_string(n);
  auto size = static_cast<std::size_t>(width);
  if (digits.size() > size) return std::string(size, '*');
  return std::string(size - digits.size(), ' ') + digits;
}

void logSummary(RunContext& run, bool errorFlag) {
  if (errorFlag) {
    MGLIGAMSG(run, t::kErrorEnd);
    MGLIGAMSG(run, t::kErrorEndNote);
  } else {
    MGLIGAMSG(run, t::kNormalEnd);
  }
  if (run.VERROS != 0) {
    MGLIGAMSG(run, "");
    MGLIGAMSG(run, t::kSlashes);
    MGLIGAMSG(run, std::string(t::kCountBefore) + rightAligned(run.VERROS, t::kCountWidth) +
                       std::string(t::kCountAfter));
    MGLIGAMSG(run, "");
  }
  const platform::LocalTime now = run.services.clock.now();
  MGLIGAMSG(run, t::kElapsedTitle);
  MGLIGAMSG(run, std::string(t::kStart) + run.NTINI);
  MGLIGAMSG(run, std::string(t::kEnd) + timeText(now));
  MGLIGAMSG(run, "");
  const double elapsed = secondsSinceMidnight(now) - run.STEMPOINI;
  MGLIGAMSG(run, std::string(t::kElapsed) + rightAligned(std::llround(elapsed), t::kElapsedWidth));
  MGLIGAMSG(run, "");
  MGLIGAMSG(run, t::kFormFeed);
}

// The viewer's rows: CAMPO1 of every record of the temporary table.
class ViewTableRows final : public ui::GridSource {
 public:
  explicit ViewTableRows(storage::WorkArea& area) : area_(area) {}
  std::size_t rowCount() override { return area_.recCount(); }
  std::string row(std::size_t index) override {
    area_.goTo(static_cast<std::uint32_t>(index + 1));
    area_.readField(1, value_);
    return value_.isString() ? platform::fromWindows1252(value_.string()) : std::string();
  }

 private:
  storage::WorkArea& area_;
  storage::FieldValue value_;
};

storage::Structure viewTableStructure() {
  return {{std::string(t::kViewFirstColumn), "C", t::kViewColumnWidth, 0, {}},
          {std::string(t::kViewSecondColumn), "C", t::kViewColumnWidth, 0, {}}};
}

std::string viewTablePath(const RunContext& run) {
  return platform::joinPath(run.services.workDir.empty() ? "." : run.services.workDir, t::kViewTable);
}

ui::LogViewerGeometry viewerGeometry(const RunContext& run) {
  return {run.XRES, run.MRESVERT, run.MRESHORIZBRW, run.MRESVERTBRW};
}

// Creates and fills the temporary table, shows it until the operator
// closes the viewer; area is set to the table's work area once it is open.
void showInViewer(RunContext& run, const std::string& fileName, int& area) {
  storage::WorkAreaList& areas = run.services.areas;
  const std::string table = viewTablePath(run);
  areas.createTable(table, viewTableStructure());
  if (!areas.useArea(true, {}, table, {}, false)) return;
  area = areas.currentNumber();
  areas.transferSdf(false, fileName);
  areas.current().goTop();
  ViewTableRows rows(areas.current());
  run.services.ui.showLogViewer(ui::logViewerSpec(run.resources, viewerGeometry(run)), rows,
                                [&] { SIMPREL(run, fileName); });
}

// Closes the temporary table and deletes its files, also when the viewer
// failed half-way.
void removeViewTable(RunContext& run, int area) {
  storage::WorkAreaList& areas = run.services.areas;
  if (area != 0) {
    areas.selectArea(area);
    areas.closeArea();
  }
  platform::FileSystem& fs = run.services.fs;
  const std::string table = viewTablePath(run);
  (void)fs.erase(table + std::string(t::kViewTableFile));
  for (std::string_view companion : t::kViewCompanions) {
    const std::string path = table + std::string(companion);
    if (fs.exists(path)) (void)fs.erase(path);
  }
}

}  // namespace

void MGSAIR(RunContext& run, bool errorFlag) {
  errors::CallFrame frame("CONVERTE", "MGSAIR");
  MGSAIR2(run, errorFlag);
}

void MGSAIR2(RunContext& run, bool errorFlag) {
  errors::CallFrame frame("CONVERTE", "MGSAIR2");
  guardedStep(run, [&] {
    run.services.areas.closeAll();
    logSummary(run, errorFlag);
    run.log.close();
    const std::string log =
        platform::joinPath(run.services.workDir.empty() ? "." : run.services.workDir, t::kRunLogName);
    VIS_TXT(run, log);
  });
  throw ProgramEnd{};
}

bool VIS_TXT(RunContext& run, const std::string& fileName) {
  errors::CallFrame frame("CONVERTE", "VIS_TXT");
  storage::WorkAreaList& areas = run.services.areas;
  const int home = areas.currentNumber();
  int area = 0;
  guardedStep(run, [&] { showInViewer(run, fileName, area); });
  guardedStep(run, [&] {
    removeViewTable(run, area);
    areas.selectArea(home);
  });
  return true;
}

bool SIMPREL(RunContext& run, const std::string& fileName) {
  errors::CallFrame frame("CONVERTE", "SIMPREL");
  if (!run.services.shell) return true;
  run.VCOMANDO = run.services.shell->openFileCommand(fileName);
  ERUN(run, run.VCOMANDO);
  return true;
}

void ERUN(RunContext& run, const std::string& command) {
  errors::CallFrame frame("CONVERTE", "ERUN");
  // A command that fails, or a file without an associated application, is
  // not reported: the viewer stays open.
  if (run.services.shell) (void)run.services.shell->run(command);
}

}  // namespace converte::driver
