#include "shell/window_system_choice.h"

namespace orvanel::shell {

WindowSystemChoice ChooseWindowSystem(bool namesXWindow, const DisplayEnvironment& environment) {
  if (namesXWindow) return WindowSystemChoice::kX11;
  // The toolkit's own setting: its first choice wins.
  if (environment.gdkBackend && !environment.gdkBackend->empty()) {
    return environment.gdkBackend->rfind("wayland", 0) == 0 ? WindowSystemChoice::kWayland : WindowSystemChoice::kX11;
  }
  const bool wayland = environment.waylandDisplay && !environment.waylandDisplay->empty();
  return wayland ? WindowSystemChoice::kWayland : WindowSystemChoice::kX11;
}

}  // namespace orvanel::shell
