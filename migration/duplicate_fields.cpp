// The duplicate-field test: every table of the company is opened and its
// structure searched for a field name that occurs twice.

#include <cstddef>
#include <string>
#include <vector>

#include "driver/context/end_of_run.h"
#include "driver/context/run_context.h"
#include "driver/context/run_log.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"
#include "migration/messages.h"
#include "migration/table_opener.h"
#include "migration/text_format.h"

namespace converte::migration {
namespace {

constexpr std::size_t kShortestTested = 6;
constexpr std::size_t kLongestTested = 12;
constexpr int kProgressNameColumns = 15;

// Names outside 8.3 lengths, and short aliases of long names, are passed over.
bool isTested(std::string_view fileName) {
  if (fileName.size() < kShortestTested || fileName.size() > kLongestTested) return false;
  return fileName.find("~1") == std::string_view::npos;
}

}  // namespace

void ARQ_CH_DUPL(driver::RunContext& run) {
  errors::CallFrame frame("MIGRATION", "ARQ_CH_DUPL");
  auto listed = run.services.fs.list(run.M_PAT, "*.DBF");
  std::vector<std::string> tables = listed ? *listed : std::vector<std::string>{};
  driver::ATUALIZA_REG_BARRA_PROG_TITULO(run, text::kCheckingDuplicates);
  for (const std::string& file : tables) {
    driver::ATUALIZA_REG_BARRA_PROG_TITULO(
        run, std::string(text::kCheckingDuplicates) + centred(file, kProgressNameColumns));
    CH_DUP(run, file);
  }
}

bool CH_DUP(driver::RunContext& run, std::string_view fileName) {
  errors::CallFrame frame("MIGRATION", "CH_DUP");
  if (!isTested(fileName)) return true;
  if (!ABRE_ARQ(run, OpenFlags{.exclusive = true}, fileName)) {
    driver::MGLIGAMSG(run, std::string(text::kOpenError) + std::string(fileName));
    run.VERROS += 1;
    driver::MGSAIR(run, true);
  }
  storage::WorkArea& table = run.services.areas.current();
  const std::vector<storage::StructureRow> fields = table.structure();
  bool duplicates = false;
  for (const storage::StructureRow& field : fields) {
    std::size_t count = 0;
    for (const storage::StructureRow& other : fields)
      if (other.name == field.name) ++count;
    if (count == 1) continue;
    duplicates = true;
    driver::MGLIGAMSG(run, std::string(text::kTableDuplicate) + std::string(fileName) +
                               std::string(text::kTableDuplicateField) + field.name);
  }
  run.services.areas.closeArea();
  if (!duplicates) return true;
  run.services.ui.messageBox("", std::string(text::kDuplicatesBox) + std::string(fileName) +
                                     std::string(text::kDuplicatesBoxTail));
  return false;
}

}  // namespace converte::migration
