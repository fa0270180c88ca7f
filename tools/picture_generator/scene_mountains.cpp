// Mountain scenes: ranges over a lake, and an alpine valley.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {
namespace {

Rgb RockFor(const Daylight& light, Pcg32& random) {
  const Rgb rocks[] = {Hex(0x7a7470), Hex(0x6e6a66), Hex(0x857a6c), Hex(0x6a707a)};
  return Mix(rocks[random.Below(4)], light.haze, 0.1f);
}

}  // namespace

void PaintLakeRange(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const float h = static_cast<float>(canvas.height);
  const float waterline = h * random.Uniform(0.56f, 0.66f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  PaintSky(canvas, light, waterline, clouds, random.Next());
  const int ranges = 2 + variant % 3;
  const Rgb rock = RockFor(light, random);
  for (int i = 0; i < ranges; ++i) {
    const float depth = static_cast<float>(i) / static_cast<float>(ranges - 1);  // 0 far .. 1 near
    RangeStyle range;
    range.foot = waterline + 1.0f;
    range.height = h * random.Uniform(0.2f, 0.38f) * (1.2f - 0.6f * depth);
    range.frequency = random.Uniform(1.5f, 3.0f) * (1.0f + depth);
    range.sharpness = std::clamp(0.85f - 0.5f * depth + random.Uniform(-0.1f, 0.1f), 0.0f, 1.0f);
    range.distance = 0.75f * (1.0f - depth);
    range.snowline = i == 0 && light.time != TimeOfDay::kSunset ? random.Uniform(0.15f, 0.35f) : 0.0f;
    range.rock = rock;
    range.lowland = Mix(Hex(0x2f4a2a), rock, 0.3f);
    range.seed = random.Next();
    PaintRange(canvas, light, range, static_cast<int>(std::ceil(waterline)));
  }
  // A line of pines along the far shore.
  PaintTreeline(
      canvas, light, [&](float) { return waterline + 0.5f; }, h * 0.018f, 0.35f, Hex(0x243a26), true, random.Next(),
      static_cast<int>(std::ceil(waterline)));
  PaintReflection(canvas, light, waterline, Mix(Hex(0x1c3440), light.haze, 0.2f), random.Uniform(0.3f, 0.8f),
                  random.Next());
  // A rocky shore in front, on either side in turn.
  const bool left = variant % 2 == 0;
  const float w = static_cast<float>(canvas.width);
  const float reach = w * random.Uniform(0.25f, 0.5f);
  const float rise = h * random.Uniform(0.06f, 0.12f);
  const std::uint32_t shoreSeed = random.Next();
  const Light sun = light.Towards();
  FillBelow(
      canvas,
      [&](float x) {
        const float along = left ? 1.0f - x / reach : 1.0f - (w - x) / reach;
        if (along <= 0.0f) return h + 10.0f;
        return h - rise * std::sqrt(along) * (0.7f + 0.6f * Ridged1(x / 70.0f, shoreSeed, 5, 0.4f));
      },
      [&](float x, float y) {
        const auto bumps = [&](float u, float v) { return 12.0f * Fbm2(u / 14.0f, v / 14.0f, shoreSeed + 3, 4); };
        return light.Lit(Hex(0x4a4638), Lambert(bumps, x, y, sun) * 0.8f);
      },
      Surface::kLand);
}

void PaintAlpineValley(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const float h = static_cast<float>(canvas.height);
  const float w = static_cast<float>(canvas.width);
  const float horizon = h * random.Uniform(0.5f, 0.6f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover * 0.8f;
  clouds.stretch = 2.2f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  const Rgb rock = RockFor(light, random);
  // High peaks, snow down their faces.
  for (int i = 0; i < 2; ++i) {
    RangeStyle range;
    range.foot = horizon + h * 0.08f * static_cast<float>(i);
    range.height = h * random.Uniform(0.3f, 0.42f) * (1.0f - 0.3f * static_cast<float>(i));
    range.frequency = random.Uniform(1.4f, 2.4f) * (1.0f + 0.6f * static_cast<float>(i));
    range.sharpness = 0.9f - 0.2f * static_cast<float>(i);
    range.distance = 0.5f - 0.25f * static_cast<float>(i);
    range.snowline = random.Uniform(0.45f, 0.7f) * (1.0f - 0.5f * static_cast<float>(i));
    range.rock = rock;
    range.lowland = Hex(0x3a5a30);
    range.seed = random.Next();
    PaintRange(canvas, light, range);
  }
  // Green slopes rising to either side of the valley floor.
  const std::uint32_t slopeSeed = random.Next();
  const float floor = h * random.Uniform(0.7f, 0.78f);
  // The valley opens to the left or the right of the middle in turn.
  const float valley = w * (variant % 2 == 0 ? 0.36f : 0.64f) + w * random.Uniform(-0.06f, 0.06f);
  const Light sun = light.Towards();
  const auto slopeTop = [&](float x) {
    const float side = std::fabs(x - valley) / w;
    return floor - h * 0.35f * side * side * 2.0f - h * 0.04f * Fbm2(x / 180.0f, 0.5f, slopeSeed, 3);
  };
  const Rgb grass = Mix(Hex(0x5a8a3a), Hex(0x8a8a3a), std::clamp(-light.ambient.b + 0.4f, 0.0f, 1.0f));
  FillBelow(
      canvas, slopeTop,
      [&](float x, float y) {
        const auto ground = [&](float u, float v) {
          return 30.0f * Fbm2(u / 60.0f, v / 45.0f, slopeSeed + 1, 4) - (v - slopeTop(u)) * 0.15f;
        };
        const float lambert = Lambert(ground, x, y, sun, 2.0f);
        return light.Hazed(light.Lit(grass, lambert), 0.15f);
      },
      Surface::kLand);
  // Pines on the slopes, thicker to the sides.
  PaintTreeline(
      canvas, light, [&](float x) { return slopeTop(x) + h * 0.05f; }, h * 0.06f, 0.1f, Hex(0x1e3620), true,
      random.Next(), static_cast<int>(floor + h * 0.1f));
  // The valley floor in front: pasture.
  const std::uint32_t meadowSeed = random.Next();
  FillBelow(
      canvas, [&](float x) { return floor + h * 0.08f + h * 0.02f * Fbm2(x / 150.0f, 0.2f, meadowSeed, 3); },
      [&](float x, float y) {
        const float flowers = Fbm2(x / 12.0f, y / 6.0f, meadowSeed + 2, 3);
        const Rgb c = Mix(grass, Hex(0xb8b050), SmoothStep(0.62f, 0.75f, flowers) * 0.5f);
        const float near = (y - floor) / (h - floor);
        return light.Lit(Scale(c, 0.85f + 0.15f * near), 0.7f + 0.2f * flowers);
      },
      Surface::kPlants);
}

}  // namespace orvanel::tools
