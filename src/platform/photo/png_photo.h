#pragma once
// A PNG photo decoded whole (PNG has no reduced decoding) from its whole
// file, which libpng's simple interface takes: any bit depth and colour type,
// interlaced or not, given as RGB with its transparency composed over black.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/whole_photo.h"

namespace orvanel::platform::photo {

// A PNG file larger than this is not read, as for every format read whole.
inline constexpr std::size_t kMaxPngFileBytes = kMaxWholeFileBytes;

// The eight bytes every PNG file starts with.
bool HasPngSignature(std::span<const std::uint8_t> start);

// The header goes to the target before anything is decoded, the rows once
// the whole photo is. False when the file is larger than kMaxPngFileBytes,
// is not a PNG the library can decode, or the target refused it.
bool DecodePngPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
