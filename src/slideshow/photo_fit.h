#pragma once
// A photo of the user's folder, fitted to an area as the built-in pictures
// are (FitSize), but made for photos: turned upright as the camera recorded,
// decoded at the smallest DCT scale that still covers the drawing size, and
// reduced by averaging all the pixels each drawn pixel covers, so that fine
// detail does not alias.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/desktop.h"
#include "platform/photo/byte_source.h"
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

// A PNG file larger than this is not read: PNG is decoded whole, and no
// photo a screen shows needs more.
inline constexpr std::size_t kMaxPngFileBytes = std::size_t{256} << 20;

// The photo fitted to the area; nothing when its bytes are not a photo that
// can be shown. A JPEG is read a piece at a time as it is decoded.
std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, const platform::photo::ByteSource& photo,
                                      std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace orvanel::slideshow
