#include "platform/gtk/screen_output.h"

#include <cairo-xlib.h>
#include <gdk/gdkx.h>

#include <optional>

#include "platform/gtk/frame_image.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/virtual_keys.h"
#include "platform/gtk/x_error_trap.h"
#include "platform/window_styles.h"

namespace orvanel::platform::gtk {

void ScreenOutput::PaintFrame(cairo_t* cairo) {
  const std::uint8_t* frame = composer_.Compose(desktop_.LayersOver(area_));
  cairo_surface_t* image = cairo_image_surface_create_for_data(
      const_cast<std::uint8_t*>(frame), CAIRO_FORMAT_RGB24, composer_.Width(), composer_.Height(),
      static_cast<int>(composer_.Stride()));
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cairo, image, 0, 0);
  cairo_paint(cairo);
  cairo_surface_destroy(image);
}

void ScreenOutput::PutFrame(FrameImage& image, unsigned long drawable, bool whole) {
  image.AwaitServer();
  std::vector<Rect> changed = composer_.ComposeInto(desktop_.LayersOver(area_), image.Pixels());
  image.Put(drawable, whole ? std::vector<Rect>{WholeArea()} : changed);
}

bool ScreenOutput::Differs() { return composer_.Differs(desktop_.LayersOver(area_)); }

void ScreenOutput::PaintFrame(const Cairo::RefPtr<Cairo::Context>& cairo) {
  PaintFrame(cairo->cobj());
}

namespace {

// Input on an output, passed on in screen coordinates.
void ConnectInput(GtkDesktop& desktop, Gtk::Widget& widget, Point origin) {
  widget.add_events(Gdk::POINTER_MOTION_MASK | Gdk::BUTTON_PRESS_MASK | Gdk::KEY_PRESS_MASK);
  widget.signal_motion_notify_event().connect([&desktop, origin](GdkEventMotion* event) {
    desktop.PointerMoved(Point{origin.x + static_cast<std::int32_t>(event->x),
                               origin.y + static_cast<std::int32_t>(event->y)});
    return true;
  });
  widget.signal_button_press_event().connect([&desktop, origin](GdkEventButton* event) {
    const std::uint32_t message = event->button == 1   ? kMsgLButtonDown
                                  : event->button == 3 ? kMsgRButtonDown
                                                       : kMsgMButtonDown;
    desktop.ButtonPressed(Point{origin.x + static_cast<std::int32_t>(event->x),
                                origin.y + static_cast<std::int32_t>(event->y)},
                          message);
    return true;
  });
  // Ahead of the toolkit's own key handling, which would take Space, Enter,
  // Tab and the arrows for its widgets: every key is the saver's.
  widget.signal_key_press_event().connect(
      [&desktop](GdkEventKey* event) {
        const KeyStroke stroke = KeyStrokeOf(event->keyval);
        desktop.KeyPressed(stroke.virtualKey, stroke.character, (event->state & GDK_MOD1_MASK) != 0);
        return true;
      },
      false);
}

// Sets the pointer's look over a widget when it changes; the saver asks at
// every fade step, the display needs telling once.
void ApplyCursor(Gtk::Widget& widget, bool hidden, std::optional<bool>& applied) {
  auto gdkWindow = widget.get_window();
  if (!gdkWindow || applied == hidden) return;
  gdkWindow->set_cursor(hidden ? Gdk::Cursor::create(widget.get_display(), Gdk::BLANK_CURSOR)
                               : Glib::RefPtr<Gdk::Cursor>());
  applied = hidden;
}

// A borderless window over one monitor, above other programs' windows, with
// the keyboard and the pointer grabbed while it shows. Its frames are composed
// straight into an image the X server reads and put on the window; the
// toolkit paints it only on a display whose pixels the composer cannot write.
class MonitorOutput : public ScreenOutput {
 public:
  MonitorOutput(GtkDesktop& desktop, const Rect& monitor)
      : ScreenOutput(desktop, monitor), window_(Gtk::WINDOW_POPUP) {
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
      Grab();
      // A window that appears under the pointer hears of the pointer at once,
      // as on Windows: the first position the saver compares moves with.
      int x = 0;
      int y = 0;
      GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
      gdk_device_get_position(pointer, nullptr, &x, &y);
      desktop_.PointerMoved(Point{x, y});
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
        GrabDesktop();
        desktopRead_ = true;
      }
      window_.show();
    } else {
      Ungrab();
      window_.hide();
    }
  }
  void SetCursorHidden(bool hidden) override { ApplyCursor(window_, hidden, cursorHidden_); }

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

  // The desktop under the monitor before anything of the saver shows.
  void GrabDesktop() {
    if (image_) {
      // Read by the server into the frame itself, so that the server has
      // the frame's memory at hand when the first one is put, and copied for
      // the composer while the saver goes on; let go once the saver's windows
      // cover it.
      if (image_->Get(GDK_ROOT_WINDOW(), Point{area_.left, area_.top})) composer_.AdoptBackground(image_->Copy());
      return;
    }
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, area_.left, area_.top, area_.Width(), area_.Height());
    if (shot == nullptr) return;
    const int channels = gdk_pixbuf_get_n_channels(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* pixels = gdk_pixbuf_read_pixels(shot);
    std::uint8_t* target = composer_.Background();
    const int width = std::min(gdk_pixbuf_get_width(shot), composer_.Width());
    const int height = std::min(gdk_pixbuf_get_height(shot), composer_.Height());
    for (int y = 0; y < height; ++y) {
      const guchar* from = pixels + y * stride;
      std::uint8_t* to = target + y * composer_.Stride();
      for (int x = 0; x < width; ++x) {
        to[x * 4 + 0] = from[x * channels + 2];
        to[x * 4 + 1] = from[x * channels + 1];
        to[x * 4 + 2] = from[x * channels + 0];
        to[x * 4 + 3] = 0xFF;
      }
    }
    composer_.BackgroundWritten();
    g_object_unref(shot);
  }

  void Grab() {
    auto gdkWindow = window_.get_window();
    // Hidden again before its map arrived: nothing to grab for.
    if (!gdkWindow || !window_.get_visible()) return;
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(gdkWindow->gobj()));
    grabbed_ = gdk_seat_grab(seat, gdkWindow->gobj(), GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr, nullptr,
                             nullptr, nullptr) == GDK_GRAB_SUCCESS;
  }
  void Ungrab() {
    if (!grabbed_) return;
    grabbed_ = false;
    gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
  }

  Gtk::Window window_;
  std::unique_ptr<FrameImage> image_;
  bool due_ = false;
  bool grabbed_ = false;
  bool desktopRead_ = false;
  std::optional<bool> cursorHidden_;
};

