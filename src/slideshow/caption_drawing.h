#pragma once
// A caption's text drawn into a picture's pixels: white, over a soft dark
// halo that keeps it legible on a white sky as on a black night.
#include <cstdint>

#include "platform/desktop.h"

namespace orvanel::slideshow {

// The halo's reach around each glyph, for a line height.
std::int32_t CaptionHaloRadius(std::int32_t lineHeight);

// Draws `text` with its top-left pixel at `at` into a picture of
// width x height pixels; what would fall outside it is left out.
void DrawCaption(platform::PixelRows rows, std::int32_t width, std::int32_t height, const platform::TextMask& text,
                 platform::Point at);

}  // namespace orvanel::slideshow
