#include "screens/screen_cover.h"

#include "platform/window_styles.h"

namespace orvanel::screens {

void CoverMonitor(forms::Form& window, const platform::Rect& area, std::uint32_t flags) {
  // Each monitor's own size, not the primary display's: a secondary monitor
  // of another resolution is covered exactly and no window spills onto a
  // neighbour.
  window.SetBounds(area.left, area.top, area.Width(), area.Height());
  window.GetCanvas().SetBrushColor(platform::kBlack);
  window.PlaceWindow(platform::kInsertTop, flags);
}

}  // namespace orvanel::screens
