#pragma once
// Ending the full-screen saver on input, the same on all nine screen
// windows: any key ends it at once; the mouse only when an event lies more
// than 10 pixels, on either axis, from the first position seen. Outside
// Active mode input ends nothing here.
#include <cstdint>

namespace orvanel::instance {
struct Saver;
}

namespace orvanel::screens {

// Which screen window got the input: monitor 0 to 3, and for monitor 0
// whether it is the main window or its overlay (the picture window and
// overlay of another monitor close the same windows).
struct ActingWindow {
  int monitor = 0;
  bool mainWindow = false;
};

void MouseInput(instance::Saver& saver, ActingWindow acting, std::int32_t x, std::int32_t y);
void KeyInput(instance::Saver& saver, ActingWindow acting);

}  // namespace orvanel::screens
