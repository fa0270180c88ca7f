#include "screens/screen_cover.h"

#include "platform/forms/monitors.h"
#include "platform/window_styles.h"

namespace orvanel::screens {

void CoverMonitor(forms::Form& window, int monitor, std::uint32_t flags) {
  auto& desktop = window.Desktop();
  const auto monitors = forms::Monitors(desktop);
  if (monitor < 0 || monitor >= static_cast<int>(monitors.size())) return;
  // Each monitor's own size, not the primary display's: a secondary monitor
  // of another resolution is covered exactly and no window spills onto a
  // neighbour.
  const auto& area = monitors[static_cast<std::size_t>(monitor)];
  window.SetBounds(area.left, area.top, area.Width(), area.Height());
  window.GetCanvas().SetBrushColor(platform::kBlack);
  desktop.SetWindowPos(window.Handle(), platform::kInsertTop, window.BoundsRect(), flags);
}

}  // namespace orvanel::screens
