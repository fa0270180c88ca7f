#pragma once
// Bitmaps and drawing contexts of the simulated desktop: plain pixel arrays
// of colour references. A decoder may leave its own value in a pixel's unused
// top byte, so readers look at the low 24 bits only.
#include <cstdint>
#include <vector>

#include "platform/desktop.h"
#include "platform/sim/sim_desktop.h"

namespace orvanel::platform::sim {

class SimBitmap : public Bitmap {
 public:
  // A new bitmap's pixels are undefined, as the desktop's are: it may reuse
  // the memory of one released before.
  SimBitmap(SimDesktop& desktop, std::int32_t width, std::int32_t height, int bits)
      : desktop_(desktop), width_(width), height_(height), bits_(bits),
        pixels_(desktop.TakePixelBuffer(static_cast<std::size_t>(width) * height)) {
    ++desktop_.liveBitmaps;
  }
  ~SimBitmap() override {
    --desktop_.liveBitmaps;
    desktop_.ReturnPixelBuffer(std::move(pixels_));
  }
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  int BitsPerPixel() const override { return bits_; }
  std::vector<ColorRef>& Pixels() { return pixels_; }
  const std::vector<ColorRef>& Pixels() const { return pixels_; }
  // A colour reference in memory is red, green, blue, unused: RGBX.
  PixelRows Rows() override {
    return PixelRows{reinterpret_cast<std::uint8_t*>(pixels_.data()),
                     static_cast<std::ptrdiff_t>(width_) * 4, PixelLayout::kRgbx32};
  }

 private:
  SimDesktop& desktop_;
  std::int32_t width_;
  std::int32_t height_;
  int bits_;
  std::vector<ColorRef> pixels_;
};

// Draws into a pixel array of a window or a bitmap, clipped to it.
class SimContext : public DrawingContext {
 public:
  // `pixels` stays valid while the context lives: a window's pixels are
  // looked up again at every call, as a window can be resized meanwhile.
  SimContext(SimDesktop& desktop, WindowHandle window);
  SimContext(SimDesktop& desktop, SimBitmap& bitmap);

  int BitsPerPixel() const override { return bits_; }
  void FillRect(const Rect& area, ColorRef colour) override;
  void DrawBitmap(const Bitmap& bitmap, Point at) override;
  void StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode mode) override;

  ~SimContext() override;

 private:
  struct Surface {
    std::vector<ColorRef>* pixels;
    std::int32_t width;
    std::int32_t height;
  };
  Surface Target();

  SimDesktop* desktop_ = nullptr;
  WindowHandle window_ = kNoWindow;
  SimBitmap* bitmap_ = nullptr;
  int bits_;
};

}  // namespace orvanel::platform::sim
