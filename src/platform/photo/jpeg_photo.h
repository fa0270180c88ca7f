#pragma once
// A JPEG photo decoded at one of the library's DCT scales, so that a photo
// far larger than the screen is never decoded whole: baseline or
// progressive, colour, greyscale, CMYK or YCCK, always given as RGB.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// The start-of-image marker, and the first byte of the marker after it.
bool HasJpegSignature(std::span<const std::uint8_t> start);

// Reads the header once: the stored size, with the Exif orientation from
// the file's `start`, goes to the target, and the photo is decoded from the
// same reading at the smallest DCT scale that covers the size it asks for,
// row by row into its sink. The data is read a piece at a time, never held
// whole. False when the data is not a JPEG the library can decode or ends
// early, or the target refused it; the sink may then hold part of it.
bool DecodeJpegPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

// The smallest DCT scale, in eighths, at which a stored width x height photo
// still has at least needWidth x needHeight pixels.
int DctEighthsFor(std::int32_t storedWidth, std::int32_t storedHeight, std::int32_t needWidth,
                  std::int32_t needHeight);

}  // namespace orvanel::platform::photo
