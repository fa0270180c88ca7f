#include "screens/screen_window.h"

#include "shell/saver.h"

namespace orvanel::screens {

const platform::Rect* ScreenWindow::MonitorArea() const {
  if (monitor_ < 0 || monitor_ >= static_cast<int>(saver_.monitors.size())) return nullptr;
  return &saver_.monitors[static_cast<std::size_t>(monitor_)];
}

void ScreenWindow::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  canClose = true;
}

}  // namespace orvanel::screens
