#include "shell/saver.h"

#include "screens/monitor_window.h"
#include "screens/overlay_window.h"
#include "shell/main_window.h"

namespace orvanel::shell {

forms::Form* Saver::PictureWindow(int index) const {
  if (index == 0) return frmSAVER;
  if (index < 0 || index >= kMaxMonitors) return nullptr;
  return pictureWindows[static_cast<std::size_t>(index)];
}

forms::Form* Saver::Overlay(int index) const {
  if (index < 0 || index >= kMaxMonitors) return nullptr;
  return overlays[static_cast<std::size_t>(index)];
}

int Saver::MonitorsWithWindows() const {
  int count = frmSAVER != nullptr ? 1 : 0;
  while (count > 0 && count < kMaxMonitors && PictureWindow(count) != nullptr) ++count;
  return count;
}

}  // namespace orvanel::shell
