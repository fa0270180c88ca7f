// On Wayland a client sees no other program's window and no global pointer
// position, and no compositor shows a surface at an opacity of the client's
// asking: the saver composes each output itself, on a surface of the layer
// above every window where the compositor offers layer shell, else on a
// full-screen window of the output.
#include "platform/gtk/wayland/wayland_window_system.h"

#include <gdk/gdkwayland.h>
#include <gtk-layer-shell/gtk-layer-shell.h>

#include <vector>

#include "platform/compose/coverage.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/output_input.h"
#include "platform/gtk/screen_output.h"
#include "platform/gtk/wayland/output_capture.h"

namespace orvanel::platform::gtk {
namespace {

// The number of the toolkit's monitor with these bounds, or -1.
int MonitorAt(const Rect& bounds) {
  GdkDisplay* display = gdk_display_get_default();
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle g;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &g);
    if (Rect::FromBounds(g.x, g.y, g.width, g.height) == bounds) return i;
  }
  return -1;
}

// One output's surface: the frame composed in software, painted whole. The
// keyboard is the surface's alone while it shows.
class SurfaceOutput : public ScreenOutput {
 public:
  SurfaceOutput(GtkDesktop& desktop, const Rect& monitor) : ScreenOutput(desktop, monitor) {
    GtkWindow* window = window_.gobj();
    const int index = MonitorAt(monitor);
    if (index >= 0) monitor_ = gdk_display_get_monitor(gdk_display_get_default(), index);
    if (gtk_layer_is_supported()) {
      gtk_layer_init_for_window(window);
      gtk_layer_set_namespace(window, "orvanel");
      gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_OVERLAY);
      for (const auto edge : {GTK_LAYER_SHELL_EDGE_LEFT, GTK_LAYER_SHELL_EDGE_RIGHT, GTK_LAYER_SHELL_EDGE_TOP,
                              GTK_LAYER_SHELL_EDGE_BOTTOM}) {
        gtk_layer_set_anchor(window, edge, TRUE);
      }
      gtk_layer_set_exclusive_zone(window, -1);
      gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_EXCLUSIVE);
      if (monitor_) gtk_layer_set_monitor(window, monitor_);
    } else {
      fullScreen_ = index;
    }
    window_.set_decorated(false);
    window_.set_app_paintable(true);
    window_.set_default_size(monitor.Width(), monitor.Height());
    window_.set_can_focus(true);
    window_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cairo) {
      if (seeThrough_) {
        PaintSeeThrough(cairo->cobj());
      } else {
        PaintFrame(cairo);
      }
      return true;
    });
    // Positions come in the surface's own coordinates; the surface lies at
    // its output's place on the desktop.
    ConnectInput(desktop, window_, Point{monitor.left, monitor.top});
  }

  void Invalidate() override { window_.queue_draw(); }
  void SetShown(bool shown) override {
    if (shown == window_.get_visible()) return;
    // The output is read when the saver first shows on it, not before: a
    // dialog or a preview, which never shows here, keeps no copy.
    if (shown && !outputRead_) {
      outputRead_ = true;
      if (!monitor_ || !CaptureOutput(monitor_, composer_)) SeeThrough();
    }
    window_.set_visible(shown);
    if (shown && fullScreen_ >= 0) window_.fullscreen_on_monitor(window_.get_screen(), fullScreen_);
  }
  void SetCursorHidden(bool hidden) override { ApplyCursor(window_, hidden, cursorHidden_); }

 private:
  // Where the output cannot be read, the compositor blends the frame over
  // the live desktop instead: what the saver's windows leave uncovered, or
  // cover only in part as they fade in, shows the desktop through.
  void SeeThrough() {
    GdkVisual* withAlpha = gdk_screen_get_rgba_visual(gdk_screen_get_default());
    if (withAlpha == nullptr) return;
    gtk_widget_set_visual(GTK_WIDGET(window_.gobj()), withAlpha);
    composer_.SetOverUnreadDesktop();
    seeThrough_ = true;
  }
  void PaintSeeThrough(cairo_t* cairo) {
    if (frame_.empty()) frame_.resize(static_cast<std::size_t>(composer_.Stride()) * composer_.Height());
    const std::vector<compose::Layer> layers = desktop_.LayersOver(area_);
    composer_.ComposeInto(layers, frame_.data());
    const bool translucent =
        compose::WriteCoverage(layers, composer_.Width(), composer_.Height(), frame_.data(), composer_.Stride());
    cairo_surface_t* image = cairo_image_surface_create_for_data(
        frame_.data(), translucent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, composer_.Width(),
        composer_.Height(), static_cast<int>(composer_.Stride()));
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cairo, image, 0, 0);
    cairo_paint(cairo);
    cairo_surface_destroy(image);
  }

  Gtk::Window window_;
  GdkMonitor* monitor_ = nullptr;
  bool outputRead_ = false;
  bool seeThrough_ = false;
  std::vector<std::uint8_t> frame_;  // composed over nothing, with its coverage
  int fullScreen_ = -1;  // without layer shell: the monitor to fill
  std::optional<bool> cursorHidden_;
};

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
    return std::make_unique<SurfaceOutput>(desktop, monitor);
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
};

}  // namespace

std::unique_ptr<WindowSystem> WaylandWindowSystem() { return std::make_unique<WaylandSystem>(); }

bool ToolkitOnWayland() { return GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default()); }

}  // namespace orvanel::platform::gtk
