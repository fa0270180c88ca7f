#pragma once
// A BMP picture through gdk-pixbuf's loader, which reads every header
// version, bit depth and run-length coding of the format; the toolkit
// brings it on every desktop the saver runs on under Linux.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// The size the header gives goes to the target before anything is decoded;
// the file is decoded whole, fed to the loader a piece at a time. False when
// the file is larger than kMaxWholeFileBytes, is damaged or ends early, or
// the target refused it.
bool DecodeBmpPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
