#include "platform/gtk/x11/foreign_windows.h"

#include <X11/Xlib-xcb.h>

#include "platform/gtk/x11/x_error_trap.h"

namespace orvanel::platform::gtk {

WindowHandle HandleOf(unsigned long xid) { return static_cast<WindowHandle>(xid); }

Display* ToolkitDisplay() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

WindowHandle RootWindowOf(Display* display) { return HandleOf(DefaultRootWindow(display)); }

std::optional<ForeignGeometry> GeometryOf(Display* display, WindowHandle handle) {
  // The X server hands a gone client's ids out again: an id of this
  // program's own connection is never another program's window.
  const xcb_setup_t* setup = xcb_get_setup(XGetXCBConnection(display));
  const auto id = static_cast<std::uint32_t>(handle);
  if ((id & ~setup->resource_id_mask) == setup->resource_id_base) return std::nullopt;
  XErrorTrap trap;
  XWindowAttributes attributes{};
  ::Window child = 0;
  int x = 0;
  int y = 0;
  const auto window = static_cast<::Window>(static_cast<std::uint32_t>(handle));
  if (XGetWindowAttributes(display, window, &attributes) == 0) return std::nullopt;
  XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
  if (!trap.Clean()) return std::nullopt;
  return ForeignGeometry{Rect::FromBounds(x, y, attributes.width, attributes.height), attributes.visual};
}

}  // namespace orvanel::platform::gtk
