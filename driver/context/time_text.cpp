// The time of day as text and as seconds since midnight.

#include "driver/context/time_text.h"

#include <cstdio>

namespace converte::driver {

std::string timeText(const platform::LocalTime& when) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", when.hour % 100, when.minute % 100,
                when.second % 100);
  return text;
}

double secondsSinceMidnight(const platform::LocalTime& when) {
  return when.hour * 3600.0 + when.minute * 60.0 + when.second + (when.millisecond / 10) / 100.0;
}

}  // namespace converte::driver
