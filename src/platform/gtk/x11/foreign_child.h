#pragma once
// A child of another program's window (a preview's host), made with Xlib
// rather than GDK: X destroys it with its host, which GDK would take for a
// fault. The saver draws on the host itself; its child only has to exist there.
#include <memory>

#include "platform/geometry.h"
#include "platform/window_handle.h"

struct _XDisplay;

namespace orvanel::platform::gtk {

class ForeignChild {
 public:
  // Null when the host is not there.
  static std::unique_ptr<ForeignChild> In(_XDisplay* display, WindowHandle host, const Rect& bounds);
  ~ForeignChild();
  ForeignChild(const ForeignChild&) = delete;
  ForeignChild& operator=(const ForeignChild&) = delete;

  unsigned long Xid() const { return xid_; }
  // False when the host is gone meanwhile.
  bool Place(const Rect& bounds);
  bool SetVisible(bool visible);

 private:
  ForeignChild(_XDisplay* display, unsigned long xid) : display_(display), xid_(xid) {}

  _XDisplay* display_;
  unsigned long xid_;
};

}  // namespace orvanel::platform::gtk
