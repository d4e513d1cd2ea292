// Makes the embedded sample: a working directory holding GARVIN.INI, whose
// base directory GARV (relative to it) holds company directories for a
// first run of converte:
//   converte_make_sample <directory> [--seed N] [--records N] [--companies N]
// FIRMA1 and FIRMA3 onwards are generated companies of about N records each
// in the structure of an older release (company n with seed + n; FIRMA1
// with index files and a work file left behind by the suite); FIRMA2 is a
// company already migrated by a newer converter, which the run leaves
// untouched. Defaults: seed 1, 3000 records, 3 companies.

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/field_value.h"
#include "storage/storage_env.h"
#include "storage/work_areas.h"
#include "tools/sample/sample_company.h"

namespace {

using namespace converte;

struct Arguments {
  std::string root;
  sample::CompanyOptions company{1, 3000};
  int companies = 3;
};

constexpr std::string_view kUsage =
    "usage: converte_make_sample <directory> [--seed N] [--records N] [--companies N]\n";
constexpr int kNewerVersion = 196;  // the version of a converter newer than this one

std::optional<unsigned long long> numberOf(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoull(text);
}

std::optional<Arguments> readArguments(const std::vector<std::string>& words) {
  if (words.empty() || words.size() % 2 == 0 || words[0].starts_with("-")) return std::nullopt;
  Arguments arguments;
  arguments.root = words[0];
  for (std::size_t i = 1; i + 1 < words.size(); i += 2) {
    auto value = numberOf(words[i + 1]);
    if (!value) return std::nullopt;
    if (words[i] == "--seed") {
      arguments.company.seed = static_cast<std::uint32_t>(*value);
    } else if (words[i] == "--records") {
      arguments.company.records = *value;
    } else if (words[i] == "--companies" && *value >= 1 && *value <= 999) {
      arguments.companies = static_cast<int>(*value);
    } else {
      return std::nullopt;
    }
  }
  return arguments;
}

void writeFile(platform::FileSystem& fs, const std::string& path, const std::string& bytes) {
  auto file = fs.create(path);
  auto data = std::as_bytes(std::span<const char>(bytes.data(), bytes.size()));
  if (!file || !(*file)->writeAt(0, data) || !(*file)->close())
    throw std::runtime_error("cannot write " + path);
}

// A company whose record a newer converter has stamped: only its DADOS.
void writeNewerCompany(platform::FileSystem& fs, const std::string& dir) {
  std::filesystem::create_directories(dir);
  auto clock = platform::newSystemClock();
  errors::AbandonAll handler;
  storage::StorageEnv env(fs, *clock, handler);
  env.defaultDir = dir;
  storage::WorkAreaList areas(env);
  const storage::Structure structure{{"EMPRESA", "C", 40, 0, {}},   {"PATRO_CNPJ", "C", 14, 0, {}},
                                     {"MASC_FIL", "C", 20, 0, {}},  {"TAMMASC", "N", 2, 0, {}},
                                     {"ARQ_PAR", "C", 1, 0, {}},    {"EXONERACAO", "C", 1, 0, {}},
                                     {"PERINICIAL", "D", 8, 0, {}}, {"GARVIN_VER", "N", 3, 0, {}}};
  const std::vector<storage::FieldValue> row{
      storage::FieldValue("EMPRESA JA CONVERTIDA LTDA"), storage::FieldValue("98765432000110"),
      storage::FieldValue("999"), storage::Number::ofInteger(10, 2), storage::FieldValue("S"),
      storage::FieldValue("N"), storage::Date{2024, 1, 1}, storage::Number::ofInteger(kNewerVersion, 3)};
  if (!areas.createTable("DADOS", structure, {}, true) || !areas.current().append())
    throw std::runtime_error("cannot write the company record in " + dir);
  for (std::size_t i = 0; i < row.size(); ++i) areas.current().putField(static_cast<int>(i) + 1, row[i]);
  areas.closeAll();
}

// The leftovers of the suite that the run deletes before it migrates.
void leaveSuiteFiles(platform::FileSystem& fs, const std::string& dir) {
  writeFile(fs, platform::joinPath(dir, "DADOS.NTX"), std::string(1024, '\0'));
  writeFile(fs, platform::joinPath(dir, "XTRAB.TMP"), "work file\r\n");
}

void makeSample(const Arguments& arguments) {
  auto fs = platform::newSystemFileSystem();
  std::filesystem::create_directories(arguments.root);
  writeFile(*fs, platform::joinPath(arguments.root, "GARVIN.INI"),
            "[GARVIN]\r\n; base directory of the companies\r\nDIRETORIO=GARV\r\n");
  const std::string base = platform::joinPath(arguments.root, "GARV");
  for (int n = 1; n <= arguments.companies; ++n) {
    const std::string dir = platform::joinPath(base, "FIRMA" + std::to_string(n));
    if (n == 2) {
      writeNewerCompany(*fs, dir);
      continue;
    }
    sample::CompanyOptions company = arguments.company;
    company.seed += static_cast<std::uint32_t>(n);
    sample::writeCompany(dir, company);
    if (n == 1) leaveSuiteFiles(*fs, dir);
  }
}

}  // namespace

int main(int argc, char** argv) {
  auto arguments = readArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!arguments) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    makeSample(*arguments);
  } catch (const std::exception& failure) {
    std::cerr << "converte_make_sample: cannot write the sample in " << arguments->root << ": "
              << failure.what() << '\n';
    return 1;
  }
  return 0;
}
