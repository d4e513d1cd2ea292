// Packing every table of the company when the accounting entries hold more
// than 100 deleted records. From here on deleted records stay hidden for
// the rest of the run.

#include <string>
#include <vector>

#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/context/run_log.h"
#include "errors/call_levels.h"
#include "errors/error_handler.h"
#include "migration/housekeeping.h"
#include "migration/messages.h"
#include "migration/text_format.h"

namespace converte::migration {
namespace {

constexpr std::string_view kEntriesTable = "CTLANCAM";
constexpr int kMostDeletedWithoutPack = 100;
// The count taken when the entries cannot be counted: every table is packed.
constexpr int kUncounted = 1000;

void setProgressTitle(driver::RunContext& run, std::string_view title) {
  if (run.M_ODLG_PROG) run.M_ODLG_PROG->setTitle(title);
}

std::vector<std::string> companyTables(driver::RunContext& run) {
  auto names = run.services.fs.list(run.M_PAT, "*.DBF");
  return names ? *names : std::vector<std::string>{};
}

// The deleted records of the entries table, shown while counting.
int countDeletedEntries(driver::RunContext& run) {
  storage::WorkAreaList& areas = run.services.areas;
  int count = kUncounted;
  driver::guardedStep(run, [&] {
    if (!areas.useArea(true, run.MDRIVER, kEntriesTable, {}, false)) return;
    storage::WorkArea& entries = areas.current();
    run.services.storage.setDeleted = false;
    entries.goTop();
    setProgressTitle(run, text::kTitleCountingDeleted);
    int deleted = 0;
    for (; !entries.eof(); entries.skip())
      if (entries.deleted()) ++deleted;
    areas.closeArea();
    count = deleted;
  });
  return count;
}

// Packs one table; whatever fails is passed over without a report.
void packQuietly(driver::RunContext& run, const std::string& file) {
  storage::WorkAreaList& areas = run.services.areas;
  errors::guarded(
      [&] {
        if (!areas.useArea(false, run.MDRIVER, file)) return;
        areas.current().pack();
        areas.closeArea();
      },
      [](const errors::ErrorRecord&) {});
}

void packAll(driver::RunContext& run, const std::vector<std::string>& tables) {
  driver::MGLIGAMSG(run, text::kPacking);
  for (const std::string& file : tables) {
    driver::ATUALIZA_REG_BARRA_PROG_TITULO(run, std::string(text::kPackingTable) + file);
    packQuietly(run, file);
  }
}

}  // namespace

void COMPACTADADOS(driver::RunContext& run) {
  errors::CallFrame frame("MIGRATION", "COMPACTADADOS");
  const std::vector<std::string> tables = companyTables(run);
  driver::guardedStep(run, [&] {
    int deleted = countDeletedEntries(run);
    run.services.storage.setDeleted = true;
    if (deleted > kMostDeletedWithoutPack) {
      packAll(run, tables);
    } else {
      driver::MGLIGAMSG(run, std::string(text::kPackNotNeeded) + rightAligned(deleted, 10));
    }
  });
  run.services.storage.setDeleted = true;
  setProgressTitle(run, text::kTitleCheckingTables);
}

}  // namespace converte::migration
