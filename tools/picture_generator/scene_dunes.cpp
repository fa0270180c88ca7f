// Dunes: crests of sand one behind the other, each with a lit and a shaded side.
#include <cmath>

#include "scenes.h"
#include "terrain.h"

namespace orvanel::tools {

void PaintDunes(Canvas& canvas, const Daylight& light, Pcg32& random, int variant) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const float horizon = h * random.Uniform(0.48f, 0.6f);
  CloudStyle clouds;
  clouds.cover = light.cloudCover * 0.5f;
  clouds.stretch = 6.0f;
  clouds.scale = 0.3f;
  PaintSky(canvas, light, horizon, clouds, random.Next());
  const Rgb sand = Mix(Hex(0xd89a5a), Hex(0xe0b27a), random.Uniform());
  const int rows = 4 + variant % 3;
  for (int i = 0; i < rows; ++i) {
    const float depth = static_cast<float>(i) / static_cast<float>(rows - 1);  // 0 far .. 1 near
    const std::uint32_t seed = random.Next();
    const float base = horizon + (h - horizon) * (0.05f + 0.9f * depth * depth);
    // Every other picture has one great dune in front.
    const bool great = variant % 2 == 1 && i == rows - 1;
    const float tall = h * (great ? 0.32f : (0.03f + 0.16f * depth) * random.Uniform(0.8f, 1.2f));
    const float period = w * (great ? 2.2f : random.Uniform(0.35f, 0.7f) * (0.6f + depth));
    const float phase = random.Uniform(0.0f, 10.0f);
    // A dune's crest is sharp, its flanks long and smooth.
    const auto crest = [=](float x) {
      const float u = x / period + phase + 0.3f * Fbm2(x / (period * 0.7f), 0.3f, seed, 2);
      const float wave = 1.0f - std::fabs(2.0f * (u - std::floor(u)) - 1.0f);  // triangle 0..1
      return base - tall * std::pow(wave, 1.6f);
    };
    const auto crestSlope = [=](float x) { return crest(x + 1.0f) - crest(x - 1.0f); };
    FillBelow(
        canvas, crest,
        [&](float x, float y) {
          // The side facing the sun is lit, the other in shadow; the line
          // between them runs down from the crest.
          const float slope = crestSlope(x);
          const float towardsSun = light.across < 0.5f ? -slope : slope;
          const float facing = SmoothStep(-0.25f, 0.25f, towardsSun);
          const float below = y - crest(x);
          const float fromCrest = SmoothStep(0.0f, tall * 0.8f + 4.0f, below);
          const float lambert = 0.25f + 0.75f * (facing * (1.0f - fromCrest * 0.6f) + fromCrest * 0.35f);
          // Wind ripples, across the slope.
          const float ripple = 0.5f + 0.5f * std::sin((x * 0.08f + y * 0.9f + 12.0f * Fbm2(x / 70.0f, y / 30.0f, seed + 1, 3)) *
                                                      (1.0f + depth));
          const float grain = 0.94f + 0.06f * ripple * depth;
          return light.Hazed(light.Lit(Scale(sand, grain), lambert), 0.5f * (1.0f - depth));
        },
        Surface::kLand);
  }
}

}  // namespace orvanel::tools
