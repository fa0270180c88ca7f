#pragma once
// A TIFF photo through libtiff: any of its colour models, bit depths and
// compressions that the library reads as RGBA; of several pages, the first.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// The file is read a window at a time; the stored size, with the
// orientation the file records (TIFF's tag is the one Exif took over), goes
// to the target, and the photo is decoded as stored a band of strips at a
// time, its alpha over black. False when the file is damaged or the target
// refused it.
bool DecodeTiffPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
