// Rivers: one winding from the hills towards the viewer, one seen from high
// up in loops across a plain, and a broad one flowing across the view.
#include <cmath>
#include <functional>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {
namespace {

Rgb GrassFor(const Daylight& light) {
  return light.ambient.b > light.ambient.r * 1.3f ? Hex(0x4a7a36) : Hex(0x6a8a3a);
}

// Rolling meadow from `top(x)` down, its folds wider nearer the viewer.
void Meadow(Canvas& canvas, const Daylight& light, const std::function<float(float)>& top, float horizon,
            const Rgb& grass, std::uint32_t seed) {
  const float h = static_cast<float>(canvas.height);
  const Light sun = light.Towards();
  FillBelow(
      canvas, top,
      [&](float x, float y) {
        const float near = std::clamp((y - horizon) / (h - horizon), 0.0f, 1.0f);
        const auto ground = [&](float u, float v) {
          return 30.0f * Fbm2(u / (60.0f + 200.0f * near), v / (30.0f + 120.0f * near), seed, 4);
        };
        const float lambert = Lambert(ground, x, y, sun, 2.0f);
        return light.Hazed(light.Lit(grass, 0.45f + 0.6f * lambert), 0.35f * (1.0f - near));
      },
      Surface::kPlants);
}

// Water along a course: `middle(y)` and `half(y)` for each row from `top`.
// It mirrors the sky above the horizon.
void Water(Canvas& canvas, const std::function<float(float)>& middle, const std::function<float(float)>& half,
           float top, float horizon, std::uint32_t seed) {
  const float h = static_cast<float>(canvas.height);
  const Canvas before = canvas;
  for (int y = static_cast<int>(top); y < canvas.height; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float m = middle(fy);
    const float halfWidth = half(fy);
    const float near = (fy - top) / (h - top);
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      const float inside = std::clamp(halfWidth - std::fabs(fx - m) + 0.5f, 0.0f, 1.0f);
      if (inside <= 0.0f) continue;
      const float wave = Fbm2(fx / (20.0f + 80.0f * near), fy / (8.0f + 30.0f * near), seed, 3) - 0.5f;
      const float mirrorY = std::clamp(horizon * (0.55f + 0.4f * near) + wave * 12.0f, 0.0f, horizon - 1);
      const int mirrorX = std::clamp(x + static_cast<int>(wave * 16.0f), 0, canvas.width - 1);
      Rgb c = before.at(mirrorX, static_cast<int>(mirrorY));
      c = Mix(c, Hex(0x2a4a4a), 0.25f + 0.25f * near);
      // Darker under the banks.
      c = Scale(c, 0.75f + 0.25f * SmoothStep(0.0f, halfWidth * 0.3f + 1.0f, halfWidth - std::fabs(fx - m)));
      canvas.Blend(x, y, c, inside, Surface::kWater);
    }
  }
}

void Hills(Canvas& canvas, const Daylight& light, Pcg32& random, float horizon, int count) {
  const float h = static_cast<float>(canvas.height);
  for (int i = 0; i < count; ++i) {
    RangeStyle hills;
    hills.foot = horizon + h * 0.04f * static_cast<float>(i) + 1.0f;
    hills.height = h * random.Uniform(0.06f, 0.16f);
    hills.frequency = random.Uniform(1.0f, 2.2f);
    hills.sharpness = 0.15f;
    hills.distance = 0.6f - 0.3f * static_cast<float>(i);
    hills.snowline = 0.0f;
    hills.rock = Hex(0x4a6a3a);
    hills.lowland = Hex(0x3a5a2a);
    hills.seed = random.Next();
    PaintRange(canvas, light, hills);
  }
}

