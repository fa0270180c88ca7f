#include "platform/photo/rgb_image.h"

#include <algorithm>
#include <array>
#include <new>

namespace orvanel::platform::photo {

PhotoFormat RecogniseFormat(std::span<const std::uint8_t> bytes) {
  static constexpr std::array<std::uint8_t, 3> kJpeg{0xFF, 0xD8, 0xFF};
  static constexpr std::array<std::uint8_t, 8> kPng{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() >= kPng.size() && std::equal(kPng.begin(), kPng.end(), bytes.begin())) {
    return PhotoFormat::kPng;
  }
  if (bytes.size() >= kJpeg.size() && std::equal(kJpeg.begin(), kJpeg.end(), bytes.begin())) {
    return PhotoFormat::kJpeg;
  }
  return PhotoFormat::kUnknown;
}

bool ImageSink::Begin(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > maxPixels_) return false;
  try {
    image_.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  } catch (const std::bad_alloc&) {
    return false;  // a photo that does not fit in memory is one not shown
  }
  image_.width = width;
  image_.height = height;
  rows_ = 0;
  return true;
}

void ImageSink::Row(const std::uint8_t* rgb) {
  if (rows_ >= image_.height) return;
  std::copy(rgb, rgb + static_cast<std::size_t>(image_.width) * 3, image_.Row(rows_++));
}

}  // namespace orvanel::platform::photo
