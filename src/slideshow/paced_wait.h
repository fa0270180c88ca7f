#pragma once
// Waiting on the user-interface thread without stopping it: the presenter's
// pauses between fade steps keep painting, the slideshow timer and the input
// that ends the saver flowing, and end early on the thread's quit message.
#include <cstdint>

#include "platform/forms/application.h"

namespace orvanel::slideshow {

// One wait unit in days: 1.00224 ms of clock time for each millisecond asked.
inline constexpr long double kWaitUnitDays = 1.16e-8L;

// The longest one sleep of a wait lasts before the clock is read again: a
// clock set forward or back during a wait is noticed within this.
inline constexpr std::uint32_t kClockCheckMs = 50;

// Dispatches every waiting message to its window. Returns true when it met
// the quit message, which it posts again for the main loop; false once the
// queue is empty. Applies none of the application's filters.
bool PumpMessages(platform::Desktop& desktop);

// Waits `milliseconds` wait units on the local wall clock: first the
// application handles what is pending, then the queue is pumped whenever a
// message arrives until the deadline, a quit message, or (alertable) an I/O
// completion. In between the thread sleeps: until a message comes, the
// deadline's millisecond, or kClockCheckMs, whichever is first.
void PacedWait(forms::Application& app, std::int32_t milliseconds, bool alertable);

}  // namespace orvanel::slideshow
