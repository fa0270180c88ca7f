/* Exits 0 when a compositing manager runs on the display: a client owns the
   selection _NET_WM_CM_S<screen> of the default screen, as every compositing
   manager that follows the desktop conventions does; 1 when none does, 2
   when the display cannot be opened. */
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return 2;
  char name[32];
  snprintf(name, sizeof name, "_NET_WM_CM_S%d", DefaultScreen(display));
  const Window owner = XGetSelectionOwner(display, XInternAtom(display, name, False));
  XCloseDisplay(display);
  return owner != None ? 0 : 1;
}
