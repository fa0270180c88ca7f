#pragma once
// A JPEG photo decoded at one of the library's DCT scales, so that a photo
// far larger than the screen is never decoded whole: baseline or
// progressive, colour, greyscale, CMYK or YCCK, always given as RGB.
#include <cstdint>
#include <optional>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

struct JpegPhotoSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The stored size from the header; nothing when the header is unreadable.
std::optional<JpegPhotoSize> ReadJpegPhotoSize(const ByteSource& data);

// The size the library gives at `eighths`/8 of the stored size (1 to 16).
JpegPhotoSize ScaledJpegSize(JpegPhotoSize stored, int eighths);

// Decodes at `eighths`/8 of the stored size into the sink, row by row.
// False when the data is not a JPEG the library can decode, ends early, or
// the sink refused it; the sink may then hold part of it. The data is read a
// piece at a time, never held whole.
bool DecodeJpegRows(const ByteSource& data, int eighths, RowSink& sink);

// The same from bytes in memory, whole. Nothing when it cannot be decoded or would exceed `maxPixels`.
std::optional<RgbImage> DecodeJpegPhoto(std::span<const std::uint8_t> data, int eighths,
                                        std::int64_t maxPixels);

}  // namespace orvanel::platform::photo
