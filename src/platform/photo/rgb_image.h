#pragma once
// A decoded photo: red, green and blue, 8 bits each, rows top first and
// packed without padding.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanel::platform::photo {

struct RgbImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;

  std::uint8_t* Row(std::int32_t y) { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
  const std::uint8_t* Row(std::int32_t y) const {
    return pixels.data() + static_cast<std::size_t>(y) * width * 3;
  }
};

// Takes a decoded photo row by row, top row first, each `width` RGB pixels:
// a photo need not be held whole to be reduced.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // Before the first row; false refuses the photo (too large, no memory).
  virtual bool Begin(std::int32_t width, std::int32_t height) = 0;
  virtual void Row(const std::uint8_t* rgb) = 0;
};

// A sink that keeps every row: the photo whole.
class ImageSink : public RowSink {
 public:
  explicit ImageSink(std::int64_t maxPixels) : maxPixels_(maxPixels) {}
  bool Begin(std::int32_t width, std::int32_t height) override;
  void Row(const std::uint8_t* rgb) override;
  RgbImage& Image() { return image_; }

 private:
  std::int64_t maxPixels_;
  RgbImage image_;
  std::int32_t rows_ = 0;
};

// The largest photo taken, in stored pixels: beyond it a file is taken for
// damaged or hostile rather than a photo.
inline constexpr std::int64_t kMaxPhotoPixels = std::int64_t{20000} * 20000;

}  // namespace orvanel::platform::photo
