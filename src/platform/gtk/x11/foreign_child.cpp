#include "platform/gtk/x11/foreign_child.h"

#include <algorithm>

#include "platform/gtk/x11/foreign_windows.h"
#include "platform/gtk/x11/x_error_trap.h"

namespace orvanel::platform::gtk {
namespace {

unsigned SideOf(std::int32_t length) { return static_cast<unsigned>(std::max(1, length)); }

}  // namespace

std::unique_ptr<ForeignChild> ForeignChild::In(Display* display, WindowHandle host, const Rect& bounds) {
  if (!GeometryOf(display, host)) return nullptr;
  XErrorTrap trap;
  const ::Window child =
      XCreateWindow(display, static_cast<::Window>(static_cast<std::uint32_t>(host)), bounds.left, bounds.top,
                    SideOf(bounds.Width()), SideOf(bounds.Height()), 0, CopyFromParent, InputOnly, CopyFromParent,
                    0, nullptr);
  // The host's end is this window's end: X destroys it with the host and
  // tells of it.
  if (child != 0) XSelectInput(display, child, StructureNotifyMask);
  if (!trap.Clean() || child == 0) {
    if (child != 0) {
      XErrorTrap gone;
      XDestroyWindow(display, child);
    }
    return nullptr;
  }
  return std::unique_ptr<ForeignChild>(new ForeignChild(display, child));
}

ForeignChild::~ForeignChild() {
  XErrorTrap trap;  // destroyed with its host, perhaps
  XDestroyWindow(display_, xid_);
  XSync(display_, False);
}

bool ForeignChild::Place(const Rect& bounds) {
  XErrorTrap trap;
  XMoveResizeWindow(display_, xid_, bounds.left, bounds.top, SideOf(bounds.Width()), SideOf(bounds.Height()));
  return trap.Clean();
}

bool ForeignChild::SetVisible(bool visible) {
  XErrorTrap trap;
  visible ? XMapWindow(display_, xid_) : XUnmapWindow(display_, xid_);
  return trap.Clean();
}

}  // namespace orvanel::platform::gtk
