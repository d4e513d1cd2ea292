// Tests of the real platform objects: the clock tells the local time.

#include <gtest/gtest.h>
#include <time.h>

#include <tuple>

#include "platform/system.h"

namespace converte::platform {
namespace {

auto fields(const LocalTime& t) {
  return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

LocalTime localTimeOf(time_t seconds) {
  struct tm local {};
  ::localtime_r(&seconds, &local);
  return LocalTime{local.tm_year + 1900,
                   local.tm_mon + 1,
                   local.tm_mday,
                   local.tm_hour,
                   local.tm_min,
                   local.tm_sec,
                   0};
}

TEST(SystemClock, NowIsTheLocalTimeWithMilliseconds) {
  std::unique_ptr<Clock> clock = newSystemClock();
  LocalTime before = localTimeOf(::time(nullptr));
  LocalTime now = clock->now();
  LocalTime after = localTimeOf(::time(nullptr));
  EXPECT_LE(fields(before), fields(now));
  EXPECT_LE(fields(now), fields(after));
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LE(now.millisecond, 999);
  EXPECT_GE(now.year, 2024);
}

TEST(SystemClock, FileSystemFactoryGivesAWorkingFileSystem) {
  std::unique_ptr<FileSystem> fs = newSystemFileSystem();
  ASSERT_TRUE(fs);
  EXPECT_TRUE(fs->isDirectory("/"));
}

}  // namespace
}  // namespace converte::platform
