#pragma once
// A photo of the user's folder, fitted to an area as the built-in pictures
// are (FitSize), but made for photos: turned upright as the camera recorded,
// decoded at the smallest DCT scale that still covers the drawing size, and
// reduced by averaging all the pixels each drawn pixel covers, so that fine
// detail does not alias.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/desktop.h"
#include "platform/photo/rgb_image.h"
#include "slideshow/picture_source.h"

namespace orvanel::slideshow {

// The photo reduced to width x height, each pixel the mean of the area it
// covers, partly covered pixels weighed by their share. Not for enlarging.
platform::photo::RgbImage ReduceByArea(const platform::photo::RgbImage& image, std::int32_t width,
                                       std::int32_t height);

// The smallest DCT scale, in eighths, at which a stored width x height photo
// still has at least needWidth x needHeight pixels.
int DctEighthsFor(std::int32_t storedWidth, std::int32_t storedHeight, std::int32_t needWidth,
                  std::int32_t needHeight);

// The photo fitted to the area; nothing when the bytes are not a photo that
// can be shown. The bytes are given up as soon as they are decoded.
std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, std::vector<std::uint8_t> bytes,
                                      std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace orvanel::slideshow
