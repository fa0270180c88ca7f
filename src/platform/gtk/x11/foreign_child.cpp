#include "platform/gtk/x11/foreign_child.h"

#include <algorithm>

#include "platform/gtk/x11/foreign_windows.h"
#include "platform/gtk/x11/x_error_trap.h"

namespace orvanel::platform::gtk {
namespace {

unsigned SideOf(std::int32_t length) { return static_cast<unsigned>(std::max(1, length)); }

}  // namespace

std::unique_ptr<XForeignChild> XForeignChild::In(Display* display, WindowHandle host, const Rect& bounds,
                                                 std::function<void()> gone) {
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
      XErrorTrap undone;
      XDestroyWindow(display, child);
    }
    return nullptr;
  }
  return std::unique_ptr<XForeignChild>(new XForeignChild(display, child, std::move(gone)));
}

XForeignChild::XForeignChild(Display* display, unsigned long xid, std::function<void()> gone)
    : display_(display), xid_(xid), gone_(std::move(gone)) {
  // Events of windows GDK does not know come only to a filter of all windows.
  gdk_window_add_filter(nullptr, &XForeignChild::OnEvent, this);
}

XForeignChild::~XForeignChild() {
  gdk_window_remove_filter(nullptr, &XForeignChild::OnEvent, this);
  XErrorTrap trap;  // destroyed with its host, perhaps
  XDestroyWindow(display_, xid_);
  XSync(display_, False);
}

GdkFilterReturn XForeignChild::OnEvent(GdkXEvent* native, GdkEvent*, gpointer self) {
  const auto* event = static_cast<XEvent*>(native);
  auto* child = static_cast<XForeignChild*>(self);
  if (event->type == DestroyNotify && event->xdestroywindow.window == child->xid_) child->gone_();
  return GDK_FILTER_CONTINUE;
}

bool XForeignChild::Place(const Rect& bounds) {
  XErrorTrap trap;
  XMoveResizeWindow(display_, xid_, bounds.left, bounds.top, SideOf(bounds.Width()), SideOf(bounds.Height()));
  return trap.Clean();
}

bool XForeignChild::SetVisible(bool visible) {
  XErrorTrap trap;
  visible ? XMapWindow(display_, xid_) : XUnmapWindow(display_, xid_);
  return trap.Clean();
}

}  // namespace orvanel::platform::gtk
