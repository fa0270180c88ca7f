#include "slideshow/random_numbers.h"

#include <cassert>

namespace orvanel::slideshow {

void Randomize(platform::Desktop& desktop, std::uint32_t& seed) {
  seed = platform::MillisecondsOfDay(desktop.SystemTime());
}

std::int32_t Random(std::uint32_t& seed, std::int32_t n) {
  assert(n >= 0);
  seed = seed * 134775813u + 1u;
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace orvanel::slideshow
