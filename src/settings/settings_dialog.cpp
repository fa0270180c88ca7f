#include "settings/settings_dialog.h"

namespace orvanel::settings {

void LockDisplayProperties(platform::Desktop& desktop, bool lock) {
  const auto window = desktop.FindTopLevelWindow("Display Properties");
  if (window == platform::kNoWindow) return;
  desktop.EnableWindow(window, !lock);
}

}  // namespace orvanel::settings
