#pragma once
// A HEIF photo through libheif: HEIC as phones take it, and AVIF, the same
// container around AV1. Its own transforms (irot, imir) stand it the way it
// was taken; an Exif orientation it also carries says the same thing, for
// readers of Exif alone, and is not applied a second time.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// The primary image, the file read as the library asks: its size once
// transformed goes to the target, and it is decoded whole, transformed, with
// its alpha over black, its rows made from the codec's own planes where they
// are 8-bit, one row at a time. False when the file is larger than
// kMaxWholeFileBytes or is damaged, its codec is not there, or the target
// refused it.
bool DecodeHeifPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
