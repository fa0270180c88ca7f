#include "screens/screen_window.h"

#include "screens/dismissal.h"
#include "instance/saver.h"

namespace orvanel::screens {

const platform::Rect* ScreenWindow::MonitorArea() const {
  if (monitor_ < 0 || monitor_ >= static_cast<int>(saver_.monitors.size())) return nullptr;
  return &saver_.monitors[static_cast<std::size_t>(monitor_)];
}

void ScreenWindow::FormMouseMove(std::int32_t x, std::int32_t y) {
  MouseInput(saver_, ActingWindow{monitor_, false}, x, y);
}

void ScreenWindow::FormMouseDown(forms::MouseButton, std::int32_t x, std::int32_t y) {
  MouseInput(saver_, ActingWindow{monitor_, false}, x, y);
}

void ScreenWindow::FormKeyDown(std::uint16_t) { KeyInput(saver_, ActingWindow{monitor_, false}); }

void ScreenWindow::FormKeyPress(char) { KeyInput(saver_, ActingWindow{monitor_, false}); }

void ScreenWindow::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  canClose = true;
}

}  // namespace orvanel::screens
