#pragma once
// Which window system the native program shows on, where a desktop offers
// two: a Wayland session with X programs running under Xwayland.
#include <optional>
#include <string>

namespace orvanel::shell {

enum class WindowSystemChoice { kX11, kWayland };

struct DisplayEnvironment {
  std::optional<std::string> waylandDisplay;  // $WAYLAND_DISPLAY
  std::optional<std::string> gdkBackend;      // $GDK_BACKEND
};

// Wayland where the session offers it, unless the command names an X window
// (XScreenSaver's daemon and settings app run their hacks in one, under
// Xwayland too) or the user asked the toolkit for X.
WindowSystemChoice ChooseWindowSystem(bool namesXWindow, const DisplayEnvironment& environment);

}  // namespace orvanel::shell