// The drawing area of the try-out window.
class ContainerOutput : public ScreenOutput {
 public:
  ContainerOutput(GtkDesktop& desktop, Gtk::Window& container, const Rect& area)
      : ScreenOutput(desktop, area) {
    drawingArea_.set_size_request(area.Width(), area.Height());
    drawingArea_.set_can_focus(true);
    drawingArea_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cairo) {
      PaintFrame(cairo);
      return true;
    });
    ConnectInput(desktop, drawingArea_, Point{0, 0});
    container.add(drawingArea_);
    drawingArea_.show();
    drawingArea_.grab_focus();
  }
  void Invalidate() override { drawingArea_.queue_draw(); }
  void SetShown(bool) override {}
  void SetCursorHidden(bool hidden) override { ApplyCursor(drawingArea_, hidden, cursorHidden_); }

 private:
  Gtk::DrawingArea drawingArea_;
  std::optional<bool> cursorHidden_;
};

// Another program's window, painted directly. It is painted again when it is
// exposed, and when the saver's windows change.
class ForeignOutput : public ScreenOutput {
 public:
  ForeignOutput(GtkDesktop& desktop, Display* display, Window xid, const Rect& area,
                Visual* visual, int depth)
      : ScreenOutput(desktop, area), display_(display), xid_(xid) {
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
    if (event->type == DestroyNotify) output->desktop_.RequestClose();
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

WindowView::WindowView(GtkDesktop& desktop, WindowHandle handle)
    : desktop_(desktop), handle_(handle), window_(Gtk::WINDOW_POPUP) {
  window_.set_app_paintable(true);
  window_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cairo) {
    if (cairo_surface_t* pixels = desktop_.PixelsOf(handle_)) {
      cairo->set_operator(Cairo::OPERATOR_SOURCE);
      cairo_set_source_surface(cairo->cobj(), pixels, 0, 0);
      cairo->paint();
    }
    return true;
  });
  window_.add_events(Gdk::POINTER_MOTION_MASK | Gdk::BUTTON_PRESS_MASK | Gdk::KEY_PRESS_MASK);
  window_.signal_motion_notify_event().connect([this](GdkEventMotion* event) {
    desktop_.PointerMoved(Point{static_cast<std::int32_t>(event->x_root), static_cast<std::int32_t>(event->y_root)});
    return true;
  });
  window_.signal_button_press_event().connect([this](GdkEventButton* event) {
    desktop_.ButtonPressed(Point{static_cast<std::int32_t>(event->x_root), static_cast<std::int32_t>(event->y_root)},
                           event->button == 1 ? kMsgLButtonDown : event->button == 3 ? kMsgRButtonDown : kMsgMButtonDown);
    return true;
  });
  // Ahead of the toolkit's own key handling, as on the outputs.
  window_.signal_key_press_event().connect(
      [this](GdkEventKey* event) {
        const KeyStroke stroke = KeyStrokeOf(event->keyval);
        desktop_.KeyPressed(stroke.virtualKey, stroke.character, (event->state & GDK_MOD1_MASK) != 0);
        return true;
      },
      false);
  window_.signal_realize().connect([this] { window_.get_window()->set_opacity(alpha_ / 255.0); });
  window_.signal_map_event().connect([this](GdkEventAny*) {
    // The first of the saver's full-screen windows to show takes the
    // keyboard and the pointer.
    if (!desktop_.InputGrabbed() && desktop_.CoversAMonitor(handle_)) {
      GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
      grabbed_ = gdk_seat_grab(seat, window_.get_window()->gobj(), GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr,
                               nullptr, nullptr, nullptr) == GDK_GRAB_SUCCESS;
      desktop_.SetInputGrabbed(grabbed_);
      int x = 0;
      int y = 0;
      gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
      desktop_.PointerMoved(Point{x, y});
    }
    return false;
  });
}

