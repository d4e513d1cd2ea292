// Tests of the path helpers: splitting and joining with either separator, and
// the wildcard match that directory listings use.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace converte::platform {
namespace {

TEST(Paths, HasDirectoryPartSeesEitherSeparatorOrADrive) {
  struct Case {
    std::string_view name;
    bool expected;
  };
  const Case cases[] = {
      {"FOO.DBF", false},  {"", false},    {"a/b", true},    {"a\\b", true},  {".\\x.txt", true},
      {"C:FOO.DBF", true}, {"c:\\", true}, {"1:FOO", false}, {"FOO:", false}, {"\\FIRMA1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name));
    EXPECT_EQ(hasDirectoryPart(c.name), c.expected);
  }
}

TEST(Paths, JoinPathPutsOneSeparatorInTheDirectorysStyle) {
  struct Case {
    std::string_view dir, name, expected;
  };
  const Case cases[] = {
      {"", "A.DBF", "A.DBF"},
      {"dir", "A.DBF", "dir/A.DBF"},
      {"dir/", "A.DBF", "dir/A.DBF"},
      {"dir\\", "A.DBF", "dir\\A.DBF"},
      {"C:\\BASE\\FIRMA1", "A.DBF", "C:\\BASE\\FIRMA1\\A.DBF"},
      {"a\\b/c", "A.DBF", "a\\b/c/A.DBF"},
      {"/tmp/x", "A.DBF", "/tmp/x/A.DBF"},
      {"C:", "A.DBF", "C:A.DBF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir) + " + " + std::string(c.name));
    EXPECT_EQ(joinPath(c.dir, c.name), c.expected);
  }
}

TEST(Paths, DirNameAndBaseNameSplitAtTheLastSeparator) {
  struct Case {
    std::string_view path, dir, base;
  };
  const Case cases[] = {
      {"FOO.DBF", "", "FOO.DBF"},
      {"dir/FOO.DBF", "dir", "FOO.DBF"},
      {"a\\b\\c.dbf", "a\\b", "c.dbf"},
      {"a/b\\c.dbf", "a/b", "c.dbf"},
      {"/foo", "/", "foo"},
      {"C:\\foo", "C:\\", "foo"},
      {"C:foo", "C:", "foo"},
      {"dir/", "dir", ""},
      {".\\converte.txt", ".", "converte.txt"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path));
    EXPECT_EQ(dirName(c.path), c.dir);
    EXPECT_EQ(baseName(c.path), c.base);
  }
}

TEST(Paths, MatchesPatternWithStarAndQuestionMarkIgnoringCase) {
  struct Case {
    std::string_view name, pattern;
    bool expected;
  };
  const Case cases[] = {
      {"CTLANCAM.DBF", "*.DBF", true},
      {"ctlancam.dbf", "*.DBF", true},
      {"CTLANCAM.DBT", "*.DBF", false},
      {"CTLANCAM.DBFX", "*.DBF", false},
      {"CPCTLANC.DBF", "CP*.DBF", true},
      {"cp.dbf", "CP*.DBF", true},
      {"XCP.DBF", "CP*.DBF", false},
      {"A.NTX", "*.??X", true},
      {"B.N1X", "*.??x", true},
      {"A.NX", "*.??X", false},
      {"A.NTXX", "*.??X", false},
      {"A.B.NTX", "*.??X", true},
      {"A.DBF", "?.DBF", true},
      {"AB.DBF", "?.DBF", false},
      {".DBF", "?.DBF", false},
      {"abcbc", "a*bc", true},
      {"ab", "a*b*c", false},
      {"", "*", true},
      {"A", "", false},
      {"", "", true},
      {"a*b", "A*B", true},
      {"FOO", "foo", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + std::string(c.pattern));
    EXPECT_EQ(matchesPattern(c.name, c.pattern), c.expected);
  }
}

TEST(Paths, FinalDotStarAlsoMatchesNamesWithoutExtension) {
  struct Case {
    std::string_view name, pattern;
    bool expected;
  };
  const Case cases[] = {
      {"xTmpRel.dbf", "x*.*", true},
      {"XFOO", "x*.*", true},
      {"x", "x*.*", true},
      {"AX.DBF", "x*.*", false},
      {"README", "*.*", true},
      {"CPFOO", "CP*.*", true},
      {"A", "a.*", true},
      {"A.DBT", "a.*", true},
      {"AB", "a.*", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + std::string(c.pattern));
    EXPECT_EQ(matchesPattern(c.name, c.pattern), c.expected);
  }
}

}  // namespace
}  // namespace converte::platform
