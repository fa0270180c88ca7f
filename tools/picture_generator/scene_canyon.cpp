// Red rock country: a canyon between its walls, buttes standing on an open
// desert, and the view from a canyon's rim down into it.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {
namespace {

// The rock's colour at height `y`: the layers it was laid down in.
Rgb Stratum(float y, std::uint32_t seed, const Rgb& base) {
  const float band = Fbm2(0.5f, y / 9.0f, seed, 3);
  const Rgb pale = Hex(0xe0b890);
  const Rgb dark = Hex(0x7a3a22);
  return Mix(Mix(base, pale, SmoothStep(0.55f, 0.8f, band) * 0.45f), dark, SmoothStep(0.4f, 0.25f, band) * 0.5f);
}

Rgb RockFor(Pcg32& random) { return Mix(Hex(0xb0583a), Hex(0xc0704a), random.Uniform()); }

// Flat-topped rocks standing on the plain at `foot`.
void Buttes(Canvas& canvas, const Daylight& light, float foot, float tall, float distance, float spread,
            const Rgb& rock, std::uint32_t seed) {
  const float w = static_cast<float>(canvas.width);
  const Light sun = light.Towards();
  // A cap of sheer cliff on a broad apron of fallen rock.
  const auto shape = [=](float x) { return Fbm2(x / (w * 0.1f), 0.5f, seed, 4); };
  const auto apronTop = [=](float x) {
    return foot - tall * 0.3f * SmoothStep(0.4f - spread * 0.05f, 0.56f, shape(x));
  };
  const auto top = [=](float x) {
    const float cap = SmoothStep(0.55f - spread * 0.02f, 0.58f, shape(x));
    return std::min(apronTop(x), foot - tall * (0.3f + 0.7f * cap) - 2.0f * Fbm2(x / 16.0f, 0.5f, seed + 1, 2) * cap);
  };
  FillBelow(
      canvas, top,
      [&, top, apronTop](float x, float y) {
        const auto face = [&](float u, float v) { return 25.0f * Fbm2(u / 25.0f, v / 25.0f, seed + 2, 4); };
        const float lambert = Lambert(face, x, y, sun, 1.5f);
        // The apron is scree, paler and speckled; the cap shows its layers.
        const float scree = SmoothStep(apronTop(x) - 2.0f, apronTop(x) + 2.0f, y);
        const Rgb cliff = Stratum(y, seed + 3, rock);
        const Rgb fallen = Mix(rock, Hex(0xd0a080), 0.35f + 0.2f * Fbm2(x / 3.0f, y / 3.0f, seed + 4, 2));
        return light.Hazed(light.Lit(Mix(cliff, fallen, scree), lambert), distance);
      },
      Surface::kLand, static_cast<int>(foot) + 1);
}

// The desert floor from `top` down, a pale dry wash winding across it.
void DesertFloor(Canvas& canvas, const Daylight& light, float top, float horizon, std::uint32_t seed) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const Light sun = light.Towards();
  const float washX = w * (0.3f + 0.4f * Lattice(1, 2, seed));
  FillBelow(
      canvas, [&](float) { return top; },
      [&](float x, float y) {
        const float near = std::clamp((y - horizon) / (h - horizon), 0.0f, 1.0f);
        const float bend = washX + w * 0.3f * (Fbm2(y / 140.0f, 0.5f, seed, 2) - 0.5f) * 2.0f;
        const float wash = SmoothStep(w * (0.01f + 0.08f * near), 0.0f, std::fabs(x - bend));
        const auto stones = [&](float u, float v) { return 8.0f * Fbm2(u / (4.0f + 20.0f * near), v / (4.0f + 20.0f * near), seed + 1, 3); };
        const Rgb ground = Mix(Hex(0xa8744e), Hex(0xd8c0a0), wash * 0.8f);
        return light.Hazed(light.Lit(ground, 0.5f + 0.5f * Lambert(stones, x, y, sun, 1.0f)), 0.3f * (1.0f - near));
      },
      Surface::kLand);
}

// A wall of the canyon rising on one side, its edge stepped at the ledges.
void Wall(Canvas& canvas, const Daylight& light, bool left, float inner, float rim, const Rgb& rock, std::uint32_t seed) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const Light sun = light.Towards();
  const auto top = [=](float x) {
    const float beyond = left ? inner - x : x - inner;  // > 0 over the wall
    if (beyond < -w * 0.1f) return h + 10.0f;
    // Ledges: the edge steps back at every few strata.
    const float steps = std::floor(Fbm2(x / 35.0f, 0.5f, seed + 4, 2) * 6.0f) / 6.0f;
    const float fall = SmoothStep(w * 0.1f, -w * 0.1f, beyond + w * 0.04f * steps);
    return rim + (h * 0.97f - rim) * fall * fall + h * 0.03f * Fbm2(x / 40.0f, 0.5f, seed, 4);
  };
  const bool lit = left == (light.across < 0.5f);
  FillBelow(
      canvas, top,
      [&, top](float x, float y) {
        // Buttresses and gullies down the wall, ledges across it.
        const auto face = [&](float u, float v) {
          return 30.0f * Fbm2(u / 70.0f, v / 90.0f, seed + 5, 3) + 8.0f * Ridged2(u / 40.0f, v / 14.0f, seed + 1, 3, 0.8f) +
                 10.0f * Fbm2(u / 20.0f, v / 20.0f, seed + 2, 4);
        };
        const float lambert = Lambert(face, x, y, sun, 1.5f);
        return light.Lit(Stratum(y, seed + 3, rock), lambert * (lit ? 1.0f : 0.55f));
      },
      Surface::kLand);
}

