#pragma once
// The window system of an X display.
#include <memory>

#include "platform/gtk/window_system.h"

namespace orvanel::platform::gtk {

// For the X display the toolkit opened.
std::unique_ptr<WindowSystem> X11WindowSystem();

}  // namespace orvanel::platform::gtk
