#pragma once
#include <vector>

#include "platform/desktop.h"

namespace orvanel::forms {

// The number of monitors: the list's length, or the desktop's count while
// the list is empty; of the list given, or of the desktop's list now.
int MonitorCount(platform::Desktop& desktop, const std::vector<platform::Rect>& listed);
int MonitorCount(platform::Desktop& desktop);

// The index of the monitor a window rectangle lies on: the one it overlaps
// most, else the nearest one; -1 when there is no monitor at all.
int MonitorIndexOf(const std::vector<platform::Rect>& monitors, const platform::Rect& window);

}  // namespace orvanel::forms
