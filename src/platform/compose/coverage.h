#pragma once
// How much of an area the saver's windows cover, where the display blends
// the frame over a desktop the saver never read: each layer at its opacity
// over what the layers below it cover. A frame composed over black is then
// the windows' colour premultiplied by that coverage, as the display takes it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/compose/screen_composer.h"

namespace orvanel::platform::compose {

// Writes each pixel's coverage into the fourth byte of the frame's pixels
// (`height` rows of `stride` bytes, 32 bits a pixel) and returns true; when
// an opaque layer covers the whole area, writes nothing and returns false:
// the frame is opaque.
bool WriteCoverage(const std::vector<Layer>& layers, std::int32_t width, std::int32_t height,
                   std::uint8_t* frame, std::ptrdiff_t stride);

}  // namespace orvanel::platform::compose
