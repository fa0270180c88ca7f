#include "platform/photo/crop_sink.h"

namespace orvanel::platform::photo {

bool CropSink::Begin(std::int32_t width, std::int32_t height) {
  if (left_ < 0 || top_ < 0 || width_ <= 0 || height_ <= 0 || left_ + width_ > width || top_ + height_ > height) {
    return false;
  }
  row_ = 0;
  return output_.Begin(width_, height_);
}

void CropSink::Row(const std::uint8_t* rgb) {
  if (row_ >= top_ && row_ < top_ + height_) output_.Row(rgb + static_cast<std::ptrdiff_t>(left_) * 3);
  ++row_;
}

}  // namespace orvanel::platform::photo
