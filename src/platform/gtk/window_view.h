#pragma once
#include <gtkmm.h>

#include <optional>

#include "platform/window_handle.h"

namespace orvanel::platform::gtk {

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
  // Takes the keyboard and the pointer once it is mapped, when the saver
  // gave them to its window.
  void TakeCaptureIfShown();

 private:
  GtkDesktop& desktop_;
  WindowHandle handle_;
  Gtk::Window window_;
  bool grabbed_ = false;
  std::uint8_t alpha_ = 255;
  std::optional<bool> cursorHidden_;
};

}  // namespace orvanel::platform::gtk
