// Farmland: rolling hills in a patchwork of fields, hedges between them, a
// lone tree.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {

void PaintFields(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.4f, 0.52f);
  CloudStyle clouds;
  clouds.cover = std::max(0.3f, light.cloudCover);
  clouds.stretch = 1.8f;
  clouds.softness = 0.12f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  // The crops of the season: greens in spring, gold in summer, stubble and
  // ploughland in autumn.
  const Rgb crops[] = {Hex(0x6a9a3a), Hex(0x8aa844), Hex(0xc8a84a), Hex(0xd8c070), Hex(0x8a6a44), Hex(0x5a8a34),
                       Hex(0xa0a040)};
  const Light sun = light.Towards();
  const int hills = 4;
  for (int i = 0; i < hills; ++i) {
    const float depth = static_cast<float>(i) / static_cast<float>(hills - 1);
    const std::uint32_t seed = random.Next();
    const float base = horizon + (h - horizon) * (0.08f + 0.6f * depth);
    const float rise = h * (0.04f + 0.08f * depth);
    const auto top = [=](float x) { return base - rise * Fbm2(x / (w * (0.25f + 0.2f * depth)), 0.5f, seed, 3) * 1.6f; };
    // Fields are larger nearer the viewer; their edges bend with the land.
    const float fieldWidth = w * (0.06f + 0.25f * depth * depth);
    const float fieldDepth = h * (0.01f + 0.06f * depth * depth);
    FillBelow(
        canvas, top,
        [&, top](float x, float y) {
          const float warp = 0.4f * Fbm2(x / 300.0f, y / 80.0f, seed + 1, 2);
          const float u = x / fieldWidth + warp;
          const float v = (y - top(x)) / fieldDepth + warp * 2.0f;
          const int cu = static_cast<int>(std::floor(u));
          const int cv = static_cast<int>(std::floor(v));
          const std::uint32_t cell = Hash(static_cast<std::uint32_t>(cu) * 92821U ^ static_cast<std::uint32_t>(cv) * 68917U ^ seed);
          Rgb crop = crops[cell % 7];
          // Rows of a crop, in some fields.
          if ((cell >> 8) % 3 == 0 && depth > 0.5f) {
            const float row = 0.5f + 0.5f * std::sin((v - static_cast<float>(cv)) * 12.0f);
            crop = Scale(crop, 0.9f + 0.1f * row);
          }
          // Hedges along the fields' edges.
          const float edgeU = std::min(u - std::floor(u), std::ceil(u) - u) * fieldWidth;
          const float edgeV = std::min(v - std::floor(v), std::ceil(v) - v) * fieldDepth;
          const float hedgeWidth = 0.8f + 3.5f * depth;
          const float hedge = SmoothStep(hedgeWidth, hedgeWidth * 0.4f, std::min(edgeU, edgeV * 2.5f));
          crop = Mix(crop, Hex(0x2a4a22), hedge * 0.85f);
          const auto land = [&](float p, float q) { return 40.0f * Fbm2(p / 160.0f, q / 50.0f, seed + 2, 3); };
          const float lambert = Lambert(land, x, y, sun, 2.0f);
          return light.Hazed(light.Lit(crop, 0.5f + 0.5f * lambert), 0.6f * std::pow(1.0f - depth, 1.5f));
        },
        Surface::kPlants);
  }
  // A lone tree on the near hill, left, right or (every third picture) none.
  if (variant % 3 == 2) return;
  const float treeX = w * (variant % 3 == 0 ? random.Uniform(0.12f, 0.3f) : random.Uniform(0.7f, 0.88f));
  const float treeBase = horizon + (h - horizon) * random.Uniform(0.55f, 0.7f);
  const float treeHeight = h * random.Uniform(0.12f, 0.2f);
  const std::uint32_t leafSeed = random.Next();
  // The trunk, then the crown over it: a rounded mass with a ragged edge.
  const float trunkHalf = treeHeight * 0.035f;
  FillBelow(
      canvas, [&](float x) { return std::fabs(x - treeX) < trunkHalf ? treeBase - treeHeight * 0.5f : h + 10.0f; },
      [&](float x, float) { return light.Lit(Hex(0x3a2a1e), 0.3f + 0.4f * SmoothStep(trunkHalf, -trunkHalf, (x - treeX) * (light.across < 0.5f ? 1.0f : -1.0f))); },
      Surface::kPlants, static_cast<int>(treeBase) + 1);
  const float radius = treeHeight * 0.42f;
  const float centreY = treeBase - treeHeight + radius;
  const auto edge = [&](float x) {
    const float dx = (x - treeX) / radius;
    return dx * dx < 1.0f ? std::sqrt(1.0f - dx * dx) * (0.9f + 0.2f * Fbm2(x / 6.0f, 0.5f, leafSeed, 3)) : 0.0f;
  };
  FillBetween(
      canvas, [&](float x) { const float e = edge(x); return e > 0.0f ? centreY - radius * e : h + 10.0f; },
      [&](float x) { return centreY + radius * 0.75f * edge(x); },
      [&](float x, float y) {
        const auto crown = [&](float u, float v) { return 10.0f * Fbm2(u / 8.0f, v / 8.0f, leafSeed + 1, 4); };
        const float low = std::clamp((y - centreY) / radius, 0.0f, 1.0f);
        return light.Lit(Hex(0x3a5a28), (0.35f + 0.9f * Lambert(crown, x, y, sun, 1.0f)) * (1.0f - 0.4f * low));
      },
      Surface::kPlants);
}

}  // namespace orvanel::tools
