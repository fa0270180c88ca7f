#pragma once
// Calls on other programs' windows may find them gone; the X error that
// comes back is expected and must not end the program. A trap catches every
// error of the calls made while it lives; Clean() tells whether there was one
// (after waiting for the server's answers), else the errors are dropped.
#include <gdk/gdkx.h>

namespace orvanel::platform::gtk {

class XErrorTrap {
 public:
  XErrorTrap() { gdk_x11_display_error_trap_push(gdk_display_get_default()); }
  ~XErrorTrap() {
    if (!popped_) gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  }
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // True when no error happened inside the trap. Ends the trap.
  bool Clean() {
    popped_ = true;
    return gdk_x11_display_error_trap_pop(gdk_display_get_default()) == 0;
  }

 private:
  bool popped_ = false;
};

}  // namespace orvanel::platform::gtk
