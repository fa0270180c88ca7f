#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/x11/frame_image.h"
#include "platform/gtk/x11/x11_output.h"
#include "platform/gtk/x11/x_error_trap.h"

// After the toolkit's headers, whose names Xlib's macros would break.
#include <cairo-xlib.h>
#include <gdk/gdkx.h>

namespace orvanel::platform::gtk {
namespace {

// Another program's window, painted directly. It is painted again when it is
// exposed, and when the saver's windows change.
class ForeignOutput : public X11Output {
 public:
  ForeignOutput(GtkDesktop& desktop, Display* display, Window xid, const Rect& area,
                Visual* visual, int depth)
      : X11Output(desktop, area), display_(display), xid_(xid) {
    // Frames go to the window as an image of its own pixels where the
    // window's visual takes the composer's, else through cairo.
    GdkVisual* gdkVisual = gdk_x11_screen_lookup_visual(gdk_screen_get_default(), XVisualIDFromVisual(visual));
    if (depth == 24) image_ = FrameImage::For(gdkVisual, area.Width(), area.Height());
    if (!image_) surface_ = cairo_xlib_surface_create(display, xid, visual, area.Width(), area.Height());
    // Added to what this connection already asks of the window (GDK's own, for the root).
    XWindowAttributes attributes{};
    {
      XErrorTrap trap;
      if (XGetWindowAttributes(display, xid, &attributes) != 0) {
        XSelectInput(display, xid, attributes.your_event_mask | ExposureMask | StructureNotifyMask);
      }
    }
    gdkWindow_ = gdk_x11_window_foreign_new_for_display(gdk_display_get_default(), xid);
    if (gdkWindow_ != nullptr) gdk_window_add_filter(gdkWindow_, &ForeignOutput::OnEvent, this);
  }
  ~ForeignOutput() override {
    if (gdkWindow_ != nullptr) {
      gdk_window_remove_filter(gdkWindow_, &ForeignOutput::OnEvent, this);
      g_object_unref(gdkWindow_);
    }
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
  }

  void Invalidate() override {
    due_ = true;
    desktop_.PaintSoon();
  }
  void PaintIfDue() override {
    if (due_) Paint();
  }
  void SetShown(bool) override {}
  void SetCursorHidden(bool) override {}

 private:
  static GdkFilterReturn OnEvent(GdkXEvent* native, GdkEvent*, gpointer self) {
    const auto* event = static_cast<XEvent*>(native);
    auto* output = static_cast<ForeignOutput*>(self);
    if (event->type == Expose && event->xexpose.count == 0) {
      output->exposed_ = true;
      output->Invalidate();
    }
    // The window's own end, not a child's.
    if (event->type == DestroyNotify && event->xdestroywindow.window == output->xid_) {
      output->desktop_.HostWindowGone();
    }
    return GDK_FILTER_CONTINUE;
  }
  void Paint() {
    due_ = false;
    // The host may destroy its window at any moment; drawing on a window
    // that is gone is no fault of the saver's.
    XErrorTrap trap;
    if (image_) {
      PutFrame(*image_, xid_, exposed_);
      exposed_ = false;
      return;
    }
    cairo_t* cairo = cairo_create(surface_);
    PaintFrame(cairo);
    cairo_destroy(cairo);
    cairo_surface_flush(surface_);
    XSync(display_, False);
  }

  Display* display_;
  Window xid_;
  std::unique_ptr<FrameImage> image_;
  cairo_surface_t* surface_ = nullptr;
  GdkWindow* gdkWindow_ = nullptr;
  bool due_ = false;
  bool exposed_ = false;  // the whole window wants painting, not only what changed
};

}  // namespace

std::unique_ptr<ScreenOutput> ForeignWindowOutput(GtkDesktop& desktop, unsigned long xid) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  const Window window = xid;
  XWindowAttributes attributes{};
  XErrorTrap trap;
  const Status known = XGetWindowAttributes(display, window, &attributes);
  if (!trap.Clean() || known == 0) return nullptr;
  return std::make_unique<ForeignOutput>(desktop, display, window,
                                         Rect{0, 0, attributes.width, attributes.height},
                                         attributes.visual, attributes.depth);
}

}  // namespace orvanel::platform::gtk
