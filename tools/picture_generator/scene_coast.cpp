// The coast: a headland of cliffs over a beach, stacks of rock standing in
// the sea off a sandy bay, and a rocky shore where the waves break.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {
namespace {

// The open sea to the horizon: the sky mirrored in a swell that grows nearer.
void Sea(Canvas& canvas, const Daylight& light, float horizon, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const Rgb sea = Mix(Hex(0x1d4a5e), Hex(0x2a6a70), random.Uniform());
  PaintReflection(canvas, light, horizon, sea, 0.1f, random.Next());
  const std::uint32_t waveSeed = random.Next();
  const float sunX = DiscX(light, canvas);
  for (int y = static_cast<int>(std::ceil(horizon)); y < canvas.height; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float depth = (fy - horizon) / (h - horizon);
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      const float swell = Fbm2(fx / (25.0f + 160.0f * depth), fy / (1.2f + 14.0f * depth), waveSeed, 4);
      auto& c = canvas.at(x, y);
      c = Mix(c, Scale(sea, 0.7f), depth * 0.5f);
      c = Scale(c, 0.85f + 0.3f * swell);
      const float glint = std::exp(-std::fabs(fx - sunX) / (w * (0.02f + 0.1f * depth)));
      if (light.discVisible) c = Add(c, Scale(light.sun, glint * SmoothStep(0.6f, 0.75f, swell) * 0.8f));
    }
  }
}

// Rock lit as a surface of ledges, for cliffs and stacks.
Rgb RockFace(const Daylight& light, float x, float y, std::uint32_t seed, const Rgb& stone, float haze) {
  const auto face = [&](float u, float v) {
    return 18.0f * Ridged2(u / 28.0f, v / 20.0f, seed, 4, 0.6f) + 5.0f * Fbm2(u / 6.0f, v / 6.0f, seed + 1, 2);
  };
  return light.Hazed(light.Lit(stone, Lambert(face, x, y, light.Towards(), 1.5f)), haze);
}

// A beach in front, wet and darker at the water's edge, with the last wash
// of a wave.
void Beach(Canvas& canvas, const Daylight& light, float shore, float tilt, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const std::uint32_t seed = random.Next();
  const auto top = [&](float x) {
    return shore + h * 0.04f * (Fbm2(x / 220.0f, 0.5f, seed, 3) - 0.5f) + tilt * (x / w - 0.5f) * h;
  };
  const Rgb sand = Mix(Hex(0xd8c4a0), Hex(0xc8b08a), random.Uniform());
  const Light sun = light.Towards();
  FillBelow(
      canvas, top,
      [&](float x, float y) {
        const float below = y - top(x);
        const float wet = SmoothStep(h * 0.035f, 0.0f, below);
        const float ripples = Fbm2(x / 40.0f, y / 14.0f, seed + 1, 3);
        const auto drifts = [&](float u, float v) { return 25.0f * Fbm2(u / 90.0f, v / 60.0f, seed + 2, 3); };
        Rgb c = light.Lit(Scale(sand, 0.9f + 0.15f * ripples), Lambert(drifts, x, y, sun, 2.0f));
        c = Mix(c, Mix(Scale(sand, 0.55f), light.horizon, 0.35f), wet * 0.8f);
        const float foam = SmoothStep(0.0f, 1.5f, below) * SmoothStep(5.0f, 2.5f, below);
        return Mix(c, Add(light.ambient, Scale(light.sun, 0.7f)), foam * 0.8f * (0.6f + 0.4f * ripples));
      },
      Surface::kLand);
}

