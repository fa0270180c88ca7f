#include "instance/saver.h"

#include <cassert>

namespace orvanel::instance {

bool Saver::RandomOrder() const { return randomCheckBox != nullptr && randomCheckBox->Checked(); }

bool Saver::Dissolve() const { return blendCheckBox != nullptr && blendCheckBox->Checked(); }

bool Saver::ParksPointer() const { return desktop.Host() == platform::ScreenHost::kMonitors; }

forms::Form* Saver::PictureWindow(int index) const {
  assert(index >= 0 && index < kMaxMonitors);
  if (index == 0) return frmSAVER;
  return pictureWindows[static_cast<std::size_t>(index)];
}

forms::Form* Saver::Overlay(int index) const {
  assert(index >= 0 && index < kMaxMonitors);
  return overlays[static_cast<std::size_t>(index)];
}

int Saver::MonitorsWithWindows() const {
  int count = frmSAVER != nullptr ? 1 : 0;
  while (count > 0 && count < kMaxMonitors && PictureWindow(count) != nullptr) ++count;
  return count;
}

}  // namespace orvanel::instance
