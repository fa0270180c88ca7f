// Other programs' windows: their geometry, a preview host's child, drawing
// on a host, finding a window by its title, and hearing of a host's end.
#include "platform/gtk/gtk_desktop.h"

#include <X11/Xlib-xcb.h>
#include <cairo-xlib.h>

#include <algorithm>

#include "platform/gtk/x11/foreign_windows.h"
#include "platform/gtk/surface_drawing.h"
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

std::unique_ptr<DrawingContext> GtkDesktop::ForeignContext(WindowHandle handle) {
  const auto foreign = GeometryOf(xDisplay_, handle);
  if (!foreign) return nullptr;
  cairo_surface_t* surface =
      cairo_xlib_surface_create(xDisplay_, static_cast<::Window>(static_cast<std::uint32_t>(handle)),
                                foreign->visual, foreign->screen.Width(), foreign->screen.Height());
  // Errors of the drawing, the host gone meanwhile, are caught until the
  // context is given back.
  auto trap = std::make_shared<XErrorTrap>();
  return std::make_unique<SurfaceContext>(surface, [this, surface, trap] {
    cairo_surface_destroy(surface);
    XSync(xDisplay_, False);
  });
}

WindowHandle GtkDesktop::FindTopLevelWindow(const std::string& title) {
  for (const auto handle : stack_.TopFirst()) {
    if (windows_.at(handle).caption == title) return handle;
  }
  // Other programs' windows, by the name they gave the window manager.
  XErrorTrap trap;
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  WindowHandle found = kNoWindow;
  if (XQueryTree(xDisplay_, DefaultRootWindow(xDisplay_), &root, &parent, &children, &count) != 0) {
    for (unsigned i = 0; i < count && found == kNoWindow; ++i) {
      char* name = nullptr;
      if (XFetchName(xDisplay_, children[i], &name) != 0 && name != nullptr) {
        if (title == name) found = HandleOf(children[i]);
        XFree(name);
      }
    }
    if (children != nullptr) XFree(children);
  }
  return found;
}

GdkFilterReturn GtkDesktop::OnChildEvent(GdkXEvent* native, GdkEvent*, gpointer self) {
  const auto* event = static_cast<XEvent*>(native);
  if (event->type != DestroyNotify) return GDK_FILTER_CONTINUE;
  auto* desktop = static_cast<GtkDesktop*>(self);
  for (const auto& [handle, window] : desktop->windows_) {
    const ForeignChild* child = window.Foreign();
    if (child != nullptr && child->Xid() == event->xdestroywindow.window) {
      desktop->lost_.push_back(handle);
    }
  }
  return GDK_FILTER_CONTINUE;
}

}  // namespace orvanel::platform::gtk
