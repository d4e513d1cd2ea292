// The progress line over a whole run: its counter starts again at each
// company directory that is processed, and a company directory without files
// leaves it as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/driver_run.h"

namespace converte::testing {
namespace {

using Lines = std::vector<std::string>;

class RunProgressLineTest : public DriverRun {
 protected:
  // The progress lines of these texts, counted from first on, with the alias.
  static Lines counted(int first, const Lines& texts, const std::string& alias = "") {
    Lines lines;
    for (const std::string& text : texts) {
      std::string number = std::to_string(first++);
      lines.push_back(std::string(3 - number.size(), '0') + number + "/750 " + alias + " :" + text);
    }
    return lines;
  }

  // The lines of a company that a newer converter migrated: three without
  // a table, then two while its company record is still open.
  Lines newerCompany(int n) const {
    return concat({counted(1, scriptStart(n)),
                   counted(4,
                           {"A empresa ja foi convertida pelo converte 196",
                            "Você tem que utilizar um converte mais novo que a versão:196"},
                           "DADOS")});
  }
};

TEST_F(RunProgressLineTest, TheCounterRestartsAtEachCompanyAndAnEmptyDirectoryLeavesIt) {
  writeBase();
  makeNewerCompany(1);
  makeNewerCompany(2);
  makeCompany(3);                                            // no files: passed over
  std::filesystem::create_directories(company(4) + "/SUB");  // only a subdirectory
  EXPECT_TRUE(runMain("1", "4"));
  const Lines expected = concat({counted(1, {kRunStart}), newerCompany(1), newerCompany(2),
                                 counted(6, concat({reindexLines("  1", "  4"), summaryLines()}))});
  EXPECT_EQ(ui.progress->all(ui::ProgressLine::Progress), expected);
  // The run log holds the same texts without counters.
  EXPECT_EQ(logBytes().find("/750"), std::string::npos);
}

}  // namespace
}  // namespace converte::testing
