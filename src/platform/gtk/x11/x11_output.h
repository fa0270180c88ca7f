#pragma once
// The outputs that put frames on X windows: over a monitor, and on a window
// another program gave the saver.
#include <memory>

#include "platform/gtk/screen_output.h"

namespace orvanel::platform::gtk {

class FrameImage;

class X11Output : public ScreenOutput {
 protected:
  using ScreenOutput::ScreenOutput;
  // Composes the frame of this moment into `image` and puts what changed on
  // `drawable`, or all of it.
  void PutFrame(FrameImage& image, unsigned long drawable, bool whole);
};

// Over a monitor, with the desktop under it as it is when it first shows.
std::unique_ptr<ScreenOutput> MonitorOutputOver(GtkDesktop& desktop, const Rect& monitor);
// Painting another program's window (or the root window); null when that
// window is not there.
std::unique_ptr<ScreenOutput> ForeignWindowOutput(GtkDesktop& desktop, unsigned long xid);

}  // namespace orvanel::platform::gtk
