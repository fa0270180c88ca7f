#include "screens/overlay_window.h"

#include <array>
#include <cassert>

#include "platform/window_styles.h"
#include "screens/screen_cover.h"
#include "shell/main_window.h"
#include "shell/saver.h"

namespace orvanel::screens {
namespace {

constexpr forms::FormDesign OverlayDesign(const char* className, const char* name, bool topmost) {
  return forms::FormDesign{
      .className = className,
      .name = name,
      .border = forms::BorderStyle::kNone,
      .color = platform::kBlack,
      .alphaBlend = true,
      .alphaBlendValue = 0,
      .clientWidth = 320,
      .clientHeight = 240,
      .topmost = topmost,
      .keyPreview = true,
      .placement = forms::Placement::kDesigned,
  };
}

// The primary overlay is an ordinary window like the main window below it;
// the others are top-most like their picture windows.
constexpr std::array<forms::FormDesign, shell::kMaxMonitors> kDesigns{
    OverlayDesign("TfrmSAVERbl", "frmSAVERbl", false),
    OverlayDesign("TfrmSAVERbl2", "frmSAVERbl2", true),
    OverlayDesign("TfrmSAVERbl3", "frmSAVERbl3", true),
    OverlayDesign("TfrmSAVERbl4", "frmSAVERbl4", true),
};

}  // namespace

BlendOverlayWindow::BlendOverlayWindow(forms::Application& app, shell::Saver& saver, int monitor)
    : Form(app, kDesigns.at(monitor)), saver_(saver), monitor_(monitor) {
  assert(monitor >= 0 && monitor < shell::kMaxMonitors);
}

void BlendOverlayWindow::FormCreate() {
  switch (saver_.saverMode) {
    case shell::SaverMode::kActive:
      CoverMonitor(*this, monitor_,
                   monitor_ == 0 ? platform::kPosShowWindow | platform::kPosNoZOrder
                                 : platform::kPosShowWindow);
      break;
    case shell::SaverMode::kPreview:
      if (monitor_ != 0 || saver_.frmSAVER == nullptr) break;
      {
        const auto& main = saver_.frmSAVER->BoundsRect();
        SetBounds(main.left, main.top, main.Width(), main.Height());
        GetCanvas().SetBrushColor(platform::kBlack);
        Desktop().SetWindowPos(Handle(), platform::kInsertTop, BoundsRect(),
                               platform::kPosShowWindow | platform::kPosNoZOrder);
      }
      break;
    default:
      break;
  }
}

void BlendOverlayWindow::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  canClose = true;
}

}  // namespace orvanel::screens
