#pragma once
// A photo of the user's folder, fitted to an area as the built-in pictures
// are (FitSize), but made for photos: turned upright as the camera recorded,
// decoded at the smallest DCT scale that still covers the drawing size, and
// reduced by averaging all the pixels each drawn pixel covers, so that fine
// detail does not alias.
#include <cstdint>
#include <optional>

#include "platform/desktop.h"
#include "platform/photo/byte_source.h"
#include "platform/photo/rgb_image.h"
#include "slideshow/picture_source.h"

namespace orvanel::slideshow {

// The photo reduced to width x height, each pixel the mean of the area it
// covers, partly covered pixels weighed by their share. Not for enlarging.
platform::photo::RgbImage ReduceByArea(const platform::photo::RgbImage& image, std::int32_t width,
                                       std::int32_t height);

// The photo fitted to the area; nothing when its bytes are not a photo that
// can be shown. A JPEG is read a piece at a time as it is decoded.
std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, const platform::photo::ByteSource& photo,
                                      std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace orvanel::slideshow
