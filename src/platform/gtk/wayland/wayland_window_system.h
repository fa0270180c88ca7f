#pragma once
// The window system of a Wayland display.
#include <memory>

#include "platform/gtk/window_system.h"

namespace orvanel::platform::gtk {

// For the Wayland display the toolkit opened.
std::unique_ptr<WindowSystem> WaylandWindowSystem();
// Whether the toolkit's display is a Wayland one.
bool ToolkitOnWayland();

}  // namespace orvanel::platform::gtk
