#include "screens/dismissal.h"

#include <cassert>
#include <cstdlib>
#include <vector>

#include "instance/saver.h"

namespace orvanel::screens {
namespace {

// A move of exactly this many pixels on an axis keeps the saver running.
constexpr std::int32_t kThreshold = 10;

// The acting window's list, the main window last: the overlays of its
// monitor down to 0, then the picture windows of its monitor down to 1.
std::vector<forms::Form*> WindowsToClose(const instance::Saver& saver, ActingWindow acting) {
  assert(acting.monitor >= 0 && acting.monitor < instance::kMaxMonitors);
  assert(!acting.mainWindow || acting.monitor == 0);
  std::vector<forms::Form*> windows;
  if (acting.monitor == 0 && acting.mainWindow) return {saver.PictureWindow(0)};
  for (int k = acting.monitor; k >= 0; --k) windows.push_back(saver.Overlay(k));
  for (int k = acting.monitor; k >= 1; --k) windows.push_back(saver.PictureWindow(k));
  windows.push_back(saver.PictureWindow(0));
  return windows;
}

// Sets the quit flag and closes the acting window's list. Closing the main
// window ends the application.
void EndAction(instance::Saver& saver, ActingWindow acting) {
  saver.quitRequested = true;
  for (forms::Form* window : WindowsToClose(saver, acting)) {
    if (window != nullptr) window->Close();
  }
}

}  // namespace

void MouseInput(instance::Saver& saver, ActingWindow acting, std::int32_t x, std::int32_t y) {
  if (saver.saverMode != instance::SaverMode::kActive) return;
  auto& first = saver.firstMousePos;
  // (0, 0) means that no position has been taken yet.
  if (first.x == 0 && first.y == 0) {
    first = platform::Point{x, y};
    return;
  }
  if (std::abs(x - first.x) > kThreshold || std::abs(y - first.y) > kThreshold) {
    EndAction(saver, acting);
  }
}

void KeyInput(instance::Saver& saver, ActingWindow acting) {
  if (saver.saverMode != instance::SaverMode::kActive) return;
  EndAction(saver, acting);
}

}  // namespace orvanel::screens
