#pragma once
// A screen area's frame in memory the X server reads: a shared-memory image
// when the display shares memory with the saver (MIT-SHM), so that a frame
// reaches the screen without a copy through the connection; an ordinary image
// sent through the connection otherwise. Setting ORVANEL_NO_SHM in the
// environment takes the second way on any display.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/geometry.h"
#include "platform/compose/background_work.h"
#include "platform/compose/pixel_copy.h"
#include "platform/compose/screen_composer.h"

struct _GdkVisual;
struct _XDisplay;
struct _XGC;
struct _XImage;

namespace orvanel::platform::gtk {

class FrameImage {
 public:
  // Null when windows of this visual do not take the composer's pixels (32
  // bits, blue, green, red and an unused byte) as they are.
  static std::unique_ptr<FrameImage> For(_GdkVisual* visual, std::int32_t width, std::int32_t height);
  ~FrameImage();
  FrameImage(const FrameImage&) = delete;
  FrameImage& operator=(const FrameImage&) = delete;

  // Waits until the pages are taken in and a copy made is done (below).
  std::uint8_t* Pixels();
  std::ptrdiff_t Stride() const;

  // Waits until the server has read the last frame put, before the frame is
  // written again.
  void AwaitServer();
  // Puts these parts of the frame at the same places in `drawable`, so that
  // the display shows them together.
  void Put(unsigned long drawable, const std::vector<Rect>& parts);
  // Reads the drawable's pixels from `from` on into the frame.
  bool Get(unsigned long drawable, Point from);
  // A copy of the frame as it stands, for the composer to keep, made on
  // another thread while the saver goes on. Pixels() waits for it to be done
  // before the frame is written again.
  std::unique_ptr<compose::HeldPixels> Copy();

 private:
  struct Segment;
  FrameImage(_XDisplay* display, _XImage* image, std::unique_ptr<Segment> segment, int depth);

  _XDisplay* display_;
  _XImage* image_;
  std::unique_ptr<Segment> segment_;  // with shared memory
  _XGC* gc_ = nullptr;
  unsigned long gcDrawable_ = 0;
  // Without shared memory, frames are sent here first and copied to the
  // window in one request, so that nobody sees half of one.
  unsigned long staging_ = 0;
  int depth_ = 0;
  bool pending_ = false;  // a shared frame put that the server may still be reading
  // Takes the segment's pages in while the saver goes on (see the constructor).
  compose::BackgroundWork takingPagesIn_;
  std::shared_ptr<compose::PixelCopy> copying_;  // until the frame is next written
};

}  // namespace orvanel::platform::gtk
