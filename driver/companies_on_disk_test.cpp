// Finding the company directories of a range: which names count as a
// company's directory, and one listing of a real base directory.

#include "driver/companies_on_disk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/system.h"
#include "tests/support/temp_dir.h"

namespace converte::driver {
namespace {

TEST(CompaniesOnDisk, OnlyTheNamesTheLoopBuildsAreCompanyDirectories) {
  const std::pair<const char*, std::optional<long long>> cases[] = {
      {"FIRMA1", 1},        {"firma27", 27},     {"Firma999", 999},  {"FIRMA0", 0},
      {"FIRMA05", {}},      {"FIRMA", {}},       {"FIRMA1A", {}},    {"FIRMAS", {}},
      {"XFIRMA1", {}},      {"FIRMA-1", {}},     {"FIRMA 1", {}},
      {"FIRMA99999999999999999999", {}},
  };
  for (const auto& [name, number] : cases) EXPECT_EQ(companyDirectoryNumber(name), number) << name;
}

TEST(CompaniesOnDisk, ListsTheCompanyDirectoriesOfTheRangeOnly) {
  testing::TempDir work;
  for (const char* name : {"FIRMA1", "firma4", "FIRMA12", "FIRMA012", "OUTRA"})
    std::filesystem::create_directories(work.path() + "/" + name);
  std::ofstream(work.path() + "/FIRMA2") << "a file, not a company";
  auto fs = platform::newSystemFileSystem();
  EXPECT_EQ(companiesOnDisk(*fs, work.path(), 1, 12), (std::set<long long>{1, 4, 12}));
  EXPECT_EQ(companiesOnDisk(*fs, work.path(), 2, 11), (std::set<long long>{4}));
  EXPECT_EQ(companiesOnDisk(*fs, work.path() + "/missing", 1, 999), std::set<long long>{});
}

}  // namespace
}  // namespace converte::driver
