// The embedded sample through the converte program: three companies, one
// of them already migrated by a newer converter. Checks the run log's
// driver lines in order, the files the loop deletes and the version that
// the migrated company records carry afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "errors/error_handler.h"
#include "platform/child_process.h"
#include "platform/system.h"
#include "platform/windows1252.h"
#include "storage/work_areas.h"
#include "tests/support/temp_dir.h"

namespace converte::testing {
namespace {

using Lines = std::vector<std::string>;

int runShell(const std::string& command) {
  auto child = platform::startChildProcess("/bin/sh", {"-c", command});
  if (!child) return -1;
  auto status = (*child)->wait();
  return status ? *status : -1;
}

Lines logLines(const std::string& path) {
  std::string text = platform::fromWindows1252(readFileBytes(path));
  Lines lines;
  std::size_t at = 0;
  while ((at = text.find("\r\n", at)) != std::string::npos) {
    at += 2;
    std::size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return lines;
}

// The company record's recorded migration version.
long long versionOf(const std::string& companyDir) {
  auto fs = platform::newSystemFileSystem();
  auto clock = platform::newSystemClock();
  errors::AbandonAll handler;
  storage::StorageEnv env(*fs, *clock, handler);
  env.defaultDir = companyDir;
  storage::WorkAreaList areas(env);
  if (!areas.useArea(true, {}, "DADOS", {}, false, true)) return -1;
  int position = areas.current().fieldPos("GARVIN_VER");
  if (position == 0) return -1;
  areas.current().goTop();
  storage::FieldValue value = areas.current().getField(position);
  return value.isNumber() ? static_cast<long long>(value.number().asDouble()) : -1;
}

TEST(SampleRun, MigratesTheSampleCompaniesAndLogsTheDriverLinesInOrder) {
  TempDir dir;
  const std::string sample = dir.file("sample");
  ASSERT_EQ(runShell(std::string("'") + CONVERTE_MAKE_SAMPLE + "' '" + sample + "'"), 0);
  ASSERT_EQ(runShell("cd '" + sample + "' && GARVIN_AUTOMATION='" + CONVERTE_AUTOMATION_TEST_SERVER +
                     "' '" + CONVERTE_PROGRAM + "' --ui=console 1 3 </dev/null >/dev/null 2>&1"),
            0);

  Lines lines = logLines(sample + "/converte.txt");
  // The driver's own lines and the script's company lines, in this order.
  const Lines expected{"************** Inicio da Conversão ****************",
                       "+  Firma:GARV/FIRMA1",
                       "=======Fim da Conversao==========",
                       "+  Firma:GARV/FIRMA2",
                       "A empresa ja foi convertida pelo converte 196",
                       "Você tem que utilizar um converte mais novo que a versão:196",
                       "+  Firma:GARV/FIRMA3",
                       "=======Fim da Conversao==========",
                       "Reindexando:  1 a   3",
                       "Reindexou empresas   1 a   3",
                       "************** Fim normal da Conversão ************",
                       "\f\x1A"};
  auto at = lines.begin();
  for (const std::string& line : expected) {
    at = std::find(at, lines.end(), line);
    ASSERT_NE(at, lines.end()) << "missing, or out of order: " << line;
  }
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("** Erro", 0) == 0; }),
            0);

  const std::string base = sample + "/GARV";
  EXPECT_FALSE(std::filesystem::exists(base + "/FIRMA1/DADOS.NTX"));
  EXPECT_FALSE(std::filesystem::exists(base + "/FIRMA1/XTRAB.TMP"));
  EXPECT_EQ(versionOf(base + "/FIRMA1"), 195);
  EXPECT_EQ(versionOf(base + "/FIRMA2"), 196);
  EXPECT_EQ(versionOf(base + "/FIRMA3"), 195);
  EXPECT_FALSE(std::filesystem::exists(sample + "/xTmpRel.dbf"));
  for (const auto& entry : std::filesystem::directory_iterator(sample))
    EXPECT_NE(entry.path().filename().string().rfind("LOGSITUACAO__", 0), 0u) << entry.path();
}

}  // namespace
}  // namespace converte::testing
