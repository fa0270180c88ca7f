#pragma once
// The saver's child in another program's X window, made with Xlib rather
// than GDK: X destroys it with its host, which GDK would take for a fault,
// and tells of it.
#include <gdk/gdk.h>

#include <functional>
#include <memory>

#include "platform/gtk/window_system.h"

struct _XDisplay;

namespace orvanel::platform::gtk {

class XForeignChild : public ForeignChild {
 public:
  // Null when the host is not there.
  static std::unique_ptr<XForeignChild> In(_XDisplay* display, WindowHandle host, const Rect& bounds,
                                           std::function<void()> gone);
  ~XForeignChild() override;
  XForeignChild(const XForeignChild&) = delete;
  XForeignChild& operator=(const XForeignChild&) = delete;

  bool Place(const Rect& bounds) override;
  bool SetVisible(bool visible) override;

 private:
  XForeignChild(_XDisplay* display, unsigned long xid, std::function<void()> gone);
  static GdkFilterReturn OnEvent(GdkXEvent* native, GdkEvent* event, gpointer self);

  _XDisplay* display_;
  unsigned long xid_;
  std::function<void()> gone_;
};

}  // namespace orvanel::platform::gtk
