#pragma once
// The software compositor's one operation: a picture over another at a
// window's opacity, for displays without a compositing manager.
#include <cstddef>
#include <cstdint>

namespace orvanel::platform::compose {

// out[i] = (top[i] × alpha + below[i] × (255 − alpha)) / 255, rounded to the
// nearest level, for `count` bytes. The three buffers may not overlap, except
// that `out` may be `below`.
void BlendOver(const std::uint8_t* below, const std::uint8_t* top, std::uint8_t* out,
               std::size_t count, std::uint8_t alpha);

}  // namespace orvanel::platform::compose
