// Company numbers from the command line and their three-character form.

#include "driver/run_preparation.h"

#include <gtest/gtest.h>

#include <climits>

#include "driver/company_loop.h"

namespace converte::driver {
namespace {

TEST(CompanyNumbers, ReadLikeANumberAndShowInThreeCharacters) {
  const std::pair<const char*, int> numbers[] = {
      {"5", 5},  {"  12", 12}, {"007", 7},           {"abc", 0},         {"", 0},
      {"-4", -4}, {"3x", 3},   {"12.9", 12},         {"99999999999", INT_MAX},
      {"-99999999999", -INT_MAX}, {"+8", 8},
  };
  for (const auto& [text, value] : numbers) {
    SCOPED_TRACE(text);
    EXPECT_EQ(companyNumberOf(text), value);
  }
  EXPECT_EQ(threeCharacters(5), "  5");
  EXPECT_EQ(threeCharacters(999), "999");
  EXPECT_EQ(threeCharacters(1000), "***");
  EXPECT_EQ(threeCharacters(-12), "-12");
  EXPECT_EQ(threeCharacters(-100), "***");
}

TEST(CompanyDirectory, IsTheTrimmedBaseAndFirmaWithTheNumber) {
  EXPECT_EQ(companyDirectory("/dados/garv" + std::string(15, ' '), 5), "/dados/garv/FIRMA5");
  EXPECT_EQ(companyDirectory("  \\GARV ", 12), "\\GARV/FIRMA12");
}

}  // namespace
}  // namespace converte::driver
