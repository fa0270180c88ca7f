#pragma once
// A BMP picture: stored plain, of 24 bits or a palette's indices (as
// photos are), read here row by row; any other through gdk-pixbuf's
// loader, which reads every header version, bit depth and run-length coding
// of the format, and which the toolkit brings on every desktop the saver
// runs on under Linux.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// The size the header gives goes to the target before anything is decoded;
// a photo for the loader is decoded whole, fed to it a piece at a time.
// False when such a file is larger than kMaxWholeFileBytes, when the file
// is damaged or ends early, or the target refused it.
bool DecodeBmpPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
