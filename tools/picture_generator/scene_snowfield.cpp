// Winter: a snowfield under low hills or a snowy range, with pines near at
// hand, a frozen stream, or a slope falling across the view.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {
namespace {

const Rgb kSnow = Hex(0xf2f4f8);

// From the fourth picture of the kind on, compositions come round again.
constexpr int kSceneRevisit = 3;

// Snow over a ground of height `drifts`: lit on the sun's side, taking the
// sky's blue in shade.
template <class Drifts>
Rgb SnowAt(const Daylight& light, Drifts&& drifts, float x, float y) {
  const float lambert = Lambert(drifts, x, y, light.Towards(), 2.0f);
  const Rgb lit = light.Lit(kSnow, lambert);
  const Rgb shade = Multiply(Mix(light.zenith, Hex(0xa8b8d8), 0.6f), Add(light.ambient, Scale(light.sun, 0.25f)));
  return Mix(shade, lit, SmoothStep(0.0f, 0.65f, lambert));
}

// Snow-laden pines: dark needles under white tiers.
void SnowyPines(Canvas& canvas, const Daylight& light, float left, float right, float base, float tall,
                std::uint32_t seed) {
  Pcg32 placing(seed);
  Skyline pines(canvas.width, static_cast<float>(canvas.height) + 10.0f);
  for (float x = left; x < right; x += tall * placing.Uniform(0.15f, 0.35f)) {
    const float height = tall * placing.Uniform(0.6f, 1.1f);
    pines.AddConifer(x, base + placing.Uniform(0.0f, tall * 0.1f), height, height * placing.Uniform(0.3f, 0.42f));
  }
  const Light sun = light.Towards();
  FillBelow(
      canvas, pines,
      [&](float x, float y) {
        const float tiers = Fbm2(x / (tall * 0.05f + 1.0f), y / (tall * 0.03f + 1.0f), seed + 1, 3);
        const Rgb needles = light.Lit(Hex(0x1a3024), 0.4f);
        const auto lumps = [&](float u, float v) { return 4.0f * Fbm2(u / 4.0f, v / 4.0f, seed + 2, 2); };
        const Rgb snow = light.Lit(kSnow, 0.3f + 0.7f * Lambert(lumps, x, y, sun, 1.0f));
        return Mix(needles, snow, SmoothStep(0.5f, 0.62f, tiers));
      },
      Surface::kPlants, static_cast<int>(base + tall * 0.15f));
}

}  // namespace

