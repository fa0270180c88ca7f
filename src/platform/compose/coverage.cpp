#include "platform/compose/coverage.h"

#include <algorithm>

namespace orvanel::platform::compose {

bool WriteCoverage(const std::vector<Layer>& layers, std::int32_t width, std::int32_t height,
                   std::uint8_t* frame, std::ptrdiff_t stride) {
  const Rect whole{0, 0, width, height};
  const bool opaque = std::any_of(layers.begin(), layers.end(), [&](const Layer& layer) {
    return layer.alpha == 255 && layer.rect.Contains(whole);
  });
  if (opaque) return false;
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* row = frame + y * stride;
    for (std::int32_t x = 0; x < width; ++x) row[x * 4 + 3] = 0;
  }
  for (const Layer& layer : layers) {
    const Rect part = layer.rect.Intersect(whole);
    const unsigned alpha = layer.alpha;
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
      std::uint8_t* row = frame + y * stride;
      for (std::int32_t x = part.left; x < part.right; ++x) {
        // The blend's own rounding, with the layer's coverage whole: no
        // colour byte blended alongside ever exceeds its pixel's coverage.
        const unsigned below = row[x * 4 + 3];
        const unsigned mixed = 255 * alpha + below * (255 - alpha) + 127;
        row[x * 4 + 3] = static_cast<std::uint8_t>((mixed + 1 + (mixed >> 8)) >> 8);
      }
    }
  }
  return true;
}

}  // namespace orvanel::platform::compose
