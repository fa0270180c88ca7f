#pragma once
// A PNG photo decoded whole (PNG has no reduced decoding): any bit depth and
// colour type, interlaced or not, given as RGB with its transparency
// composed over black.
#include <cstdint>
#include <optional>
#include <span>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

// Nothing when the data is not a PNG the library can decode, or holds more
// than `maxPixels` pixels (checked before anything is decoded).
std::optional<RgbImage> DecodePngPhoto(std::span<const std::uint8_t> data, std::int64_t maxPixels);

}  // namespace orvanel::platform::photo
