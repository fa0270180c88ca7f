// Forests: rows of trees fading into mist over a clearing; a forest's edge
// across a still pond; or the view from among the trunks.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {
namespace {

struct Foliage {
  bool conifers;
  bool autumn;
  Rgb leaves;
};

Foliage ChooseFoliage(const Daylight& light, Pcg32& random, int variant) {
  Foliage f{};
  f.conifers = variant % 2 == 0 ? random.Chance(0.7f) : random.Chance(0.3f);
  // Broadleaves turn in autumn's low light.
  f.autumn = !f.conifers && light.sun.r > light.sun.b * 1.15f;
  f.leaves = f.conifers ? Hex(0x20402a) : f.autumn ? Hex(0x9a5a22) : Hex(0x3a6a2a);
  return f;
}

// Light falling in shafts from a low sun, through mist or leaves.
void Shafts(Canvas& canvas, const Daylight& light, float horizon, std::uint32_t seed, float strength) {
  if (!light.discVisible || light.elevation > 0.6f) return;
  const float h = static_cast<float>(canvas.height);
  const float sunX = DiscX(light, canvas);
  const float sunY = DiscY(light, horizon);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - sunX;
      const float dy = static_cast<float>(y) + 0.5f - sunY;
      const float distance = std::hypot(dx, dy);
      if (dy <= 0 || distance < 1.0f) continue;
      // The shafts' pattern turns with the angle, smoothly all round.
      const float ax = dx / distance * 9.0f;
      const float ay = dy / distance * 9.0f;
      const float ray = SmoothStep(0.55f, 0.8f, Fbm2(ax, ay, seed, 3));
      const float fade = std::exp(-distance / (h * 0.6f)) * SmoothStep(0.0f, h * 0.1f, dy);
      auto& c = canvas.at(x, y);
      c = Add(c, Scale(light.glow, ray * fade * strength));
    }
  }
}

void Rows(Canvas& canvas, const Daylight& light, Pcg32& random, const Foliage& foliage, bool fromAbove) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  // From a clearing, or from a hilltop looking down over the rows.
  const float horizon = h * (fromAbove ? random.Uniform(0.22f, 0.3f) : random.Uniform(0.42f, 0.55f));
  CloudStyle clouds;
  clouds.cover = light.cloudCover * 0.6f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  const int rows = 5 + random.Below(2);
  const std::uint32_t hillSeed = random.Next();
  const float hilly = random.Uniform(0.04f, 0.16f);
  for (int i = 0; i < rows; ++i) {
    const float depth = static_cast<float>(i) / static_cast<float>(rows - 1);
    const float base = horizon + ((fromAbove ? h * 0.95f : h * 0.8f) - horizon) * depth;
    const float hill = h * hilly * (1.0f - depth * 0.5f);
    const float tall = h * (0.04f + 0.2f * depth * depth);
    const Rgb tint = foliage.autumn ? Mix(foliage.leaves, Hex(0xc0862a), random.Uniform(0.0f, 0.7f)) : foliage.leaves;
    // Mist lies between the rows, so that each stands out from the next.
    PaintTreeline(
        canvas, light,
        [&](float x) { return base - hill * Fbm2(x / (w * 0.3f), static_cast<float>(i), hillSeed, 3); }, tall,
        0.85f * std::pow(1.0f - depth, 1.2f), tint, foliage.conifers, random.Next(),
        i == rows - 1 ? -1 : static_cast<int>(base + h * 0.06f));
  }
  Shafts(canvas, light, horizon, random.Next(), 0.16f);
  if (fromAbove) return;
  // A clearing in front.
  const std::uint32_t grassSeed = random.Next();
  const Rgb grass = foliage.autumn ? Hex(0x7a7a3a) : Hex(0x4a7a32);
  const Light sun = light.Towards();
  FillBelow(
      canvas, [&](float x) { return h * 0.86f + h * 0.03f * Fbm2(x / 200.0f, 0.1f, grassSeed, 3); },
      [&](float x, float y) {
        const auto tufts = [&](float u, float v) { return 8.0f * Fbm2(u / 10.0f, v / 10.0f, grassSeed + 1, 4); };
        return light.Lit(grass, 0.4f + 0.6f * Lambert(tufts, x, y, sun, 1.0f));
      },
      Surface::kPlants);
}

void PondEdge(Canvas& canvas, const Daylight& light, Pcg32& random, const Foliage& foliage) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float waterline = h * random.Uniform(0.55f, 0.68f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.stretch = 2.0f;
  PaintSky(canvas, light, waterline, clouds, random.Next());
  // The far bank: a low rise, then the forest on it, tall against the sky.
  const std::uint32_t bankSeed = random.Next();
  const float rise = h * random.Uniform(0.02f, 0.1f);
  const auto bank = [&](float x) { return waterline - rise * Fbm2(x / (w * 0.4f), 0.5f, bankSeed, 3); };
  const Rgb tint = foliage.autumn ? Hex(0xb0702a) : foliage.leaves;
  PaintTreeline(canvas, light, bank, h * random.Uniform(0.12f, 0.22f), 0.1f, tint, foliage.conifers, random.Next(),
                static_cast<int>(std::ceil(waterline)));
  PaintReflection(canvas, light, waterline, Hex(0x203828), random.Uniform(0.7f, 0.95f), random.Next());
  // Reeds at the near edge.
  const std::uint32_t reedSeed = random.Next();
  Skyline reeds(canvas.width, h + 10.0f);
  Pcg32 placing(reedSeed);
  const float reedBase = h + 2.0f;
  const float from = random.Chance(0.5f) ? 0.0f : w * 0.5f;
  for (float x = from; x < from + w * 0.5f; x += placing.Uniform(1.5f, 4.0f)) {
    const float tall = h * placing.Uniform(0.05f, 0.16f);
    const float lean = placing.Uniform(-0.15f, 0.15f);
    for (float t = 0; t < 1.0f; t += 0.02f) {
      const float px = x + lean * tall * t;
      for (float dx = -0.6f; dx <= 0.6f; dx += 0.25f) reeds.Raise(px + dx, reedBase - tall * t);
    }
  }
  FillBelow(
      canvas, reeds,
      [&](float x, float y) { return light.Lit(Hex(0x5a6a2a), 0.3f + 0.4f * Fbm2(x / 3.0f, y / 30.0f, reedSeed, 2)); },
      Surface::kPlants);
}

