#pragma once
// A screen area's frame in memory the X server reads: a shared-memory image
// when the display shares memory with the saver (MIT-SHM), so that a frame
// reaches the screen without a copy through the connection; an ordinary image
// sent through the connection otherwise. Setting ORVANEL_NO_SHM in the
// environment takes the second way on any display.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/geometry.h"
#include "platform/gtk/screen_composer.h"

struct _GdkVisual;
struct _XDisplay;
struct _XGC;
struct _XImage;

namespace orvanel::platform::gtk {

class FrameImage : public HeldPixels {
 public:
  // Null when windows of this visual do not take the composer's pixels (32
  // bits, blue, green, red and an unused byte) as they are.
  static std::unique_ptr<FrameImage> For(_GdkVisual* visual, std::int32_t width, std::int32_t height);
  ~FrameImage() override;
  FrameImage(const FrameImage&) = delete;
  FrameImage& operator=(const FrameImage&) = delete;

  // Both wait until the pages are taken in (below).
  std::uint8_t* Pixels();
  const std::uint8_t* Pixels() const override;
  std::ptrdiff_t Stride() const override;

  // Waits until the server has read the last frame put, before the frame is
  // written again.
  void AwaitServer();
  // Puts these parts of the frame at the same places in `drawable`, so that
  // the display shows them together.
  void Put(unsigned long drawable, const std::vector<Rect>& parts);
  // Reads the drawable's pixels from `from` on into the frame.
  bool Get(unsigned long drawable, Point from);

 private:
  struct Segment;
  FrameImage(_XDisplay* display, _XImage* image, std::unique_ptr<Segment> segment, int depth);
  void AwaitPages() const;

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
  mutable std::thread takingPagesIn_;
};

}  // namespace orvanel::platform::gtk
