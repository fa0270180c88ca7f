#include "screens/monitor_window.h"

#include <array>
#include <cassert>

#include "platform/window_styles.h"
#include "screens/screen_cover.h"
#include "instance/saver.h"

namespace orvanel::screens {
namespace {

// Top-most, so that they stay above whatever else is on their monitors.
constexpr std::array<forms::FormDesign, instance::kMaxMonitors> kDesigns{
    forms::FormDesign{},  // monitor 0 is the main window's
    ScreenWindowDesign("TfrmSAVER2", "frmSAVER2", true),
    ScreenWindowDesign("TfrmSAVER3", "frmSAVER3", true),
    ScreenWindowDesign("TfrmSAVER4", "frmSAVER4", true),
};

}  // namespace

MonitorPictureWindow::MonitorPictureWindow(forms::Application& app, instance::Saver& saver,
                                           int monitor)
    : ScreenWindow(app, kDesigns.at(static_cast<std::size_t>(monitor)), saver, monitor) {
  assert(monitor >= 1 && monitor < instance::kMaxMonitors);
}

void MonitorPictureWindow::FormCreate() {
  if (saver_.saverMode != instance::SaverMode::kActive) return;
  GetCanvas().SetBrushColor(platform::kBlack);
  if (const auto* area = MonitorArea()) CoverMonitor(*this, *area, platform::kPosShowWindow);
}

}  // namespace orvanel::screens
