#include "terrain.h"

#include <algorithm>
#include <cmath>

namespace orvanel::tools {

Skyline::Skyline(int width, float ground) : samples_(static_cast<std::size_t>(width) * 4, ground) {}

float Skyline::operator()(float x) const {
  const auto i = static_cast<std::ptrdiff_t>(std::floor(x * 4.0f));
  return samples_[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, static_cast<std::ptrdiff_t>(samples_.size()) - 1))];
}

void Skyline::Raise(float x, float top) {
  const auto i = static_cast<std::ptrdiff_t>(std::floor(x * 4.0f));
  if (i < 0 || i >= static_cast<std::ptrdiff_t>(samples_.size())) return;
  auto& s = samples_[static_cast<std::size_t>(i)];
  s = std::min(s, top);
}

void Skyline::AddConifer(float centre, float base, float height, float width) {
  const float half = width / 2;
  for (float x = std::floor((centre - half) * 4) / 4; x <= centre + half; x += 0.25f) {
    const float along = std::fabs(x + 0.125f - centre) / half;  // 0 at the trunk, 1 at the tips
    if (along >= 1.0f) continue;
    // Tiers of branches: the outline steps in at each tier.
    const float fromTop = 1.0f - along;
    const float tier = std::fmod(along * 3.5f, 1.0f);
    const float top = base - height * (fromTop - 0.18f * tier * along);
    Raise(x + 0.125f, top);
  }
}

void Skyline::AddBroadleaf(float centre, float base, float height, float width) {
  const float radius = width / 2;
  const float middle = base - height + radius;
  for (float x = std::floor((centre - radius) * 4) / 4; x <= centre + radius; x += 0.25f) {
    const float dx = (x + 0.125f - centre) / radius;
    if (std::fabs(dx) >= 1.0f) continue;
    const float lobes = 0.08f * std::sin(dx * 9.0f + centre);
    Raise(x + 0.125f, middle - radius * (std::sqrt(1.0f - dx * dx) + lobes));
  }
}

float RangeTop(const RangeStyle& style, float x, int width, int octaves) {
  const float u = x / static_cast<float>(width) * style.frequency;
  if (octaves <= 0) octaves = 4 + static_cast<int>(std::lround(4.0f * (1.0f - style.distance)));
  const float r = Ridged1(u + static_cast<float>(style.seed % 997), style.seed, octaves, style.sharpness);
  return style.foot - style.height * std::clamp((r - 0.2f) / 0.75f, 0.0f, 1.0f);
}

void PaintRange(Canvas& canvas, const Daylight& light, const RangeStyle& style, int bottom) {
  const int width = canvas.width;
  const Skyline crest(width, [&](float x) { return RangeTop(style, x, width); });
  // The broad shape of the crest, which the light on the face follows.
  const Skyline shoulders(width, [&](float x) { return RangeTop(style, x, width, 2); });
  const Light sun = light.Towards();
  // The face as a surface: gullies and buttresses at the scale of the range,
  // finer rock nearer the viewer, measured the same way across and down.
  const float scale = style.height * 0.3f + 10.0f;
  const float detail = 1.0f - style.distance;
  const auto relief = [&](float x, float y) {
    const float gullies = Ridged2(x / scale, y / scale, style.seed + 21, 4, 0.5f);
    const float rock = Fbm2(x / 12.0f, y / 12.0f, style.seed + 22, 3);
    // Below a peak the face stands out; below a saddle it lies back.
    const float below = std::max(0.0f, y - shoulders(x));
    const float lean = (style.foot - shoulders(x)) * 0.45f * std::exp(-below / (style.height * 0.8f + 1.0f));
    return scale * 0.45f * gullies + 2.5f * detail * rock + lean;
  };
  const float snowTop = style.foot - style.height;
  FillBelow(
      canvas, crest,
      [&](float x, float y) {
        const float lambert = Lambert(relief, x, y, sun, 2.0f);
        const float down = std::clamp((y - crest(x)) / std::max(1.0f, style.foot - crest(x) + 1.0f), 0.0f, 1.0f);
        Rgb albedo = Mix(style.rock, style.lowland, SmoothStep(0.45f, 1.0f, down));
        if (style.snowline > 0.0f) {
          // Snow lies high up and where the slope is gentle enough to hold it.
          const float line = snowTop + style.height * style.snowline *
                                           (0.7f + 0.6f * Fbm2(x / 40.0f, y / 40.0f, style.seed + 23, 3));
          const float hold = SmoothStep(0.35f, 0.6f, lambert);
          const float snow = SmoothStep(line + 6.0f, line - 6.0f, y) * (0.35f + 0.65f * hold);
          albedo = Mix(albedo, Hex(0xeef2f8), std::clamp(snow * 1.4f, 0.0f, 1.0f));
        }
        const float mist = std::exp(-(style.foot - y) / (style.height * 0.25f + 1.0f)) * 0.5f;
        return light.Hazed(light.Lit(albedo, lambert), style.distance * 0.85f + mist * style.distance);
      },
      Surface::kLand, bottom);
}

}  // namespace orvanel::tools
