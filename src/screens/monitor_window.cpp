#include "screens/monitor_window.h"

#include <array>
#include <cassert>

#include "platform/forms/monitors.h"
#include "platform/window_styles.h"
#include "screens/screen_cover.h"
#include "shell/saver.h"

namespace orvanel::screens {
namespace {

constexpr forms::FormDesign PictureWindowDesign(const char* className, const char* name) {
  return forms::FormDesign{
      .className = className,
      .name = name,
      .border = forms::BorderStyle::kNone,
      .color = platform::kBlack,
      .alphaBlend = true,
      .alphaBlendValue = 0,
      .clientWidth = 320,
      .clientHeight = 240,
      .topmost = true,
      .keyPreview = true,
      .placement = forms::Placement::kDesigned,
  };
}

constexpr std::array<forms::FormDesign, shell::kMaxMonitors> kDesigns{
    forms::FormDesign{},  // monitor 0 is the main window's
    PictureWindowDesign("TfrmSAVER2", "frmSAVER2"),
    PictureWindowDesign("TfrmSAVER3", "frmSAVER3"),
    PictureWindowDesign("TfrmSAVER4", "frmSAVER4"),
};

}  // namespace

MonitorPictureWindow::MonitorPictureWindow(forms::Application& app, shell::Saver& saver,
                                           int monitor)
    : Form(app, kDesigns.at(monitor)), saver_(saver), monitor_(monitor) {
  assert(monitor >= 1 && monitor < shell::kMaxMonitors);
}

void MonitorPictureWindow::FormCreate() {
  if (saver_.saverMode != shell::SaverMode::kActive) return;
  CoverMonitor(*this, monitor_, platform::kPosShowWindow);
}

void MonitorPictureWindow::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  canClose = true;
}

}  // namespace orvanel::screens
