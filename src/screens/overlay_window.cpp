#include "screens/overlay_window.h"

#include <array>
#include <cassert>

#include "platform/window_styles.h"
#include "screens/screen_cover.h"
#include "instance/saver.h"

namespace orvanel::screens {
namespace {

// The primary overlay is an ordinary window like the main window below it;
// the others are top-most like their picture windows.
constexpr std::array<forms::FormDesign, instance::kMaxMonitors> kDesigns{
    ScreenWindowDesign("TfrmSAVERbl", "frmSAVERbl", false),
    ScreenWindowDesign("TfrmSAVERbl2", "frmSAVERbl2", true),
    ScreenWindowDesign("TfrmSAVERbl3", "frmSAVERbl3", true),
    ScreenWindowDesign("TfrmSAVERbl4", "frmSAVERbl4", true),
};

}  // namespace

BlendOverlayWindow::BlendOverlayWindow(forms::Application& app, instance::Saver& saver, int monitor)
    : ScreenWindow(app, kDesigns.at(static_cast<std::size_t>(monitor)), saver, monitor) {
  assert(monitor >= 0 && monitor < instance::kMaxMonitors);
}

void BlendOverlayWindow::CreateParams(forms::WindowCreationParams& params) {
  Form::CreateParams(params);
  // The primary overlay belongs to the main window, which keeps it above
  // itself however often the main window is shown or activated: the
  // dissolve on monitor 0 happens on the overlay.
  if (monitor_ == 0 && saver_.saverMode == instance::SaverMode::kActive && saver_.frmSAVER != nullptr) {
    params.parent = saver_.frmSAVER->Handle();
  }
}

void BlendOverlayWindow::FormCreate() {
  switch (saver_.saverMode) {
    case instance::SaverMode::kActive:
      GetCanvas().SetBrushColor(platform::kBlack);
      // The primary overlay keeps its place in the stacking order; the others
      // go to the top, directly above their picture windows made just before.
      if (const auto* area = MonitorArea()) {
        CoverMonitor(*this, *area,
                     monitor_ == 0 ? platform::kPosShowWindow | platform::kPosNoZOrder
                                   : platform::kPosShowWindow);
      }
      break;
    case instance::SaverMode::kPreview:
      if (monitor_ == 0) CoverPreview();
      break;
    default:
      break;
  }
}

// In Preview the primary overlay takes the main window's bounds and stays
// transparent; the preview's pictures go into the host window.
void BlendOverlayWindow::CoverPreview() {
  if (saver_.frmSAVER == nullptr) return;
  const auto& main = saver_.frmSAVER->BoundsRect();
  SetBounds(main.left, main.top, main.Width(), main.Height());
  GetCanvas().SetBrushColor(platform::kBlack);
  PlaceWindow(platform::kInsertTop, platform::kPosShowWindow | platform::kPosNoZOrder);
}

}  // namespace orvanel::screens
