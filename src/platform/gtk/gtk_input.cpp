// Input that reached an output, routed to the saver's window under it (the
// pointer) or to the active window (keys), as the desktop's messages; the
// starting program's request to end.
#include "platform/gtk/gtk_desktop.h"

#include <algorithm>

namespace orvanel::platform::gtk {

void GtkDesktop::ReleaseInput() {
  gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
  inputGrabbed_ = false;
}

WindowHandle GtkDesktop::TopWindowAt(Point at) {
  for (const auto handle : stacking_) {
    const NativeWindow& window = windows_.at(handle);
    if (window.visible && Composed(window) && window.bounds.Contains(at)) return handle;
  }
  return kNoWindow;
}

void GtkDesktop::PointerMoved(Point screen) {
  cursor_ = screen;
  const WindowHandle target = TopWindowAt(screen);
  if (target == kNoWindow) return;
  const Rect& b = windows_.at(target).bounds;
  Post(Message{target, kMsgMouseMove, 0, PackPoint(screen.x - b.left, screen.y - b.top), Now(), screen});
}

void GtkDesktop::ButtonPressed(Point screen, std::uint32_t message) {
  cursor_ = screen;
  const WindowHandle target = TopWindowAt(screen);
  if (target == kNoWindow) return;
  const Rect& b = windows_.at(target).bounds;
  Post(Message{target, message, 0, PackPoint(screen.x - b.left, screen.y - b.top), Now(), screen});
}

void GtkDesktop::KeyPressed(std::uint16_t virtualKey, char character, bool alt) {
  WindowHandle target = active_;
  const NativeWindow* window = Find(target);
  if (window == nullptr || !window->visible) target = TopWindowAt(cursor_);
  if (target == kNoWindow && !stacking_.empty()) target = stacking_.front();
  if (target == kNoWindow) return;
  Post(Message{target, alt ? kMsgSysKeyDown : kMsgKeyDown, virtualKey,
               static_cast<std::intptr_t>(static_cast<unsigned char>(character)), Now(), cursor_});
}

void GtkDesktop::RequestClose() {
  queue_.PostCloseRequest(stacking_, Message{kNoWindow, 0, 0, 0, Now(), cursor_});
}

}  // namespace orvanel::platform::gtk
