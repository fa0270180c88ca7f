#include "platform/photo/rgb_image.h"

#include <algorithm>
#include <array>

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

}  // namespace orvanel::platform::photo
