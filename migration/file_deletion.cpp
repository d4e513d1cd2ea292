// Deleting files of the company directory: every file matching a pattern,
// and one table with its index and text files. Failed deletions are passed
// over; the company loop tests afterwards what survived.

#include <string>
#include <vector>

#include "driver/context/run_context.h"
#include "errors/call_levels.h"
#include "migration/housekeeping.h"
#include "platform/file_system.h"

namespace converte::migration {
namespace {

constexpr const char* kTableFileExtensions[] = {".DBF", ".NTX", ".TXT"};

}  // namespace

void ENOVOAPAGAARQ(driver::RunContext& run, std::string_view pattern) {
  errors::CallFrame frame("MIGRATION", "ENOVOAPAGAARQ");
  platform::FileSystem& fs = run.services.fs;
  // A pattern without a directory part lies in the company directory.
  std::string_view dir = platform::dirName(pattern);
  auto names = fs.list(dir.empty() ? std::string_view(run.M_PAT) : dir, platform::baseName(pattern));
  if (!names) return;
  for (const std::string& name : *names) (void)fs.erase(run.M_PAT + "\\" + name);
}

void APAGA_ARQ(driver::RunContext& run, std::string_view name) {
  errors::CallFrame frame("MIGRATION", "APAGA_ARQ");
  platform::FileSystem& fs = run.services.fs;
  for (const char* extension : kTableFileExtensions) {
    std::string path = run.M_PTDIRET3 + "\\" + std::string(name) + extension;
    if (fs.exists(path)) (void)fs.erase(path);
  }
}

}  // namespace converte::migration
