#pragma once
#include <vector>

#include "platform/desktop.h"

namespace orvanel::forms {

// The monitors in the desktop's order, as listed now.
std::vector<platform::Rect> Monitors(platform::Desktop& desktop);

// The number of monitors: the list's length, or the desktop's count while
// the list is empty.
int MonitorCount(platform::Desktop& desktop);

// The index of the monitor a window rectangle lies on: the one it overlaps
// most, else the nearest one; -1 when there is no monitor at all.
int MonitorIndexOf(const std::vector<platform::Rect>& monitors, const platform::Rect& window);

}  // namespace orvanel::forms
