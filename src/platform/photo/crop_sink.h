#pragma once
// Hands on only a window of a photo's rows: the part of a photo scaled to
// cover its frame that the frame shows.
#include <cstdint>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

class CropSink : public RowSink {
 public:
  CropSink(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height, RowSink& output)
      : left_(left), top_(top), width_(width), height_(height), output_(output) {}

  // False when the window does not lie within the photo.
  bool Begin(std::int32_t width, std::int32_t height) override;
  void Row(const std::uint8_t* rgb) override;

 private:
  std::int32_t left_;
  std::int32_t top_;
  std::int32_t width_;
  std::int32_t height_;
  RowSink& output_;
  std::int32_t row_ = 0;
};

}  // namespace orvanel::platform::photo
