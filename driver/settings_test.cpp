// The settings lookup: the first line with the key and an equals sign, the
// memo layout of 80 columns that decides what a line is, and the default.

#include "driver/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system.h"
#include "tests/support/temp_dir.h"

namespace converte::driver {
namespace {

std::vector<std::string> memoLines(const std::string& text, int width = 80) {
  std::vector<std::string> lines;
  MemoLines layout(width, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  });
  layout.feed(text);
  layout.finish();
  return lines;
}

TEST(MemoLines, BreaksAtLineEndsWrapsAtTheLastBlankAndCutsWordsLongerThanTheWidth) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(memoLines("ab\r\ncd\ref\ngh"), (Lines{"ab", "cd", "ef", "gh"}));
  EXPECT_EQ(memoLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(memoLines("aaa bbb ccc", 8), (Lines{"aaa bbb", "ccc"}));
  EXPECT_EQ(memoLines("abcdefghij", 4), (Lines{"abcd", "efgh", "ij"}));
  EXPECT_EQ(memoLines("abcd efgh", 4), (Lines{"abcd", "efgh"}));
  EXPECT_EQ(memoLines("ab\x1A" "cd"), Lines{"ab"});
}

TEST(BUSCAOPINI, FirstLineWithKeyAndEqualsSignGivesTheTrimmedValue) {
  struct Case {
    std::string text;
    std::string value;
  };
  const Case cases[] = {
      {"DIRETORIO=C:\\GARV", "C:\\GARV"},
      {"; DIRETORIO antigo\r\nDIRETORIO = D:\\DADOS\r\n", "D:\\DADOS"},
      {"[GARVIN]\r\nX=1\r\nCAMINHO DIRETORIO=  /a b  \r\nDIRETORIO=/c\r\n", "/a b"},
      {"diretorio=/minusculas\r\n", ""},
      {"=DIRETORIO\r\n", "DIRETORIO"},
      {"DIRETORIO=" + std::string(75, 'x'), std::string(70, 'x')},
      // The key on a line of its own once the long line has wrapped.
      {std::string(75, 'y') + " DIRETORIO=/w\r\n", "/w"},
      {"DIRETORIO=/first\r\nDIRETORIO=/second\r\n", "/first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(BUSCAOPINI(c.text, "DIRETORIO"), c.value);
  }
}

TEST(BUSCADIRETORIOINI, DefaultsToGarvWhenTheFileIsAbsentOrYieldsNothing) {
  testing::TempDir dir;
  auto fs = platform::newSystemFileSystem();
  const std::string path = dir.file("GARVIN.INI");
  EXPECT_EQ(BUSCADIRETORIOINI(*fs, path), "\\GARV");
  testing::writeFileBytes(path, "DIRETORIO=\r\n");
  EXPECT_EQ(BUSCADIRETORIOINI(*fs, path), "\\GARV");
  // Bytes above 127 are Windows-1252 in the file.
  testing::writeFileBytes(path, "DIRETORIO=/dados/convers\xE3o\r\n");
  EXPECT_EQ(BUSCADIRETORIOINI(*fs, path), "/dados/conversão");
  // A directory of that name is no settings file.
  testing::TempDir other;
  EXPECT_EQ(BUSCADIRETORIOINI(*fs, other.path()), "\\GARV");
}

}  // namespace
}  // namespace converte::driver
