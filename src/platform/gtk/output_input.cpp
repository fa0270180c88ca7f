#include "platform/gtk/output_input.h"

#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/virtual_keys.h"

namespace orvanel::platform::gtk {
namespace {

Point ScreenPoint(std::optional<Point> origin, double x, double y, double xRoot, double yRoot) {
  if (!origin) return Point{static_cast<std::int32_t>(xRoot), static_cast<std::int32_t>(yRoot)};
  return Point{origin->x + static_cast<std::int32_t>(x), origin->y + static_cast<std::int32_t>(y)};
}

}  // namespace

void ConnectInput(GtkDesktop& desktop, Gtk::Widget& widget, std::optional<Point> origin) {
  widget.add_events(Gdk::POINTER_MOTION_MASK | Gdk::ENTER_NOTIFY_MASK | Gdk::BUTTON_PRESS_MASK |
                    Gdk::KEY_PRESS_MASK);
  widget.signal_motion_notify_event().connect([&desktop, origin](GdkEventMotion* event) {
    desktop.PointerMoved(ScreenPoint(origin, event->x, event->y, event->x_root, event->y_root));
    return true;
  });
  // The pointer coming onto the widget moved there: on Wayland, passing from
  // one output's surface to the next gives only this, no motion.
  widget.signal_enter_notify_event().connect([&desktop, origin](GdkEventCrossing* event) {
    desktop.PointerMoved(ScreenPoint(origin, event->x, event->y, event->x_root, event->y_root));
    return true;
  });
  widget.signal_button_press_event().connect([&desktop, origin](GdkEventButton* event) {
    const std::uint32_t message = event->button == 1   ? kMsgLButtonDown
                                  : event->button == 3 ? kMsgRButtonDown
                                                       : kMsgMButtonDown;
    desktop.ButtonPressed(ScreenPoint(origin, event->x, event->y, event->x_root, event->y_root), message);
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

void ApplyCursor(Gtk::Widget& widget, bool hidden, std::optional<bool>& applied) {
  auto gdkWindow = widget.get_window();
  if (!gdkWindow || applied == hidden) return;
  gdkWindow->set_cursor(hidden ? Gdk::Cursor::create(widget.get_display(), Gdk::BLANK_CURSOR)
                               : Glib::RefPtr<Gdk::Cursor>());
  applied = hidden;
}

}  // namespace orvanel::platform::gtk
