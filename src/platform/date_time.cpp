#include "platform/date_time.h"

#include <cassert>

namespace orvanel::platform {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

const std::int64_t kEpoch1899 = DaysFromCivil(1899, 12, 30);

}  // namespace

std::uint32_t MillisecondsOfDay(const DateTime& t) {
  return ((t.hour * 60u + t.minute) * 60u + t.second) * 1000u + t.millisecond;
}

double DaysSince1899(const DateTime& t) {
  const std::int64_t days = DaysFromCivil(t.year, t.month, t.day) - kEpoch1899;
  return static_cast<double>(days) + static_cast<double>(MillisecondsOfDay(t)) / kMsPerDay;
}

DateTime AddMilliseconds(const DateTime& start, std::int64_t milliseconds) {
  std::int64_t total = (DaysFromCivil(start.year, start.month, start.day)) * kMsPerDay +
                       MillisecondsOfDay(start) + milliseconds;
  std::int64_t days = total / kMsPerDay;
  std::int64_t ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  std::int64_t y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  assert(y >= 1601 && y <= 30827);
  DateTime r;
  r.year = static_cast<std::uint16_t>(y);
  r.month = static_cast<std::uint16_t>(m);
  r.day = static_cast<std::uint16_t>(d);
  r.hour = static_cast<std::uint16_t>(ms / 3'600'000);
  r.minute = static_cast<std::uint16_t>(ms / 60'000 % 60);
  r.second = static_cast<std::uint16_t>(ms / 1000 % 60);
  r.millisecond = static_cast<std::uint16_t>(ms % 1000);
  return r;
}

}  // namespace orvanel::platform
