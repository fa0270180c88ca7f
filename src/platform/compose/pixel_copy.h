#pragma once
// A copy of a whole area's pixels, made in the background: the memory is
// taken from the system with its pages already in, then filled. Whoever
// writes the source again awaits the copy first, as does whoever reads it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/compose/background_work.h"
#include "platform/compose/screen_composer.h"

namespace orvanel::platform::compose {

class PixelCopy {
 public:
  PixelCopy(const std::uint8_t* from, std::size_t bytes);
  ~PixelCopy();
  PixelCopy(const PixelCopy&) = delete;
  PixelCopy& operator=(const PixelCopy&) = delete;

  void Await() { copying_.Await(); }
  // Throws std::bad_alloc when the system had no memory for the copy.
  const std::uint8_t* Pixels();

 private:
  std::size_t bytes_;
  std::uint8_t* pixels_ = nullptr;  // written in the background, read once that is done
  BackgroundWork copying_;
};

// The copy, rows of `stride` bytes, for a composer to keep.
std::unique_ptr<HeldPixels> HeldCopy(std::shared_ptr<PixelCopy> copy, std::ptrdiff_t stride);

}  // namespace orvanel::platform::compose
