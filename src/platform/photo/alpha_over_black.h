#pragma once
// A photo's transparency shown over black, as browsers and image viewers
// compose it: every format that can be transparent gives its pixels as RGBA
// and has them composed here.
#include <cstddef>
#include <cstdint>

namespace orvanel::platform::photo {

// `count` RGBA pixels into `count` RGB pixels, each colour weighed by its
// alpha as stored. `rgb` may be `rgba` itself: each pixel is read whole
// before it is written, and written no further on than it was read.
void ComposeOverBlack(const std::uint8_t* rgba, std::size_t count, std::uint8_t* rgb);

}  // namespace orvanel::platform::photo
