#include "platform/gtk/x11/x11_window_system.h"

// First: Xlib's macros clash with the toolkit's names.
#include <gtkmm.h>

#include "platform/gtk/surface_drawing.h"
#include "platform/gtk/x11/foreign_child.h"
#include "platform/gtk/x11/foreign_windows.h"
#include "platform/gtk/x11/x11_output.h"
#include "platform/gtk/x11/x_error_trap.h"

// After the toolkit's headers, whose names Xlib's macros would break.
#include <cairo-xlib.h>

namespace orvanel::platform::gtk {
namespace {

class X11System : public WindowSystem {
 public:
  X11System() : display_(ToolkitDisplay()) {}

  bool ShowsWindowsAtTheirOpacity() override { return gdk_screen_is_composited(gdk_screen_get_default()) != FALSE; }

  bool GivesNewWindowsTheKeyboard() override { return false; }

  std::optional<Point> PointerPosition() override {
    int x = 0;
    int y = 0;
    gdk_device_get_position(gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())), nullptr,
                            &x, &y);
    return Point{x, y};
  }

  std::unique_ptr<ScreenOutput> MonitorOutput(GtkDesktop& desktop, const Rect& monitor) override {
    return MonitorOutputOver(desktop, monitor);
  }

  std::unique_ptr<ScreenOutput> HostWindowOutput(GtkDesktop& desktop, WindowHandle host) override {
    return ForeignWindowOutput(desktop, static_cast<std::uint32_t>(host));
  }

  WindowHandle DesktopWindow() override { return RootWindowOf(display_); }

  std::optional<Rect> ForeignWindowRect(WindowHandle window) override {
    const auto foreign = GeometryOf(display_, window);
    if (!foreign) return std::nullopt;
    return foreign->screen;
  }

  WindowHandle FindForeignWindow(const std::string& title) override {
    // By the name they gave the window manager.
    XErrorTrap trap;
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    WindowHandle found = kNoWindow;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) != 0) {
      for (unsigned i = 0; i < count && found == kNoWindow; ++i) {
        char* name = nullptr;
        if (XFetchName(display_, children[i], &name) != 0 && name != nullptr) {
          if (title == name) found = HandleOf(children[i]);
          XFree(name);
        }
      }
      if (children != nullptr) XFree(children);
    }
    return found;
  }

  std::unique_ptr<DrawingContext> ForeignWindowContext(WindowHandle window) override {
    const auto foreign = GeometryOf(display_, window);
    if (!foreign) return nullptr;
    cairo_surface_t* surface =
        cairo_xlib_surface_create(display_, static_cast<::Window>(static_cast<std::uint32_t>(window)),
                                  foreign->visual, foreign->screen.Width(), foreign->screen.Height());
    // Errors of the drawing, the host gone meanwhile, are caught until the
    // context is given back.
    auto trap = std::make_shared<XErrorTrap>();
    return std::make_unique<SurfaceContext>(surface, [display = display_, surface, trap] {
      cairo_surface_destroy(surface);
      XSync(display, False);
    });
  }

  std::unique_ptr<ForeignChild> ChildOf(WindowHandle host, const Rect& bounds, std::function<void()> gone) override {
    return XForeignChild::In(display_, host, bounds, std::move(gone));
  }

 private:
  Display* display_;
};

}  // namespace

std::unique_ptr<WindowSystem> X11WindowSystem() { return std::make_unique<X11System>(); }

}  // namespace orvanel::platform::gtk
