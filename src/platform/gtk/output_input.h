#pragma once
// Input on the windows that show the saver's full-screen windows, passed on
// to the desktop in screen coordinates, and the pointer's look over them.
#include <gtkmm.h>

#include <optional>

#include "platform/geometry.h"

namespace orvanel::platform::gtk {

class GtkDesktop;

// Motion, buttons and keys on `widget`. With an origin, the widget's own
// coordinates are offset by it; without, the event's screen position is taken.
void ConnectInput(GtkDesktop& desktop, Gtk::Widget& widget, std::optional<Point> origin);

// Sets the pointer's look over a widget when it changes; the saver asks at
// every fade step, the display needs telling once.
void ApplyCursor(Gtk::Widget& widget, bool hidden, std::optional<bool>& applied);

}  // namespace orvanel::platform::gtk
