// A company and a base directory of companies: the plans of every catalogue
// table with record counts scaled to the company's size, written through
// the storage layer, and the settings file that names the base.

#include "tools/sample/sample_company.h"

#include <cmath>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <system_error>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"
#include "tools/sample/table_plan.h"
#include "tools/sample/table_writer.h"

namespace converte::sample {
namespace {

constexpr std::uint64_t kFewestEntriesDeleted = 101;  // more than 100: the company is compacted
constexpr std::uint64_t kMostEntriesDeleted = 100;

std::vector<TablePlan> planCompany(const CompanyChoices& company) {
  std::vector<TablePlan> plans;
  for (const std::string& table : catalogueTables()) {
    if (table == kDependants && !company.writesDependants) continue;
    plans.push_back(planStructure(table, company));
  }
  return plans;
}

// Settings tables hold their few records; the others share the rest of the
// company's records by their weights.
void countRecords(std::vector<TablePlan>& plans, std::uint64_t records) {
  std::uint64_t fixed = 0;
  std::uint64_t weights = 0;
  for (const TablePlan& plan : plans) {
    TableSize size = sizeOf(plan.table);
    if (size.perThousand == 0) fixed += static_cast<std::uint64_t>(size.minimum);
    weights += static_cast<std::uint64_t>(size.perThousand);
  }
  const double rest = records > fixed ? static_cast<double>(records - fixed) : 0.0;
  for (TablePlan& plan : plans) {
    TableSize size = sizeOf(plan.table);
    auto share = static_cast<std::uint64_t>(
        std::llround(rest * size.perThousand / static_cast<double>(std::max<std::uint64_t>(weights, 1))));
    plan.records = std::max(share, static_cast<std::uint64_t>(size.minimum));
    plan.deleted = plan.records * static_cast<std::uint64_t>(size.deletedPerThousand) / 1000;
  }
}

// The accounting entries decide whether the run compacts the company.
void chooseDeletedEntries(std::vector<TablePlan>& plans, const CompanyChoices& company) {
  for (TablePlan& plan : plans) {
    if (plan.table != kEntries) continue;
    plan.deleted = company.compacts ? std::max(plan.deleted, kFewestEntriesDeleted)
                                    : std::min(plan.deleted, kMostEntriesDeleted);
    plan.deleted = std::min(plan.deleted, plan.records / 2);
  }
}

std::uint64_t recordsOf(const std::vector<TablePlan>& plans, std::string_view table) {
  for (const TablePlan& plan : plans)
    if (plan.table == table) return std::max<std::uint64_t>(plan.records, 1);
  return 1;
}

void makeDirectory(const std::string& directory) {
  std::error_code failed;
  std::filesystem::create_directories(directory, failed);
  if (failed) throw std::runtime_error("sample: cannot create " + directory + ": " + failed.message());
}

void writeText(platform::FileSystem& fs, const std::string& path, const std::string& text) {
  auto file = fs.create(path);
  if (!file) throw std::runtime_error("sample: cannot create " + path);
  auto bytes = std::as_bytes(std::span<const char>(text.data(), text.size()));
  if (!(*file)->writeAt(0, bytes) || !(*file)->close())
    throw std::runtime_error("sample: cannot write " + path);
}

}  // namespace

void writeCompany(const std::string& directory, const CompanyOptions& options) {
  makeDirectory(directory);
  const CompanyChoices company = chooseCompany(options.seed);
  std::vector<TablePlan> plans;
  try {
    plans = planCompany(company);
  } catch (const std::logic_error& failure) {
    throw std::runtime_error(failure.what());
  }
  countRecords(plans, options.records);
  chooseDeletedEntries(plans, company);
  const ValueContext context{company, recordsOf(plans, kEmployees), recordsOf(plans, "SINDICAT")};

  auto fs = platform::newSystemFileSystem();
  auto clock = platform::newSystemClock();
  errors::AbandonAll handler;
  storage::StorageEnv env(*fs, *clock, handler);
  env.defaultDir = directory;
  storage::WorkAreaList areas(env);
  try {
    for (const TablePlan& plan : plans) writeTable(areas, plan, context);
  } catch (const errors::ErrorAbandoned& failure) {
    areas.closeAll();
    throw std::runtime_error(std::string("sample: ") + failure.what());
  }
}

void writeBase(const std::string& workDir, int first, int last, const CompanyOptions& options) {
  makeDirectory(workDir);
  const std::string base = platform::joinPath(workDir, "GARV");
  auto fs = platform::newSystemFileSystem();
  writeText(*fs, platform::joinPath(workDir, "GARVIN.INI"), "[GARVIN]\r\nDIRETORIO=" + base + "\r\n");
  for (int n = first; n <= last; ++n) {
    CompanyOptions company = options;
    company.seed = options.seed + static_cast<std::uint32_t>(n);
    writeCompany(platform::joinPath(base, "FIRMA" + std::to_string(n)), company);
  }
}

}  // namespace converte::sample