void AmongTrunks(Canvas& canvas, const Daylight& light, Pcg32& random, const Foliage& foliage) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.55f, 0.65f);
  // Between the trunks only the bright haze of the forest's depth shows.
  Daylight within = light;
  within.zenith = Mix(light.horizon, light.haze, 0.5f);
  within.horizon = Mix(light.haze, light.glow, 0.3f);
  CloudStyle none;
  none.cover = 0.0f;
  PaintSky(canvas, within, horizon, none, random.Next());
  // Rows of trunks, from far and thin to near and wide.
  const Rgb bark = foliage.conifers ? Hex(0x4a3a2e) : Hex(0x6a6a62);
  const Light sun = light.Towards();
  for (int row = 0; row < 4; ++row) {
    const float depth = static_cast<float>(row) / 3.0f;
    const float ground = horizon + (h - horizon) * (0.1f + 0.5f * depth);
    const float width = w * (0.006f + 0.05f * depth * depth);
    const std::uint32_t seed = random.Next();
    Pcg32 placing(seed);
    Skyline trunks(canvas.width, h + 10.0f);
    const float spacing = w * (0.03f + 0.12f * depth);
    for (float x = placing.Uniform(0.0f, spacing); x < w + width; x += spacing * placing.Uniform(0.6f, 1.4f)) {
      const float wide = width * placing.Uniform(0.7f, 1.3f);
      for (float px = x - wide / 2; px < x + wide / 2; px += 0.25f) trunks.Raise(px, -10.0f);
    }
    FillBelow(
        canvas, trunks,
        [&](float x, float y) {
          const auto roughness = [&](float u, float v) { return 3.0f * Fbm2(u / 3.0f, v / 12.0f, seed + 1, 3); };
          const Rgb c = light.Lit(bark, 0.3f + 0.5f * Lambert(roughness, x, y, sun, 1.0f));
          return light.Hazed(c, 0.75f * (1.0f - depth));
        },
        Surface::kPlants, static_cast<int>(ground + width * 0.5f));
  }
  // The canopy closes overhead.
  const std::uint32_t canopySeed = random.Next();
  for (int y = 0; y < static_cast<int>(h * 0.35f); ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x), fy = static_cast<float>(y);
      const float leaves = Fbm2(fx / 30.0f, fy / 30.0f, canopySeed, 5);
      const float cover = SmoothStep(h * 0.35f, 0.0f, fy) * SmoothStep(0.35f, 0.55f, leaves + 0.25f * (1.0f - fy / (h * 0.35f)));
      const Rgb tint = foliage.autumn ? Hex(0x8a4a1a) : Hex(0x1e3a1c);
      canvas.Blend(x, y, light.Lit(tint, 0.3f + 0.5f * leaves), cover, Surface::kPlants);
    }
  }
  Shafts(canvas, light, horizon, random.Next(), 0.25f);
  // The forest floor: moss, ferns, fallen leaves.
  const std::uint32_t floorSeed = random.Next();
  const Rgb floor = foliage.autumn ? Hex(0x8a5a2a) : Hex(0x4a6a2a);
  FillBelow(
      canvas, [&](float) { return h * 0.93f; },
      [&](float x, float y) {
        const auto bumps = [&](float u, float v) { return 6.0f * Fbm2(u / 9.0f, v / 9.0f, floorSeed, 4); };
        return light.Lit(floor, 0.3f + 0.5f * Lambert(bumps, x, y, sun, 1.0f));
      },
      Surface::kPlants);
  // Ground between the trunks, from the far rows to the near.
  for (int y = static_cast<int>(horizon); y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      if (canvas.surface(x, y) != Surface::kSky) continue;
      const float near = (static_cast<float>(y) - horizon) / (h - horizon);
      const float moss = Fbm2(static_cast<float>(x) / (8.0f + 40.0f * near), static_cast<float>(y) / (4.0f + 20.0f * near), floorSeed + 2, 4);
      canvas.Blend(x, y, light.Hazed(light.Lit(floor, 0.3f + 0.4f * moss), 0.6f * (1.0f - near)), 1.0f, Surface::kPlants);
    }
  }
}

}  // namespace

void PaintForest(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const Foliage foliage = ChooseFoliage(light, random, variant);
  switch (variant % 3) {
    case 0: Rows(canvas, light, random, foliage, variant >= 3); break;
    case 1: PondEdge(canvas, light, random, foliage); break;
    default: AmongTrunks(canvas, light, random, foliage); break;
  }
}

}  // namespace orvanel::tools
