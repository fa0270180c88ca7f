#include "platform/gtk/wayland/surface_output.h"

#include <gtk-layer-shell/gtk-layer-shell.h>

#include <optional>
#include <vector>

#include "platform/compose/coverage.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/output_input.h"
#include "platform/gtk/wayland/output_capture.h"
#include "platform/gtk/wayland/surface_frames.h"

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

// One output's surface: on the layer above every window where the
// compositor offers layer shell, else a full-screen window of the output.
// The keyboard is the surface's alone while it shows. Frames, composed in
// software, go to a child surface through buffers kept for reuse; the
// toolkit paints them itself only where there is no such child.
class SurfaceOutput : public ScreenOutput {
 public:
  SurfaceOutput(GtkDesktop& desktop, const Rect& monitor, OwnQueue& queue)
      : ScreenOutput(desktop, monitor), queue_(queue) {
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
      Paint(cairo->cobj());
      return true;
    });
    window_.signal_map_event().connect([this](GdkEventAny*) {
      auto gdkWindow = window_.get_window();
      if (!frames_ && gdkWindow) {
        frames_ = SurfaceFrames::Over(queue_, gdkWindow->gobj(), area_.Width(), area_.Height());
        // The child shows once the window's next frame is committed: it has
        // its own first, so that the window's black never shows alone.
        if (frames_) {
          due_ = true;
          PaintIfDue();
        }
        window_.queue_draw();
      }
      return false;
    });
    // The toolkit lets the window's surface go when it hides, and the child
    // with it; the next showing makes both again.
    window_.signal_unmap_event().connect([this](GdkEventAny*) {
      frames_.reset();
      return false;
    });
    // Positions come in the surface's own coordinates; the surface lies at
    // its output's place on the desktop.
    ConnectInput(desktop, window_, Point{monitor.left, monitor.top});
  }

  // Hidden while all of it is here: hiding lets the child surface go.
  ~SurfaceOutput() override { window_.hide(); }

  void Invalidate() override {
    if (!frames_) {
      window_.queue_draw();
      return;
    }
    due_ = true;
    desktop_.PaintSoon();
  }
  void PaintIfDue() override {
    if (!due_ || !frames_ || !window_.get_visible()) return;
    bool fresh = false;
    std::uint8_t* target = frames_->NextFrame(fresh);
    if (target == nullptr) {
      desktop_.PaintSoon();  // once the compositor lets a buffer go
      return;
    }
    if (fresh) composer_.ForgetTarget();
    const std::vector<Rect> changed = Compose(target);
    frames_->Show(changed, opaque_);
    due_ = false;
  }
  void SetShown(bool shown) override {
    if (shown == window_.get_visible()) return;
    // The output is read when the saver first shows on it, not before: a
    // dialog or a preview, which never shows here, keeps no copy.
    if (shown && !outputRead_) {
      outputRead_ = true;
      if (!monitor_ || !CaptureOutput(queue_, monitor_, composer_)) SeeThrough();
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

  // The frame of this moment into `target` (which holds a frame composed
  // before, or nothing), with its coverage where it is see-through; gives
  // where it changed from what `target` held.
  std::vector<Rect> Compose(std::uint8_t* target) {
    const std::vector<compose::Layer> layers = desktop_.LayersOver(area_);
    std::vector<Rect> changed = composer_.ComposeInto(layers, target);
    const bool translucent = seeThrough_ && compose::WriteCoverage(layers, composer_.Width(), composer_.Height(),
                                                                   target, composer_.Stride());
    // Coverage may change where no colour does; and a frame read with
    // another format is another frame throughout.
    if (translucent || translucent == opaque_) changed = {WholeArea()};
    opaque_ = !translucent;
    return changed;
  }

  void Paint(cairo_t* cairo) {
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    if (frames_) {
      // Under the child: black, or nothing where the desktop shows through.
      cairo_set_source_rgba(cairo, 0, 0, 0, seeThrough_ ? 0 : 1);
      cairo_paint(cairo);
      return;
    }
    if (frame_.empty()) frame_.resize(static_cast<std::size_t>(composer_.Stride()) * composer_.Height());
    Compose(frame_.data());
    PaintPixels(cairo, frame_.data(), opaque_);
  }

  OwnQueue& queue_;
  // Declared first, so that the child surface goes before the window.
  Gtk::Window window_;
  std::unique_ptr<SurfaceFrames> frames_;
  GdkMonitor* monitor_ = nullptr;
  bool outputRead_ = false;
  bool seeThrough_ = false;
  std::vector<std::uint8_t> frame_;  // without a child surface: the frame the toolkit paints
  bool opaque_ = true;               // whether the last frame's fourth bytes mean nothing
  bool due_ = false;
  int fullScreen_ = -1;        // without layer shell: the monitor to fill
  std::optional<bool> cursorHidden_;
};

}  // namespace

std::unique_ptr<ScreenOutput> SurfaceOutputOver(GtkDesktop& desktop, const Rect& monitor, OwnQueue& queue) {
  return std::make_unique<SurfaceOutput>(desktop, monitor, queue);
}

}  // namespace orvanel::platform::gtk
