#pragma once
// The template parts of terrain.h.
#include <cmath>

namespace orvanel::tools {

template <class Ground>
void PaintTreeline(Canvas& canvas, const Daylight& light, Ground&& ground, float height, float distance,
                   const Rgb& albedo, bool conifers, std::uint32_t seed, int bottom) {
  Pcg32 random(seed);
  const float w = static_cast<float>(canvas.width);
  Skyline line(canvas.width, [&](float x) { return ground(x) - height * 0.25f; });
  // Trees stand closer than their width, so the line is unbroken.
  const float spacing = std::max(2.0f, height * (conifers ? 0.22f : 0.45f));
  for (float x = -spacing; x < w + spacing; x += spacing * random.Uniform(0.5f, 1.2f)) {
    const float tall = height * random.Uniform(0.6f, 1.15f);
    const float g = ground(std::clamp(x, 0.0f, w - 1));
    if (conifers) {
      line.AddConifer(x, g, tall, tall * random.Uniform(0.32f, 0.45f));
    } else {
      line.AddBroadleaf(x, g, tall, tall * random.Uniform(0.7f, 1.1f));
    }
  }
  const Light sun = light.Towards();
  const float scale = std::max(2.0f, height * 0.12f);
  const auto leaves = [&](float x, float y) {
    return (conifers ? 6.0f : 10.0f) * Fbm2(x / scale, y / scale, seed + 3, 4);
  };
  FillBelow(
      canvas, line,
      [&](float x, float y) {
        // Crowns catch the light; deeper in, the forest is in shade.
        const float depth = std::clamp((y - line(x)) / (height * 1.2f), 0.0f, 1.0f);
        const float lambert = Lambert(leaves, x, y, sun, 1.0f);
        const float shade = (0.55f + 0.6f * lambert) * (1.0f - 0.55f * depth);
        return light.Hazed(light.Lit(albedo, shade), distance);
      },
      Surface::kPlants, bottom);
}

}  // namespace orvanel::tools
