#pragma once
// Frames shown on a surface of the saver's own: a child of the toolkit's
// window that covers all of it and lets its input through, composed straight
// into a few buffers in memory shared with the compositor, each written
// again once the compositor has let it go. The toolkit would make new shared
// memory for every frame it paints, and the system would fill its pages
// each time.
#include <gdk/gdk.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/geometry.h"

namespace orvanel::platform::gtk {

class OwnQueue;

class SurfaceFrames {
 public:
  // Over `window` (realized), of its size, with objects on `queue`, which
  // outlives them; null where the compositor offers no child surfaces or no
  // shared memory.
  static std::unique_ptr<SurfaceFrames> Over(OwnQueue& queue, GdkWindow* window, std::int32_t width,
                                             std::int32_t height);
  ~SurfaceFrames();
  SurfaceFrames(const SurfaceFrames&) = delete;
  SurfaceFrames& operator=(const SurfaceFrames&) = delete;

  // Memory to compose the next frame into (rows of width × 4 bytes, as the
  // composer writes them), which holds the frame written to it last, or
  // nothing when `fresh` comes back true; null while the compositor still
  // reads every buffer, and the frame is to be made later.
  std::uint8_t* NextFrame(bool& fresh);
  // Shows the frame written to NextFrame()'s memory, which differs from the
  // frame shown last only within `changed`. An opaque frame's fourth bytes
  // mean nothing; otherwise they are its coverage and its colours are
  // premultiplied by it.
  void Show(const std::vector<Rect>& changed, bool opaque);

 private:
  struct Parts;
  explicit SurfaceFrames(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

}  // namespace orvanel::platform::gtk