void BetweenWalls(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.5f, 0.6f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover * 0.7f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  const Rgb rock = RockFor(random);
  DesertFloor(canvas, light, horizon + 1.0f, horizon, random.Next());
  Buttes(canvas, light, horizon + 1.0f, h * random.Uniform(0.08f, 0.16f), 0.5f, 1.0f, rock, random.Next());
  const float gap = w * random.Uniform(0.3f, 0.55f);
  const float centre = w * random.Uniform(0.35f, 0.65f);
  Wall(canvas, light, true, centre - gap / 2, h * random.Uniform(0.0f, 0.2f), rock, random.Next());
  Wall(canvas, light, false, centre + gap / 2, h * random.Uniform(0.0f, 0.2f), rock, random.Next());
}

void OpenDesert(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.55f, 0.66f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.stretch = 2.5f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  const Rgb rock = RockFor(random);
  DesertFloor(canvas, light, horizon + 1.0f, horizon, random.Next());
  Buttes(canvas, light, horizon + 1.0f, h * random.Uniform(0.05f, 0.1f), 0.6f, 1.0f, rock, random.Next());
  Buttes(canvas, light, horizon + h * 0.04f, h * random.Uniform(0.2f, 0.32f), 0.25f, 0.5f, rock, random.Next());
  if (random.Chance(0.6f)) {
    const bool left = random.Chance(0.5f);
    Wall(canvas, light, left, left ? w * random.Uniform(0.08f, 0.2f) : w * random.Uniform(0.8f, 0.92f),
         h * random.Uniform(0.15f, 0.35f), rock, random.Next());
  }
}

void FromTheRim(Canvas& canvas, const Daylight& light, Pcg32& random) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.28f, 0.36f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover;
  clouds.lowest = 0.5f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  const Rgb rock = RockFor(random);
  // The depths first, so that no sky shows between the terraces.
  DesertFloor(canvas, light, horizon + 1.0f, horizon, random.Next());
  // Terraces of the far side, one below the other, in deepening haze.
  for (int i = 0; i < 4; ++i) {
    const float depth = static_cast<float>(i) / 3.0f;
    Buttes(canvas, light, horizon + (h * 0.75f - horizon) * (0.05f + 0.45f * depth), h * (0.05f + 0.1f * depth),
           0.7f * (1.0f - depth) + 0.1f, 1.0f + depth, rock, random.Next());
  }
  // The river far below.
  const float riverY = horizon + (h * 0.75f - horizon) * 0.62f;
  const std::uint32_t riverSeed = random.Next();
  for (int y = static_cast<int>(riverY); y < static_cast<int>(riverY + h * 0.03f); ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const float bend = riverY + h * 0.012f + h * 0.01f * std::sin(static_cast<float>(x) / (w * 0.08f) + Fbm2(static_cast<float>(x) / 200.0f, 0.5f, riverSeed, 2) * 6.0f);
      const float inside = std::clamp(h * 0.004f - std::fabs(static_cast<float>(y) - bend), 0.0f, 1.0f);
      if (inside > 0.0f && canvas.surface(x, y) == Surface::kLand) {
        canvas.Blend(x, y, light.Hazed(Hex(0x3a6a68), 0.4f), inside, Surface::kWater);
      }
    }
  }
  // The rim under the viewer's feet, dark against the light below.
  const std::uint32_t rimSeed = random.Next();
  const bool left = random.Chance(0.5f);
  const Light sun = light.Towards();
  FillBelow(
      canvas,
      [&](float x) {
        const float t = left ? 1.0f - x / w : x / w;
        return h * (0.78f + 0.15f * t) - h * 0.04f * Ridged1(x / 50.0f, rimSeed, 4, 0.5f);
      },
      [&](float x, float y) {
        const auto face = [&](float u, float v) { return 12.0f * Fbm2(u / 14.0f, v / 14.0f, rimSeed + 1, 4); };
        return light.Lit(Stratum(y, rimSeed + 2, Scale(rock, 0.8f)), 0.3f + 0.6f * Lambert(face, x, y, sun, 1.0f));
      },
      Surface::kLand);
}

}  // namespace

void PaintCanyon(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  switch (variant % 3) {
    case 0: BetweenWalls(canvas, light, random); break;
    case 1: OpenDesert(canvas, light, random); break;
    default: FromTheRim(canvas, light, random); break;
  }
}

}  // namespace orvanel::tools
