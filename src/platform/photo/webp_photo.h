#pragma once
// A WebP photo through libwebp: lossy or lossless, with or without alpha; of
// an animation, its first frame on the canvas.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// A RIFF file of form WEBP.
bool HasWebpSignature(std::span<const std::uint8_t> start);

// The file is read whole (libwebp decodes from memory), the canvas size with
// the orientation of an Exif chunk goes to the target, and the photo is
// decoded at the size the target needs (whole when a first frame does not
// cover its canvas), its transparency over black. False when the file is larger
// than kMaxWholeFileBytes or is damaged, or the target refused it.
bool DecodeWebpPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
