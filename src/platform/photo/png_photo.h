#pragma once
// A PNG photo read a row at a time through libpng, from the file as it is
// read: any bit depth and colour type, given as RGB with its transparency
// composed over black, so that a photo of any size costs its rows alone.
// An interlaced PNG holds its rows in passes over the whole image: it is
// decoded whole, by libpng's simple interface, from its whole file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/whole_photo.h"

namespace orvanel::platform::photo {

// An interlaced PNG file larger than this is not read, as for every format read whole.
inline constexpr std::size_t kMaxPngFileBytes = kMaxWholeFileBytes;

// The eight bytes every PNG file starts with.
bool HasPngSignature(std::span<const std::uint8_t> start);

// The header goes to the target before anything is decoded, then the rows.
// False when the file is not a PNG the library can decode (damaged, cut
// short), an interlaced one is larger than kMaxPngFileBytes, or the target
// refused it.
bool DecodePngPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
