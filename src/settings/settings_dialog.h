#pragma once
#include "platform/desktop.h"

namespace orvanel::settings {

// Disables (lock) or enables the desktop's "Display Properties" window, when
// there is one, while the settings dialog is open.
void LockDisplayProperties(platform::Desktop& desktop, bool lock);

}  // namespace orvanel::settings
