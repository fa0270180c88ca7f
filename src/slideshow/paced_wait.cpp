#include "slideshow/paced_wait.h"

#include <algorithm>
#include <cmath>

#include "slideshow/clock.h"

namespace orvanel::slideshow {

bool PumpMessages(platform::Desktop& desktop) { return forms::DispatchWaitingMessages(desktop); }

namespace {

constexpr long double kMillisecondsPerDay = 86'400'000.0L;

// The clock's whole milliseconds from now to the first reading at or past
// the deadline, at most kClockCheckMs. A clock value in days carries about
// 3e-4 ms of rounding: the tolerance keeps that from costing a whole
// millisecond when the span is whole milliseconds. Sleeping a hair short
// only costs one more short sleep, never a late end.
std::uint32_t SleepSpan(long double daysLeft) {
  const long double span = std::ceil(daysLeft * kMillisecondsPerDay - 1e-3L);
  return static_cast<std::uint32_t>(std::clamp(span, 1.0L, static_cast<long double>(kClockCheckMs)));
}

}  // namespace

void PacedWait(forms::Application& app, std::int32_t milliseconds, bool alertable) {
  auto& desktop = app.Desktop();
  app.ProcessMessages();
  const long double deadline = static_cast<long double>(Now(desktop)) + milliseconds * kWaitUnitDays;
  for (;;) {
    if (!(static_cast<long double>(Now(desktop)) < deadline)) return;
    if (PumpMessages(desktop)) return;
    // Armed from a fresh reading: the pump may have taken time, and the
    // clock may have been set.
    const long double daysLeft = deadline - static_cast<long double>(Now(desktop));
    if (daysLeft > 0 && desktop.SleepUntilMessage(SleepSpan(daysLeft), alertable) == platform::kWaitIoCompletion) {
      return;
    }
  }
}

}  // namespace orvanel::slideshow
