// A clock for tests that always tells the time it was set to.

#pragma once

#include "platform/clock.h"

namespace converte::testing {

class FixedClock : public platform::Clock {
 public:
  explicit FixedClock(platform::LocalTime time = {2024, 12, 9, 14, 30, 5, 0}) : time_(time) {}
  platform::LocalTime now() override { return time_; }
  void set(platform::LocalTime time) { time_ = time; }

 private:
  platform::LocalTime time_;
};

}  // namespace converte::testing
