#include "slideshow/clock.h"

#include <cmath>

namespace orvanel::slideshow {

double Now(platform::Desktop& desktop) { return platform::DaysSince1899(desktop.LocalTime()); }

std::int64_t MillisecondSpan(double a, double b) {
  // A day count near 46,000 holds a millisecond only to about 1e-3 ms, so a
  // span of exactly 150 ms can come out as 149.9999; rounding to whole
  // microseconds first keeps whole spans whole before the truncation.
  const auto microseconds = std::llround(std::fabs(a - b) * 86'400'000'000.0);
  return static_cast<std::int64_t>(microseconds / 1000);
}

}  // namespace orvanel::slideshow
