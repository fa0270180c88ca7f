#pragma once
// What the native desktop asks of the window system under the toolkit: the
// outputs that show the saver's full-screen windows, and other programs'
// windows (a host's, a preview's). One implementation per window system.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop.h"

namespace orvanel::platform::gtk {

class GtkDesktop;
class ScreenOutput;

// The saver's child in another program's window (a preview's host): the
// saver draws on the host; its child only has to exist there.
class ForeignChild {
 public:
  virtual ~ForeignChild() = default;
  // False when the host is gone meanwhile.
  virtual bool Place(const Rect& bounds) = 0;
  virtual bool SetVisible(bool visible) = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Whether the desktop shows each of the saver's windows at its own
  // opacity over the live desktop (a compositing manager on X); otherwise
  // the saver composes each monitor itself.
  virtual bool ShowsWindowsAtTheirOpacity() = 0;
  // A full-screen output over a monitor.
  virtual std::unique_ptr<ScreenOutput> MonitorOutput(GtkDesktop& desktop, const Rect& monitor) = 0;
  // Whether a window that appears gets the keyboard without asking for it;
  // on X without a window manager it does not.
  virtual bool GivesNewWindowsTheKeyboard() = 0;
  // Where the pointer is on the desktop, where the window system tells.
  virtual std::optional<Point> PointerPosition() = 0;
  // An output painting another program's window; null when it is not there.
  virtual std::unique_ptr<ScreenOutput> HostWindowOutput(GtkDesktop& desktop, WindowHandle host) = 0;

  // The desktop's own window, which a host may give the saver to fill.
  virtual WindowHandle DesktopWindow() = 0;
  // Another program's window on the screen; none when it is not there.
  virtual std::optional<Rect> ForeignWindowRect(WindowHandle window) = 0;
  // The first of other programs' top-level windows titled so, or kNoWindow.
  virtual WindowHandle FindForeignWindow(const std::string& title) = 0;
  // Drawing straight on another program's window; null when it is not there.
  virtual std::unique_ptr<DrawingContext> ForeignWindowContext(WindowHandle window) = 0;
  // A child of another program's window, or null when that window is not
  // there. `gone` is called when the host's end ends the child.
  virtual std::unique_ptr<ForeignChild> ChildOf(WindowHandle host, const Rect& bounds,
                                                std::function<void()> gone) = 0;
};

}  // namespace orvanel::platform::gtk
