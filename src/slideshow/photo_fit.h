#pragma once
// A photo of the user's folder, fitted to an area as the built-in pictures
// are (FitSize), but made for photos: turned upright as the camera recorded,
// decoded at the smallest DCT scale that still covers the drawing size, and
// reduced by averaging all the pixels each drawn pixel covers, so that fine
// detail does not alias. Filling the monitor instead, a photo is scaled to
// cover it and cropped to its centre, enlarged smoothly when smaller.
#include <cstdint>
#include <optional>

#include "instance/photo_display.h"

#include "platform/desktop.h"
#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/rgb_image.h"
#include "slideshow/picture_source.h"

namespace orvanel::slideshow {

// The photo reduced to width x height, each pixel the mean of the area it
// covers, partly covered pixels weighed by their share. Not for enlarging.
platform::photo::RgbImage ReduceByArea(const platform::photo::RgbImage& image, std::int32_t width,
                                       std::int32_t height);

// How a photo of a given size (as it stands, turned upright) is framed in an
// area: scaled to `scaled`, of which the centred `drawn` part is shown.
struct PhotoFrame {
  PictureSize scaled;
  PictureSize drawn;
  bool operator==(const PhotoFrame&) const = default;
};

// Fit: the photo's FitSize, whole. Fill: scaled to cover the area, cropped
// to it, and enlarged if need be; but a photo whose shape is so far from the
// area's that covering would crop away more than a third of it (a portrait
// on a landscape monitor, a panorama) is fitted whole instead, enlarged as
// far as the area allows.
PhotoFrame FramePhoto(std::int32_t photoWidth, std::int32_t photoHeight, std::int32_t areaWidth,
                      std::int32_t areaHeight, instance::FitMode mode);

// Whether a photo its header describes is one the saver decodes: one a
// decoder holds whole is taken no larger than a picture, any other no
// larger than a photo handed on row by row may be.
bool PhotoSizeShown(const platform::photo::PhotoHeader& header);

// The photo framed in the area; nothing when its bytes are not a photo that
// can be shown. A JPEG is read a piece at a time as it is decoded.
std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, const platform::photo::ByteSource& photo,
                                      std::int32_t areaWidth, std::int32_t areaHeight,
                                      instance::FitMode mode = instance::FitMode::kFit);

}  // namespace orvanel::slideshow