void PaintSnowfield(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const int composition = variant % 3;
  // Looking down a slope, or over a stream from higher ground, the horizon stands high.
  const bool high = composition == 2 || (composition == 1 && variant >= kSceneRevisit);
  const float horizon = h * (high ? random.Uniform(0.3f, 0.38f) : random.Uniform(0.5f, 0.6f));
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.stretch = 4.0f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  // Far hills under snow, or a snowy range.
  RangeStyle hills;
  hills.foot = horizon + 1.0f;
  const bool range = composition == 1 && variant < kSceneRevisit;
  hills.height = h * (range ? random.Uniform(0.2f, 0.32f) : random.Uniform(0.05f, 0.12f));
  hills.frequency = range ? random.Uniform(2.0f, 3.0f) : random.Uniform(1.0f, 2.0f);
  hills.sharpness = range ? 0.9f : 0.2f;
  hills.distance = range ? 0.45f : 0.6f;
  hills.snowline = range ? 0.6f : 1.0f;
  hills.rock = range ? Hex(0x8a8a90) : kSnow;
  hills.lowland = range ? Hex(0x5a5a62) : kSnow;
  hills.seed = random.Next();
  PaintRange(canvas, light, hills);
  const std::uint32_t groundSeed = random.Next();
  // The snowfield: drifts and hollows, broad and soft.
  const auto field = [&](float u, float v) {
    const float near = std::clamp((v - horizon) / (h - horizon), 0.0f, 1.0f);
    return 80.0f * near * Fbm2(u / (220.0f + 500.0f * near), v / (50.0f + 260.0f * near), groundSeed, 3);
  };
  FillBelow(
      canvas, [&](float x) { return horizon + h * 0.01f + h * 0.01f * Fbm2(x / 150.0f, 0.7f, groundSeed + 1, 3); },
      [&](float x, float y) { return light.Hazed(SnowAt(light, field, x, y), 0.3f * (1.0f - (y - horizon) / (h - horizon))); },
      Surface::kLand);
  const bool left = variant % 2 == 0;
  switch (composition) {
    case 0: {
      // A far line of pines, and a stand of them close at one side.
      const float treeLine = horizon + (h - horizon) * random.Uniform(0.1f, 0.25f);
      PaintTreeline(
          canvas, light, [&](float x) { return treeLine + h * 0.02f * Fbm2(x / 200.0f, 0.1f, groundSeed + 2, 3); },
          h * 0.06f, 0.35f, Mix(Hex(0x1a3024), kSnow, 0.25f), true, random.Next(),
          static_cast<int>(treeLine + h * 0.04f));
      SnowyPines(canvas, light, left ? -w * 0.05f : w * 0.72f, left ? w * 0.28f : w * 1.05f, h * 0.92f, h * 0.55f,
                 random.Next());
      break;
    }
    case 1: {
      // A frozen stream winding towards the viewer.
      const float source = w * (left ? random.Uniform(0.2f, 0.4f) : random.Uniform(0.6f, 0.8f));
      const std::uint32_t streamSeed = random.Next();
      for (int y = static_cast<int>(horizon + h * 0.03f); y < canvas.height; ++y) {
        const float fy = static_cast<float>(y) + 0.5f;
        const float near = (fy - horizon) / (h - horizon);
        const float swing = (left ? 0.25f : -0.25f) * std::sin(near * 4.0f + Fbm2(near * 3.0f, 0.5f, streamSeed, 2) * 3.0f);
        const float middle = source + w * swing * near;
        const float half = w * (0.002f + 0.06f * near * near);
        for (int x = 0; x < canvas.width; ++x) {
          const float inside = std::clamp(half - std::fabs(static_cast<float>(x) + 0.5f - middle) + 0.5f, 0.0f, 1.0f);
          if (inside <= 0.0f) continue;
          const float cracks = Fbm2(static_cast<float>(x) / 20.0f, fy / 8.0f, streamSeed + 1, 3);
          const Rgb ice = Mix(Mix(light.zenith, Hex(0x9ab8d0), 0.5f), light.horizon, 0.3f + 0.3f * cracks);
          canvas.Blend(x, y, light.Hazed(ice, 0.2f * (1.0f - near)), inside, Surface::kWater);
        }
      }
      break;
    }
    default: {
      // A slope falling across the foreground, pines scattered down it.
      const std::uint32_t slopeSeed = random.Next();
      const auto slopeTop = [&](float x) {
        const float t = left ? x / w : 1.0f - x / w;
        return h * (0.5f + 0.4f * t) - h * 0.03f * Fbm2(x / 90.0f, 0.5f, slopeSeed, 3);
      };
      const auto slope = [&](float u, float v) { return 60.0f * Fbm2(u / 200.0f, v / 120.0f, slopeSeed + 1, 3) - v * 0.2f; };
      FillBelow(canvas, slopeTop, [&](float x, float y) { return SnowAt(light, slope, x, y); }, Surface::kLand);
      Pcg32 placing(slopeSeed + 2);
      for (int i = 0; i < 7; ++i) {
        const float x = w * placing.Uniform(0.0f, 1.0f);
        const float tall = h * placing.Uniform(0.08f, 0.2f);
        SnowyPines(canvas, light, x, x + 1.0f, slopeTop(x) + tall * 0.1f, tall, placing.Next());
      }
      break;
    }
  }
}

}  // namespace orvanel::tools
