// A northern night: aurora over snowy mountains, mirrored in a still lake
// edged with black pines.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {

void PaintAurora(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const float h = static_cast<float>(canvas.height);
  const float waterline = h * random.Uniform(0.6f, 0.7f);
  Daylight night = light;
  night.discVisible = random.Chance(0.3f);
  night.elevation = random.Uniform(0.6f, 0.9f);
  CloudStyle clouds;
  clouds.cover = 0.0f;
  PaintSky(canvas, night, waterline, clouds, random.Next());
  // Green below, violet or red high up, as the aurora's two oxygen lines.
  const Rgb low = Mix(Hex(0x30ff8a), Hex(0x50ffb0), random.Uniform());
  const Rgb high = random.Chance(0.5f) ? Hex(0x8a40c0) : Hex(0xc04060);
  PaintAuroraCurtains(canvas, waterline, random.Next(), low, high);
  // Snowy mountains, lit by the aurora's green.
  Daylight glow = night;
  glow.sun = Scale(low, 0.25f);
  RangeStyle range;
  range.foot = waterline + 1.0f;
  range.height = h * random.Uniform(0.12f, 0.24f);
  range.frequency = random.Uniform(1.5f, 2.5f);
  range.sharpness = 0.8f;
  range.distance = 0.35f;
  range.snowline = 0.7f;
  range.rock = Hex(0x3a3a44);
  range.lowland = Hex(0x1a2028);
  range.seed = random.Next();
  // Mountains across the lake, or (every other time) only the forest.
  if (variant % 2 == 0) PaintRange(canvas, glow, range, static_cast<int>(std::ceil(waterline)));
  PaintTreeline(
      canvas, glow, [&](float) { return waterline + 0.5f; },
      h * (variant % 2 == 0 ? random.Uniform(0.03f, 0.06f) : random.Uniform(0.08f, 0.14f)), 0.0f, Hex(0x0a100c),
      true, random.Next(), static_cast<int>(std::ceil(waterline)));
  PaintReflection(canvas, night, waterline, Hex(0x050a14), random.Uniform(0.6f, 0.95f), random.Next());
  // Ice on the near part of the lake.
  const std::uint32_t iceSeed = random.Next();
  for (int y = static_cast<int>(waterline + (h - waterline) * 0.6f); y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x), fy = static_cast<float>(y);
      const float ice = SmoothStep(0.45f, 0.6f, Fbm2(fx / 90.0f, fy / 20.0f, iceSeed, 4)) *
                        SmoothStep(waterline + (h - waterline) * 0.6f, h, fy);
      auto& c = canvas.at(x, y);
      c = Mix(c, Add(Scale(Hex(0x9ab0c8), 0.12f), Scale(low, 0.05f)), ice);
    }
  }
}

}  // namespace orvanel::tools
