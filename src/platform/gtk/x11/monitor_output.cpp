#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/output_input.h"
#include "platform/gtk/x11/desktop_capture.h"
#include "platform/gtk/x11/frame_image.h"
#include "platform/gtk/x11/x11_output.h"

// After the toolkit's headers, whose names Xlib's macros would break.
#include <gdk/gdkx.h>

namespace orvanel::platform::gtk {
namespace {

// A borderless window over one monitor, above other programs' windows,
// holding the keyboard and the pointer while it shows when the saver gave
// them to the window over it. Its frames are composed
// straight into an image the X server reads and put on the window; the
// toolkit paints it only on a display whose pixels the composer cannot write.
class MonitorOutput : public X11Output {
 public:
  MonitorOutput(GtkDesktop& desktop, const Rect& monitor)
      : X11Output(desktop, monitor), window_(Gtk::WINDOW_POPUP) {
    window_.set_app_paintable(true);
    window_.move(monitor.left, monitor.top);
    window_.set_default_size(monitor.Width(), monitor.Height());
    window_.resize(monitor.Width(), monitor.Height());
    window_.set_can_focus(true);
    window_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cairo) {
      if (!image_) {
        PaintFrame(cairo);
        return true;
      }
      // Exposed: the whole frame, made now if it is out of date.
      if (due_) {
        Paint(true);
      } else if (auto gdkWindow = window_.get_window()) {
        image_->Put(gdk_x11_window_get_xid(gdkWindow->gobj()), {WholeArea()});
      }
      return true;
    });
    window_.signal_map_event().connect([this](GdkEventAny*) {
      TakeCaptureIfShown();
      // A window that appears under the pointer hears of it at once.
      if (!grabbed_) desktop_.ReportPointer();
      return false;
    });
    ConnectInput(desktop, window_, Point{monitor.left, monitor.top});
  }
  ~MonitorOutput() override { Ungrab(); }

  void Invalidate() override {
    if (!image_) {
      window_.queue_draw();
      return;
    }
    due_ = true;
    desktop_.PaintSoon();
  }
  void PaintIfDue() override {
    if (due_ && window_.get_visible()) Paint(false);
  }
  void SetShown(bool shown) override {
    if (shown == window_.get_visible()) return;
    if (shown) {
      // The desktop is read when the saver first shows on it, not before:
      // a dialog or a preview, which never shows here, keeps no copy.
      if (!desktopRead_) {
        image_ = NewImage();
        // Frames are put on the window itself; a back buffer would cover them.
        if (image_) window_.set_double_buffered(false);
        CaptureDesktop(area_, image_.get(), composer_);
        desktopRead_ = true;
      }
      window_.show();
    } else {
      Ungrab();
      window_.hide();
    }
  }
  void SetCursorHidden(bool hidden) override { ApplyCursor(window_, hidden, cursorHidden_); }
  void TakeCaptureIfShown() override {
    auto gdkWindow = window_.get_window();
    // Hidden again before its map arrived: nothing to grab for.
    if (gdkWindow && window_.get_visible() && window_.get_mapped() && desktop_.CaptureGoesOver(area_)) {
      grabbed_ = desktop_.GrabInput(gdkWindow->gobj());
    }
  }

 private:
  // An image of the monitor's size in the window's pixels.
  std::unique_ptr<FrameImage> NewImage() {
    return FrameImage::For(gtk_widget_get_visual(GTK_WIDGET(window_.gobj())), area_.Width(), area_.Height());
  }
  // Puts what changed, or the whole frame.
  void Paint(bool whole) {
    auto gdkWindow = window_.get_window();
    if (!gdkWindow) return;
    due_ = false;
    PutFrame(*image_, gdk_x11_window_get_xid(gdkWindow->gobj()), whole);
  }

  void Ungrab() {
    if (!grabbed_) return;
    grabbed_ = false;
    desktop_.UngrabInput();
  }

  Gtk::Window window_;
  std::unique_ptr<FrameImage> image_;
  bool due_ = false;
  bool grabbed_ = false;
  bool desktopRead_ = false;
  std::optional<bool> cursorHidden_;
};

}  // namespace

std::unique_ptr<ScreenOutput> MonitorOutputOver(GtkDesktop& desktop, const Rect& monitor) {
  return std::make_unique<MonitorOutput>(desktop, monitor);
}

}  // namespace orvanel::platform::gtk
