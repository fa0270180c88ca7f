#include "platform/gtk/x11/x11_output.h"

#include "platform/gtk/x11/frame_image.h"

namespace orvanel::platform::gtk {

void X11Output::PutFrame(FrameImage& image, unsigned long drawable, bool whole) {
  image.AwaitServer();
  const std::vector<Rect> changed = ComposeInto(image.Pixels());
  image.Put(drawable, whole ? std::vector<Rect>{WholeArea()} : changed);
}

}  // namespace orvanel::platform::gtk
