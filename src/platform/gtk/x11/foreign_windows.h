#pragma once
// Other programs' windows as the X server knows them.
#include <X11/Xlib.h>

#include <optional>

#include "platform/desktop.h"

namespace orvanel::platform::gtk {

// An X window id as the core keeps a handle.
WindowHandle HandleOf(unsigned long xid);

// The X display the toolkit opened, and its root window.
Display* ToolkitDisplay();
WindowHandle RootWindowOf(Display* display);

struct ForeignGeometry {
  Rect screen;  // the window on the screen
  Visual* visual = nullptr;
};

// Another program's window on the screen; none when it is not there, or when
// the id is one of this program's own connection.
std::optional<ForeignGeometry> GeometryOf(Display* display, WindowHandle handle);

}  // namespace orvanel::platform::gtk
