#pragma once
// Where one screen area's frame appears: a borderless window over a monitor,
// the drawing area of the try-out window, or a window another program gave
// the saver (XScreenSaver's, or the root window).
#include <gtkmm.h>

#include <memory>
#include <optional>

#include "platform/gtk/screen_composer.h"
#include "platform/window_handle.h"

namespace orvanel::platform::gtk {

class FrameImage;
class GtkDesktop;
struct NativeWindow;

// One of the saver's full-screen windows as an X window of its own, for a
// display whose compositing manager shows windows at their opacity.
class WindowView {
 public:
  WindowView(GtkDesktop& desktop, WindowHandle handle);
  ~WindowView();
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;

  // Place, size, opacity and visibility as the window has them now.
  void Update(const NativeWindow& window, bool cursorHidden);
  void Invalidate() { window_.queue_draw(); }
  void Raise();

 private:
  GtkDesktop& desktop_;
  WindowHandle handle_;
  Gtk::Window window_;
  bool grabbed_ = false;
  std::uint8_t alpha_ = 255;
  std::optional<bool> cursorHidden_;
};

class ScreenOutput {
 public:
  virtual ~ScreenOutput() = default;
  const Rect& Area() const { return area_; }
  // The frame is out of date; it is made again at the next PaintIfDue, or
  // when the display next asks.
  virtual void Invalidate() = 0;
  // Paints the frame if it is out of date. The desktop calls this where the
  // saver only waits (its sleeps, an empty queue), so that the work of a fade
  // step falls inside the step's wait instead of after it.
  virtual void PaintIfDue() {}
  // Whether the windows over the area now make another frame than the one
  // painted last.
  bool Differs();
  // Shows or hides the output with the windows on it.
  virtual void SetShown(bool shown) = 0;
  virtual void SetCursorHidden(bool hidden) = 0;

  // Over a monitor, with the desktop under it as it is now.
  static std::unique_ptr<ScreenOutput> OverMonitor(GtkDesktop& desktop, const Rect& monitor);
  // Filling `container` (the try-out window).
  static std::unique_ptr<ScreenOutput> InContainer(GtkDesktop& desktop, Gtk::Window& container,
                                                   const Rect& area);
  // Painting another program's window (or the root window).
  static std::unique_ptr<ScreenOutput> OnForeignWindow(GtkDesktop& desktop, unsigned long xid);

 protected:
  ScreenOutput(GtkDesktop& desktop, const Rect& area)
      : desktop_(desktop), area_(area), composer_(area.Width(), area.Height()) {}
  // Paints the frame of this moment on `cairo`, whose origin is the area's.
  void PaintFrame(const Cairo::RefPtr<Cairo::Context>& cairo);
  void PaintFrame(cairo_t* cairo);
  // Composes the frame of this moment into `image` and puts what changed on
  // `drawable`, or all of it.
  void PutFrame(FrameImage& image, unsigned long drawable, bool whole);
  Rect WholeArea() const { return Rect{0, 0, area_.Width(), area_.Height()}; }

  GtkDesktop& desktop_;
  Rect area_;
  ScreenComposer composer_;
};

}  // namespace orvanel::platform::gtk
