#pragma once
// Calendar time as the desktop reports it, and the day count the saver
// measures spans with.
#include <cstdint>

namespace orvanel::platform {

struct DateTime {
  std::uint16_t year = 1899;
  std::uint16_t month = 12;
  std::uint16_t day = 30;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t millisecond = 0;
  bool operator==(const DateTime&) const = default;
};

// Days since 1899-12-30 00:00, the fraction holding the time of day in steps
// of one millisecond.
double DaysSince1899(const DateTime& t);

// Milliseconds since midnight, the value the random generator is seeded with.
std::uint32_t MillisecondsOfDay(const DateTime& t);

// The calendar time a given number of milliseconds after `start`.
DateTime AddMilliseconds(const DateTime& start, std::int64_t milliseconds);

}  // namespace orvanel::platform
