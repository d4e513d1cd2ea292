// The real platform objects on POSIX: the file system, and the clock that
// reads the local date and time.

#include <time.h>

#include <memory>

#include "platform/posix/posix_file_system.h"
#include "platform/system.h"

namespace converte::platform {
namespace {

class PosixClock : public Clock {
 public:
  LocalTime now() override {
    timespec stamp{};
    ::clock_gettime(CLOCK_REALTIME, &stamp);
    struct tm local {};
    ::localtime_r(&stamp.tv_sec, &local);
    return LocalTime{local.tm_year + 1900,
                     local.tm_mon + 1,
                     local.tm_mday,
                     local.tm_hour,
                     local.tm_min,
                     local.tm_sec,
                     static_cast<int>(stamp.tv_nsec / 1'000'000)};
  }
};

}  // namespace

std::unique_ptr<FileSystem> newSystemFileSystem() {
  return std::make_unique<posix::PosixFileSystem>();
}

std::unique_ptr<Clock> newSystemClock() { return std::make_unique<PosixClock>(); }

}  // namespace converte::platform
