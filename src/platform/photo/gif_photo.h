#pragma once
// A GIF picture through giflib: its first image on the logical screen,
// transparent where that image is, or leaves the screen uncovered, and so
// black. An animation's later frames are never decoded.
#include <cstdint>
#include <span>

#include "platform/photo/byte_source.h"
#include "platform/photo/photo_format.h"

namespace orvanel::platform::photo {

// The file is read as far as its first image; the screen's size goes to the
// target, and the image goes to its sink a line at a time when it fills the
// screen in row order, else once painted on the whole screen. False when the
// file is damaged or has no image, or the target refused it.
bool DecodeGifPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);

}  // namespace orvanel::platform::photo
