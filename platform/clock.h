// The clock seam: the local date and time, for header dates, log names and
// log lines. Thread rule: one thread.

#pragma once

namespace converte::platform {

struct LocalTime {
  int year = 1900;  // four digits
  int month = 1;    // 1-12
  int day = 1;      // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
};

}  // namespace converte::platform