void Winding(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.4f, 0.5f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  Hills(canvas, light, random, horizon, 2);
  const std::uint32_t seed = random.Next();
  Meadow(canvas, light, [&](float x) { return horizon + h * 0.06f + h * 0.015f * Fbm2(x / 120.0f, 0.5f, seed, 3); },
         horizon, GrassFor(light), seed + 1);
  const float source = w * random.Uniform(0.2f, 0.8f);
  const float swing = random.Uniform(0.2f, 0.4f) * (source > w / 2 ? -1.0f : 1.0f);
  const float top = horizon + h * 0.08f;
  Water(
      canvas, [&](float y) { const float near = (y - top) / (h - top); return source + w * swing * std::sin(near * 3.4f + 0.3f) * near; },
      [&](float y) { return w * (0.004f + 0.2f * std::pow((y - top) / (h - top), 1.6f)); }, top, horizon, seed + 2);
  const std::uint32_t bushSeed = random.Next();
  PaintTreeline(
      canvas, light, [&](float x) { return horizon + h * 0.07f + h * 0.01f * Fbm2(x / 80.0f, 0.2f, bushSeed, 2); },
      h * 0.04f, 0.3f, Hex(0x2a4a26), false, bushSeed + 1, static_cast<int>(horizon + h * 0.09f));
}

void Meanders(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.22f, 0.32f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover * 0.7f;
  clouds.lowest = 0.5f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  Hills(canvas, light, random, horizon, 1);
  const std::uint32_t seed = random.Next();
  Meadow(canvas, light, [&](float) { return horizon + 2.0f; }, horizon, Mix(GrassFor(light), Hex(0x8a8a4a), 0.3f), seed);
  // Seen from above, loops across the plain, wider nearer.
  const float loops = random.Uniform(2.5f, 4.0f);
  const float phase = random.Uniform(0.0f, 6.28f);
  Water(
      canvas,
      [&](float y) {
        const float near = (y - horizon) / (h - horizon);
        return w * 0.5f + w * (0.12f + 0.3f * near) * std::sin(std::pow(near, 0.6f) * loops * 3.14f + phase);
      },
      [&](float y) { return w * (0.003f + 0.05f * (y - horizon) / (h - horizon)); }, horizon + 2.0f, horizon, seed + 1);
  // Trees dotted over the plain, larger nearer.
  const Light sun = light.Towards();
  for (int i = 0; i < 5; ++i) {
    const float depth = static_cast<float>(i) / 4.0f;
    const float base = horizon + (h - horizon) * (0.08f + 0.8f * depth * depth);
    const float tall = h * (0.012f + 0.06f * depth);
    Skyline trees(canvas.width, h + 10.0f);
    const int count = 3 + random.Below(6);
    for (int t = 0; t < count; ++t) trees.AddBroadleaf(random.Uniform(0.0f, w), base, tall, tall * random.Uniform(0.8f, 1.3f));
    const std::uint32_t leafSeed = random.Next();
    FillBelow(
        canvas, trees,
        [&](float x, float y) {
          const auto crown = [&](float u, float v) { return 6.0f * Fbm2(u / 5.0f, v / 5.0f, leafSeed, 3); };
          return light.Hazed(light.Lit(Hex(0x2a4a22), 0.35f + 0.7f * Lambert(crown, x, y, sun, 1.0f)), 0.4f * (1.0f - depth));
        },
        Surface::kPlants, static_cast<int>(base) + 1);
  }
}

void Across(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float farBank = h * random.Uniform(0.45f, 0.55f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  PaintSky(canvas, light, farBank, clouds, random.Next());
  Hills(canvas, light, random, farBank - h * 0.04f, 1);
  // The far bank's trees, then the water across the whole view.
  PaintTreeline(canvas, light, [&](float) { return farBank; }, h * random.Uniform(0.06f, 0.12f), 0.2f, Hex(0x2a4a26),
                random.Chance(0.5f), random.Next(), static_cast<int>(std::ceil(farBank)));
  PaintReflection(canvas, light, farBank, Hex(0x2a4a48), random.Uniform(0.4f, 0.7f), random.Next());
  // The near bank, a curve of grass and stones.
  const std::uint32_t seed = random.Next();
  const bool rising = random.Chance(0.5f);
  Meadow(
      canvas, light,
      [&](float x) {
        const float t = rising ? x / w : 1.0f - x / w;
        return h * (0.95f - 0.25f * t * t) - h * 0.02f * Fbm2(x / 60.0f, 0.5f, seed, 3);
      },
      farBank, GrassFor(light), seed + 1);
}

}  // namespace

void PaintRiver(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  switch (variant % 3) {
    case 0: Winding(canvas, light, random); break;
    case 1: Meanders(canvas, light, random); break;
    default: Across(canvas, light, random); break;
  }
}

}  // namespace orvanel::tools