WindowView::~WindowView() {
  if (grabbed_) {
    gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
    desktop_.SetInputGrabbed(false);
  }
}

void WindowView::Update(const NativeWindow& window, bool cursorHidden) {
  const Rect& b = window.bounds;
  int x = 0;
  int y = 0;
  window_.get_position(x, y);
  if (x != b.left || y != b.top) window_.move(b.left, b.top);
  int width = 0;
  int height = 0;
  window_.get_size(width, height);
  if (width != b.Width() || height != b.Height()) {
    window_.set_default_size(b.Width(), b.Height());
    window_.resize(std::max(1, b.Width()), std::max(1, b.Height()));
  }
  const std::uint8_t alpha = (window.exStyle & kExStyleLayered) != 0 ? window.alpha : 255;
  // On the window itself: the widget's opacity would also have the toolkit
  // paint the whole window again at every fade step.
  if (alpha != alpha_) {
    alpha_ = alpha;
    if (auto gdkWindow = window_.get_window()) gdkWindow->set_opacity(alpha_ / 255.0);
  }
  // A window at opacity 0 shows nothing and takes nothing: it stays unmapped
  // (the preview's overlay stays so for its whole life).
  const bool shown = window.visible && alpha > 0;
  if (shown != window_.get_visible()) window_.set_visible(shown);
  ApplyCursor(window_, cursorHidden, cursorHidden_);
}

void WindowView::Raise() {
  if (auto gdkWindow = window_.get_window()) gdkWindow->raise();
}

std::unique_ptr<ScreenOutput> ScreenOutput::OverMonitor(GtkDesktop& desktop, const Rect& monitor) {
  return std::make_unique<MonitorOutput>(desktop, monitor);
}

std::unique_ptr<ScreenOutput> ScreenOutput::InContainer(GtkDesktop& desktop, Gtk::Window& container,
                                                        const Rect& area) {
  return std::make_unique<ContainerOutput>(desktop, container, area);
}

std::unique_ptr<ScreenOutput> ScreenOutput::OnForeignWindow(GtkDesktop& desktop, unsigned long xid) {
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
