#include "platform/forms/monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace orvanel::forms {

int MonitorCount(platform::Desktop& desktop, const std::vector<platform::Rect>& listed) {
  if (!listed.empty()) return static_cast<int>(listed.size());
  return desktop.Metric(platform::SystemMetric::kMonitorCount);
}

int MonitorCount(platform::Desktop& desktop) { return MonitorCount(desktop, desktop.MonitorRects()); }

int MonitorIndexOf(const std::vector<platform::Rect>& monitors, const platform::Rect& window) {
  int best = -1;
  std::int64_t bestOverlap = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const auto& m = monitors[i];
    const std::int64_t w = std::max(0, std::min(m.right, window.right) - std::max(m.left, window.left));
    const std::int64_t h = std::max(0, std::min(m.bottom, window.bottom) - std::max(m.top, window.top));
    if (w * h > bestOverlap) {
      bestOverlap = w * h;
      best = static_cast<int>(i);
    }
  }
  if (best >= 0) return best;
  // No overlap: the monitor nearest to the window's rectangle.
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const auto& m = monitors[i];
    const std::int64_t dx = std::max({0, m.left - window.right, window.left - m.right});
    const std::int64_t dy = std::max({0, m.top - window.bottom, window.top - m.bottom});
    if (dx * dx + dy * dy < bestDistance) {
      bestDistance = dx * dx + dy * dy;
      best = static_cast<int>(i);
    }
  }
  return best;
}

}  // namespace orvanel::forms