void Headland(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.42f, 0.52f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.stretch = random.Uniform(2.0f, 4.0f);
  clouds.lowest = 0.6f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  Sea(canvas, light, horizon, random);
  // The headland runs out to sea from one side, falling away at its point.
  const bool left = random.Chance(0.5f);
  const float reach = w * random.Uniform(0.4f, 0.65f);
  const float cliffHeight = h * random.Uniform(0.14f, 0.26f);
  const std::uint32_t seed = random.Next();
  const auto top = [&](float x) {
    const float along = left ? x / reach : (w - x) / reach;  // 0 at the picture's edge, 1 at the point
    if (along >= 1.0f) return h + 10.0f;
    const float fall = std::pow(SmoothStep(0.35f, 1.0f, along), 0.7f);
    const float rough = h * 0.025f * Ridged1(x / 45.0f, seed, 5, 0.5f);
    return horizon + h * 0.03f - cliffHeight * (1.0f - fall) * (0.85f + 0.25f * Fbm2(x / 120.0f, 0.2f, seed + 1, 3)) -
           h * 0.12f * (1.0f - along) + rough;
  };
  const Rgb stone = Mix(Hex(0x9a8c78), Hex(0x7c7264), random.Uniform());
  // The cliff's foot, where the sea meets it: nearer, and so lower, towards
  // the picture's edge.
  const auto foot = [&](float x) {
    const float along = left ? x / reach : (w - x) / reach;
    return horizon + h * 0.02f + h * 0.3f * std::pow(std::max(0.0f, 1.0f - along), 1.5f);
  };
  FillBetween(
      canvas, top, foot,
      [&](float x, float y) {
        // Turf on the top, bare rock below it.
        const float belowTop = y - top(x);
        const Rgb rock = RockFace(light, x, y, seed + 2, stone, 0.15f);
        const Rgb turf = light.Hazed(light.Lit(Hex(0x4e6a34), 0.7f + 0.3f * Fbm2(x / 8.0f, y / 8.0f, seed + 3, 2)), 0.15f);
        // Darker and wet where the waves reach.
        const float wet = SmoothStep(h * 0.03f, 0.0f, foot(x) - y);
        return Scale(Mix(turf, rock, SmoothStep(2.0f, 9.0f, belowTop)), 1.0f - 0.4f * wet);
      },
      Surface::kLand);
  // Surf along the foot.
  const std::uint32_t surfSeed = random.Next();
  const Rgb white = Add(Scale(light.ambient, 0.7f), Scale(light.sun, 0.6f));
  for (int x = 0; x < canvas.width; ++x) {
    const float fx = static_cast<float>(x) + 0.5f;
    const float f = foot(fx);
    if (top(fx) >= f) continue;
    for (int y = static_cast<int>(f); y < std::min(canvas.height, static_cast<int>(f + h * 0.02f)); ++y) {
      const float spray = Fbm2(fx / 10.0f, static_cast<float>(y) / 5.0f, surfSeed, 3);
      const float amount = SmoothStep(h * 0.02f, 0.0f, static_cast<float>(y) - f) * SmoothStep(0.4f, 0.65f, spray);
      canvas.Blend(x, y, white, amount * 0.85f, Surface::kWater);
    }
  }
  Beach(canvas, light, h * random.Uniform(0.76f, 0.86f), left ? -0.05f : 0.05f, random);
}

void Stacks(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.38f, 0.48f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.lowest = 0.55f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  Sea(canvas, light, horizon, random);
  // Pillars of rock in the sea, nearer ones lower in the picture and larger.
  const Rgb stone = Mix(Hex(0x8a7e6c), Hex(0x6e6a60), random.Uniform());
  const int count = 2 + random.Below(3);
  for (int i = 0; i < count; ++i) {
    const float depth = random.Uniform(0.05f, 0.45f);
    const float base = horizon + (h - horizon) * depth;
    const float scale = 0.6f + 2.5f * depth;
    const float centre = w * random.Uniform(0.1f, 0.9f);
    const float half = w * random.Uniform(0.025f, 0.06f) * scale;
    const float tall = h * random.Uniform(0.12f, 0.2f) * scale;
    const std::uint32_t seed = random.Next();
    const auto top = [=](float x) {
      const float t = std::fabs(x - centre) / half;
      if (t >= 1.0f) return h + 10.0f;
      // Steep sides, a rounded, broken top.
      return base - tall * (1.0f - std::pow(t, 6.0f)) + h * 0.015f * scale * Ridged1(x / 20.0f, seed, 4, 0.5f);
    };
    FillBelow(
        canvas, top, [&](float x, float y) { return RockFace(light, x, y, seed + 1, stone, 0.4f * (1.0f - depth)); },
        Surface::kLand, static_cast<int>(base + 2.0f));
  }
  Beach(canvas, light, h * random.Uniform(0.8f, 0.9f), random.Uniform(-0.08f, 0.08f), random);
}

void RockyShore(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.35f, 0.45f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.stretch = 2.5f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  Sea(canvas, light, horizon, random);
  // Boulders and slabs along the foot of the picture, the surf breaking on them.
  const std::uint32_t seed = random.Next();
  const Rgb stone = Mix(Hex(0x5a5650), Hex(0x6a6258), random.Uniform());
  const float rise = h * random.Uniform(0.15f, 0.3f);
  const float lean = random.Uniform(-0.15f, 0.15f);
  const auto top = [&](float x) {
    const float boulders = Ridged1(x / 90.0f, seed, 5, 0.7f);
    return h - rise * (0.35f + 0.9f * boulders) + lean * (x - w / 2) * 0.3f;
  };
  FillBelow(canvas, top, [&](float x, float y) { return RockFace(light, x, y, seed + 1, stone, 0.0f); }, Surface::kLand);
  // Spray and foam where the waves meet the rocks.
  const std::uint32_t foamSeed = random.Next();
  const Rgb white = Add(Scale(light.ambient, 0.7f), Scale(light.sun, 0.6f));
  for (int y = static_cast<int>(horizon); y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x), fy = static_cast<float>(y);
      const float gap = top(fx) - fy;  // > 0 above the rocks
      if (gap < 0.0f || gap > h * 0.12f || canvas.surface(x, y) != Surface::kWater) continue;
      const float spray = Fbm2(fx / 14.0f, fy / 10.0f, foamSeed, 4);
      const float amount = SmoothStep(h * 0.12f, 0.0f, gap) * SmoothStep(0.45f, 0.7f, spray);
      canvas.Blend(x, y, white, amount * 0.9f, Surface::kWater);
    }
  }
}

}  // namespace

void PaintCoast(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  switch (variant % 3) {
    case 0: Headland(canvas, light, random); break;
    case 1: Stacks(canvas, light, random); break;
    default: RockyShore(canvas, light, random); break;
  }
}

}  // namespace orvanel::tools
