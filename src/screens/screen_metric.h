#pragma once
#include "platform/desktop.h"

namespace orvanel::screens {

// 0 gives the primary display's width, any other value its height.
inline std::int32_t ScreenMetric(platform::Desktop& desktop, int which) {
  return desktop.Metric(which == 0 ? platform::SystemMetric::kPrimaryWidth
                                   : platform::SystemMetric::kPrimaryHeight);
}

}  // namespace orvanel::screens
