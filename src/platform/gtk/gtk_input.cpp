// Input that reached an output, routed to the saver's window under it (the
// pointer) or to the active window (keys), as the desktop's messages; the
// starting program's request to end.
#include "platform/gtk/gtk_desktop.h"

#include <algorithm>

namespace orvanel::platform::gtk {

void GtkDesktop::CaptureInput(WindowHandle window) {
  captureWindow_ = window;
  // Taken now where the window shows already, else when it is mapped.
  for (auto& output : outputs_) output->TakeCaptureIfShown();
  if (NativeWindow* captured = Find(window)) {
    if (ScreenWindow* screen = captured->Screen(); screen != nullptr && screen->view) {
      screen->view->TakeCaptureIfShown();
    }
  }
}

void GtkDesktop::ReleaseInput() {
  captureWindow_ = kNoWindow;
  UngrabInput();
}

bool GtkDesktop::CaptureGoesTo(WindowHandle view) const {
  return !inputGrabbed_ && captureWindow_ != kNoWindow && view == captureWindow_;
}

bool GtkDesktop::CaptureGoesOver(const Rect& area) const {
  if (inputGrabbed_ || captureWindow_ == kNoWindow) return false;
  const auto it = windows_.find(captureWindow_);
  return it != windows_.end() && it->second.bounds.Overlaps(area);
}

bool GtkDesktop::GrabInput(GdkWindow* window) {
  GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
  inputGrabbed_ = seat && gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr, nullptr, nullptr,
                                nullptr) == GDK_GRAB_SUCCESS;
  ReportPointer();
  return inputGrabbed_;
}

void GtkDesktop::ReportPointer() {
  // As on Windows, where a window that appears under the pointer hears of
  // it: the first position the saver measures moves from.
  if (const auto at = system_->PointerPosition()) PointerMoved(*at);
}

void GtkDesktop::UngrabInput() {
  if (!inputGrabbed_) return;
  inputGrabbed_ = false;
  gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
}

void GtkDesktop::PointerMoved(Point screen) {
  cursor_ = screen;
  const WindowHandle target = stack_.TopAt(screen);
  if (target == kNoWindow) return;
  const Rect& b = windows_.at(target).bounds;
  Post(Message{target, kMsgMouseMove, 0, PackPoint(screen.x - b.left, screen.y - b.top), Now(), screen});
}

void GtkDesktop::ButtonPressed(Point screen, std::uint32_t message) {
  cursor_ = screen;
  const WindowHandle target = stack_.TopAt(screen);
  if (target == kNoWindow) return;
  const Rect& b = windows_.at(target).bounds;
  Post(Message{target, message, 0, PackPoint(screen.x - b.left, screen.y - b.top), Now(), screen});
}

void GtkDesktop::KeyPressed(std::uint16_t virtualKey, char character, bool alt) {
  const WindowHandle target = stack_.KeyTarget(IsOwn(active_) ? active_ : kNoWindow, cursor_);
  if (target == kNoWindow) return;
  Post(Message{target, alt ? kMsgSysKeyDown : kMsgKeyDown, virtualKey,
               static_cast<std::intptr_t>(static_cast<unsigned char>(character)), Now(), cursor_});
}

void GtkDesktop::HostWindowGone() {
  queue_.PostToTopLevel(stack_.TopFirst(), kMsgHostWindowGone, Message{kNoWindow, 0, 0, 0, Now(), cursor_});
}

void GtkDesktop::RequestClose() {
  queue_.PostCloseRequest(stack_.TopFirst(), Message{kNoWindow, 0, 0, 0, Now(), cursor_});
}

}  // namespace orvanel::platform::gtk
