// Guarded steps: an abandoned error record is reported and the step ends;
// any other exception is reported as an error record; the end of the
// program passes through.

#include "driver/context/guarded.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>

#include "driver/context/run_context.h"
#include "errors/gen_codes.h"
#include "platform/system.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace converte::driver {
namespace {

class GuardedStepTest : public ::testing::Test {
 protected:
  GuardedStepTest()
      : fs(platform::newSystemFileSystem()),
        env(*fs, clock, handler),
        areas(env),
        run(RunServices{*fs, clock, ui, env, areas, work.path()}) {}

  std::string onlyReport() {
    auto names = fs->list(work.path(), "LOGSITUACAO__*");
    EXPECT_TRUE(names && names->size() == 1u);
    return names && names->size() == 1u ? testing::readFileBytes(work.file(names->front())) : "";
  }

  testing::TempDir work;
  testing::FixedClock clock;
  testing::RecordingUi ui;
  errors::AbandonAll handler;
  std::unique_ptr<platform::FileSystem> fs;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  RunContext run;
};

TEST_F(GuardedStepTest, AnAbandonedErrorEndsTheStepAndIsReported) {
  errors::ErrorRecord record;
  record.genCode = errors::kGenOpen;
  record.subSystem = "DBFNTX";
  record.subCode = 1001;
  record.description = "Open error";
  record.fileName = "DADOS.DBF";
  bool finished = false;
  EXPECT_FALSE(guardedStep(run, [&] {
    throw errors::ErrorAbandoned(record);
    finished = true;
  }));
  EXPECT_FALSE(finished);
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  std::string report = onlyReport();
  EXPECT_NE(report.find("DBFNTX/1001  Open error: DADOS.DBF"), std::string::npos) << report;
  EXPECT_NE(report.find("converte 1.95.0, UI recording, "), std::string::npos) << report;
}

TEST_F(GuardedStepTest, OtherExceptionsBecomeReportedErrorRecords) {
  EXPECT_FALSE(guardedStep(run, [] { throw std::bad_alloc(); }));
  EXPECT_EQ(ui.errorDialogs.size(), 1u);
  EXPECT_NE(onlyReport().find("CONVERTE/???  std::bad_alloc"), std::string::npos);
}

TEST_F(GuardedStepTest, ADivisionByZeroEndsTheStepSilently) {
  errors::ErrorRecord record;
  record.genCode = errors::kGenZeroDivision;
  EXPECT_FALSE(guardedStep(run, [&] { throw errors::ErrorAbandoned(record); }));
  EXPECT_TRUE(ui.errorDialogs.empty());
}

TEST_F(GuardedStepTest, TheEndOfTheProgramPassesThroughNestedGuards) {
  bool after = false;
  EXPECT_THROW(guardedStep(run,
                           [&] {
                             guardedStep(run, [] { throw ProgramEnd{}; });
                             after = true;
                           }),
               ProgramEnd);
  EXPECT_FALSE(after);
  EXPECT_TRUE(ui.errorDialogs.empty());
}

TEST_F(GuardedStepTest, AStepThatRunsToItsEndIsTrue) {
  int calls = 0;
  EXPECT_TRUE(guardedStep(run, [&] { ++calls; }));
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace converte::driver
