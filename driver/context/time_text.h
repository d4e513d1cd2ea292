// The time of day as the run log writes it ("hh:mm:ss", 24 hours) and as
// the elapsed time is reckoned (seconds since midnight).

#pragma once

#include <string>

#include "platform/clock.h"

namespace converte::driver {

std::string timeText(const platform::LocalTime& when);
// Seconds since midnight, with the hundredths of a second.
double secondsSinceMidnight(const platform::LocalTime& when);

}  // namespace converte::driver
