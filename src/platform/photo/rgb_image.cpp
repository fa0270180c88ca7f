#include "platform/photo/rgb_image.h"

#include <algorithm>
#include <new>

namespace orvanel::platform::photo {

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
