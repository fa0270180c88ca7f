#pragma once
// The wall clock the slideshow paces itself by: the local date and time as
// days since 1899-12-30, in steps of one millisecond.
#include <cstdint>

#include "platform/desktop.h"

namespace orvanel::slideshow {

double Now(platform::Desktop& desktop);

// The whole milliseconds between two clock values: |a - b| days in
// milliseconds, truncated toward zero.
std::int64_t MillisecondSpan(double a, double b);

}  // namespace orvanel::slideshow
