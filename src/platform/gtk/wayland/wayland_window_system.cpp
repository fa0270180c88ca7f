// On Wayland a client sees no other program's window and no global pointer
// position, and no compositor shows a surface at an opacity of the client's
// asking: the saver composes each output itself, on a surface of the layer
// above every window where the compositor offers layer shell, else on a
// full-screen window of the output.
#include "platform/gtk/wayland/wayland_window_system.h"

#include <gdk/gdkwayland.h>

#include "platform/gtk/screen_output.h"
#include "platform/gtk/wayland/own_queue.h"
#include "platform/gtk/wayland/surface_output.h"

namespace orvanel::platform::gtk {
namespace {

// Wayland has no window of the desktop itself; the saver's dialog still
// names one as its host, so the desktop as a whole stands for it.
constexpr WindowHandle kWholeDesktop = 1;

Rect WholeDesktop() {
  GdkDisplay* display = gdk_display_get_default();
  Rect whole;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle g;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &g);
    const Rect monitor = Rect::FromBounds(g.x, g.y, g.width, g.height);
    whole = i == 0 ? monitor : whole.Union(monitor);
  }
  return whole;
}

class WaylandSystem : public WindowSystem {
 public:
  bool ShowsWindowsAtTheirOpacity() override { return false; }
  std::unique_ptr<ScreenOutput> MonitorOutput(GtkDesktop& desktop, const Rect& monitor) override {
    return SurfaceOutputOver(desktop, monitor, queue_);
  }
  // The compositor gives a new window the keyboard; a client's own asking
  // for it there makes the window ask again at every showing.
  bool GivesNewWindowsTheKeyboard() override { return true; }
  std::optional<Point> PointerPosition() override { return std::nullopt; }
  std::unique_ptr<ScreenOutput> HostWindowOutput(GtkDesktop&, WindowHandle) override { return nullptr; }
  WindowHandle DesktopWindow() override { return kWholeDesktop; }
  std::optional<Rect> ForeignWindowRect(WindowHandle window) override {
    if (window != kWholeDesktop) return std::nullopt;
    return WholeDesktop();
  }
  WindowHandle FindForeignWindow(const std::string&) override { return kNoWindow; }
  std::unique_ptr<DrawingContext> ForeignWindowContext(WindowHandle) override { return nullptr; }
  std::unique_ptr<ForeignChild> ChildOf(WindowHandle, const Rect&, std::function<void()>) override { return nullptr; }

 private:
  // Every output's objects of its own; the desktop lets its outputs go
  // before its window system.
  OwnQueue queue_{gdk_display_get_default()};
};

}  // namespace

std::unique_ptr<WindowSystem> WaylandWindowSystem() { return std::make_unique<WaylandSystem>(); }

bool ToolkitOnWayland() { return GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default()); }

}  // namespace orvanel::platform::gtk
