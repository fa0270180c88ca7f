#pragma once
// The saver's one random generator: a 32-bit seed per saver instance.
#include <cstdint>

#include "platform/desktop.h"

namespace orvanel::slideshow {

// Seeds `seed` with the milliseconds since midnight, UTC.
void Randomize(platform::Desktop& desktop, std::uint32_t& seed);

// A number from 0 to n - 1 (0 for n = 0): the seed steps as
// seed × 134775813 + 1 modulo 2^32, and the result is the upper half of the
// 64-bit product of the new seed and n.
std::int32_t Random(std::uint32_t& seed, std::int32_t n);

}  // namespace orvanel::slideshow
