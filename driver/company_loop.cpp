// The company loop and its steps for one company directory.

#include "driver/company_loop.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "catalogue/script.h"
#include "driver/companies_on_disk.h"
#include "driver/context/end_of_run.h"
#include "driver/context/guarded.h"
#include "driver/context/run_context.h"
#include "driver/reindex_request.h"
#include "driver/texts.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"
#include "platform/file_system.h"

namespace converte::driver {
namespace {

std::string trimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The names of the company directory's files matching pattern.
std::vector<std::string> companyFiles(RunContext& run, std::string_view pattern) {
  auto names = run.services.fs.list(run.M_PAT, pattern);
  return names ? std::move(*names) : std::vector<std::string>{};
}

bool anyCompanyFile(RunContext& run, std::string_view pattern) {
  return !companyFiles(run, pattern).empty();
}

std::string inCompany(const RunContext& run, std::string_view pattern) {
  return platform::joinPath(run.M_PAT, pattern);
}

void enterCompanyDirectory(RunContext& run) {
  run.M_PAT = companyDirectory(run.XDIR, run.EMPRESA);
  run.M_PTDIRET3 = run.M_PAT;
  run.services.storage.defaultDir = run.M_PAT;
  run.services.storage.searchPath = {run.M_PAT};
}

// Copies left by an interrupted table migration: logged, shown, and the
// loop left. True when there were any.
bool stopsAtLeftoverCopies(RunContext& run) {
  std::vector<std::string> copies = companyFiles(run, texts::kLeftoverTables);
  if (copies.empty()) return false;
  for (std::string_view line : texts::kLeftoverLog) MGLIGAMSG(run, line);
  std::string box;
  for (std::string_view line : texts::kLeftoverBox) box.append(line).append("\r");
  run.services.ui.messageBox(texts::kLeftoverTitle, box);
  for (const std::string& name : copies) MGLIGAMSG(run, name);
  return true;
}

void deleteEarlierLeftovers(RunContext& run) {
  if (EFILE(run, texts::kTableCopies)) XRUN(run, inCompany(run, texts::kTableCopies));
  XRUN(run, inCompany(run, texts::kFiscalTemporaries));
  if (EFILE(run, texts::kPayrollTemporaries)) XRUN(run, inCompany(run, texts::kPayrollTemporaries));
}

// Index files are deleted; one that survives is held by a user of the
// suite, and the program ends at once.
void deleteIndexFiles(RunContext& run) {
  if (!EFILE(run, texts::kIndexFiles)) return;
  XRUN(run, inCompany(run, texts::kIndexFiles));
  if (!EFILE(run, texts::kIndexFiles)) return;
  MGLIGAMSG(run, texts::kUsersStillIn);
  throw ProgramEnd{};
}

enum class PassResult { Next, LeaveLoop };

PassResult runCompany(RunContext& run) {
  enterCompanyDirectory(run);
  if (!anyCompanyFile(run, texts::kAnyFile)) return PassResult::Next;
  run.M_OINDICES = 0;
  if (stopsAtLeftoverCopies(run)) return PassResult::LeaveLoop;
  deleteEarlierLeftovers(run);
  deleteIndexFiles(run);
  if (!catalogue::FOESTRU(run)) return PassResult::LeaveLoop;
  XRUN(run, inCompany(run, texts::kWorkFiles));
  return PassResult::Next;
}

}  // namespace

std::string companyDirectory(std::string_view base, long long n) {
  return trimBlanks(base) + "/" + std::string(texts::kCompanyPrefix) + std::to_string(n);
}

std::string threeCharacters(long long n) {
  std::string digits = std::to_string(n);
  if (digits.size() > 3) return "***";
  return std::string(3 - digits.size(), ' ') + digits;
}

namespace {

// The message pump runs on the 3rd, 5th, 7th ... pass.
bool isPumpPass(long long pass) { return pass >= 3 && pass % 2 == 1; }

// True when a pump pass lies in first..last.
bool anyPumpPass(long long first, long long last) {
  long long pass = std::max(first, 3LL);
  if (pass % 2 == 0) ++pass;
  return pass <= last;
}

// Passes over the companies from n on that have no directory, up to the
// next one that has: each counts as a pass, the pump runs once for the
// stretch when one of its passes is a pump pass, and the last of them is
// entered as the loop enters every company. Returns that last number.
long long skipMissingCompanies(RunContext& run, const std::set<long long>& onDisk, long long n,
                               long long& pass) {
  const auto next = onDisk.upper_bound(n);
  const long long last = next == onDisk.end() ? run.VEMPFIM : *next - 1;
  const long long firstPass = pass + 1;
  pass += last - n + 1;
  if (anyPumpPass(firstPass, pass)) run.services.ui.pumpOnce();
  run.EMPRESA = static_cast<int>(last);
  enterCompanyDirectory(run);
  return last;
}

}  // namespace

void runCompanyLoop(RunContext& run) {
  const std::optional<std::set<long long>> onDisk =
      companiesOnDisk(run.services.fs, trimBlanks(run.XDIR), run.VEMPINI, run.VEMPFIM);
  long long pass = 0;
  // A wide counter: the last number may be the largest int.
  for (long long n = run.VEMPINI; n <= run.VEMPFIM; ++n) {
    if (onDisk && !onDisk->contains(n)) {
      n = skipMissingCompanies(run, *onDisk, n, pass);
      continue;
    }
    ++pass;
    if (isPumpPass(pass)) run.services.ui.pumpOnce();
    run.EMPRESA = static_cast<int>(n);
    if (runCompany(run) == PassResult::LeaveLoop) break;
  }
}

void afterCompanyLoop(RunContext& run) {
  if (run.VREINDEIXA == "S")
    GVEXEC_DLL_GARVIN(run, threeCharacters(run.VEMPINI), threeCharacters(run.VEMPFIM));
  MGSAIR2(run);
}

bool XRUN(RunContext& run, std::string_view pattern) {
  errors::CallFrame frame("CONVERTE", "XRUN");
  migration::ENOVOAPAGAARQ(run, pattern);
  return true;
}

bool EFILE(RunContext& run, std::string_view name) {
  errors::CallFrame frame("CONVERTE", "EFILE");
  if (name.find_first_of("*?") == std::string_view::npos)
    return storage::fileExists(run.services.storage, name);
  // A pattern: any matching file in its directory, or, without a directory
  // part, in the default directory or a directory of the search path.
  platform::FileSystem& fs = run.services.fs;
  auto matches = [&](std::string_view dir) {
    auto names = fs.list(dir, platform::baseName(name));
    return names && !names->empty();
  };
  if (platform::hasDirectoryPart(name)) return matches(platform::dirName(name));
  const storage::StorageEnv& storage = run.services.storage;
  if (matches(storage.defaultDir)) return true;
  for (const std::string& dir : storage.searchPath)
    if (matches(dir)) return true;
  return false;
}

}  // namespace converte::driver
