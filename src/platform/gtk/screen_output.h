#pragma once
// Where one screen area's frame appears: a borderless window over a monitor,
// the drawing area of the try-out window, or a window another program gave
// the saver (XScreenSaver's, or the root window). The window system's own
// outputs are in x11/.
#include <gtkmm.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/compose/screen_composer.h"
#include "platform/window_handle.h"

namespace orvanel::platform::gtk {

class GtkDesktop;

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
  // Takes the keyboard and the pointer if the output shows now and the saver
  // gave them to a window over it.
  virtual void TakeCaptureIfShown() {}

  // Filling `container` (the try-out window).
  static std::unique_ptr<ScreenOutput> InContainer(GtkDesktop& desktop, Gtk::Window& container,
                                                   const Rect& area);

 protected:
  ScreenOutput(GtkDesktop& desktop, const Rect& area)
      : desktop_(desktop), area_(area), composer_(area.Width(), area.Height()) {}
  // Paints the frame of this moment on `cairo`, whose origin is the area's.
  void PaintFrame(const Cairo::RefPtr<Cairo::Context>& cairo);
  void PaintFrame(cairo_t* cairo);
  // Paints a frame of the area's size, composed already: opaque, or with
  // its coverage in its fourth bytes and its colours premultiplied by it.
  void PaintPixels(cairo_t* cairo, const std::uint8_t* frame, bool opaque);
  // Composes the frame of this moment into `target`, Height() rows of
  // Stride() bytes; gives the parts that changed from what it held.
  std::vector<Rect> ComposeInto(std::uint8_t* target);
  Rect WholeArea() const { return Rect{0, 0, area_.Width(), area_.Height()}; }

  GtkDesktop& desktop_;
  Rect area_;
  compose::ScreenComposer composer_;
};

}  // namespace orvanel::platform::gtk
