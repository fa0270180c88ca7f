#include "sky.h"

#include <algorithm>
#include <cmath>

namespace orvanel::tools {
namespace {

Rgb Jitter(const Rgb& c, Pcg32& random, float amount) {
  return Rgb{std::max(0.0f, c.r * random.Uniform(1 - amount, 1 + amount)),
             std::max(0.0f, c.g * random.Uniform(1 - amount, 1 + amount)),
             std::max(0.0f, c.b * random.Uniform(1 - amount, 1 + amount))};
}

}  // namespace

Light Daylight::Towards() const {
  // Low light rakes across the scene; high light falls from above.
  const float side = (across - 0.5f) * 2.0f;
  const float up = 0.25f + 0.75f * std::clamp(elevation, 0.0f, 1.0f);
  float x = side * (1.1f - up);
  float y = -up;
  float z = 0.55f;
  const float length = std::sqrt(x * x + y * y + z * z);
  return Light{x / length, y / length, z / length};
}

Daylight MakeDaylight(TimeOfDay time, Pcg32& random, float warmth) {
  Daylight d{};
  d.time = time;
  d.across = random.Uniform(0.15f, 0.85f);
  d.cloudCover = random.Uniform(0.1f, 0.5f);
  d.discVisible = true;
  switch (time) {
    case TimeOfDay::kDawn:
      d.zenith = Hex(0x4d6aa8), d.horizon = Hex(0xf6c4a6), d.sun = Hex(0xffd9b0);
      d.ambient = Hex(0x6a6f96), d.haze = Hex(0xd9b7b8), d.glow = Hex(0xffb07a);
      d.glowStrength = 0.8f, d.elevation = random.Uniform(0.04f, 0.16f);
      break;
    case TimeOfDay::kMorning:
      d.zenith = Hex(0x3d72c0), d.horizon = Hex(0xcfe0ef), d.sun = Hex(0xfff1dc);
      d.ambient = Hex(0x7a8aa8), d.haze = Hex(0xc4d4e4), d.glow = Hex(0xfff0d0);
      d.glowStrength = 0.45f, d.elevation = random.Uniform(0.3f, 0.55f);
      break;
    case TimeOfDay::kMidday:
      d.zenith = Hex(0x2560b8), d.horizon = Hex(0xb4d2ee), d.sun = Hex(0xfffaf0);
      d.ambient = Hex(0x8090b0), d.haze = Hex(0xb8cde2), d.glow = Hex(0xfffbe8);
      d.glowStrength = 0.3f, d.elevation = random.Uniform(0.6f, 0.8f);
      d.discVisible = random.Chance(0.4f);
      break;
    case TimeOfDay::kGolden:
      d.zenith = Hex(0x3f6aae), d.horizon = Hex(0xf9d79a), d.sun = Hex(0xffd08a);
      d.ambient = Hex(0x6d6e8c), d.haze = Hex(0xe8c89a), d.glow = Hex(0xffc46a);
      d.glowStrength = 0.9f, d.elevation = random.Uniform(0.12f, 0.3f);
      break;
    case TimeOfDay::kSunset:
      d.zenith = Hex(0x263272), d.horizon = Hex(0xf78a4c), d.sun = Hex(0xff9a58);
      d.ambient = Hex(0x4e3f66), d.haze = Hex(0xc77a6c), d.glow = Hex(0xff7a36);
      d.glowStrength = 1.0f, d.elevation = random.Uniform(0.02f, 0.1f);
      break;
    case TimeOfDay::kDusk:
      d.zenith = Hex(0x0d1438), d.horizon = Hex(0x9a5a7c), d.sun = Hex(0x7a4a6a);
      d.ambient = Hex(0x2e2c4e), d.haze = Hex(0x5c4566), d.glow = Hex(0xd06a5a);
      d.glowStrength = 0.7f, d.elevation = -0.05f, d.discVisible = false;
      break;
    case TimeOfDay::kMoonlit:
      d.zenith = Hex(0x02050f), d.horizon = Hex(0x14203e), d.sun = Hex(0x5a6a90);
      d.ambient = Hex(0x141c34), d.haze = Hex(0x1c2844), d.glow = Hex(0x6a80b0);
      d.glowStrength = 0.35f, d.elevation = random.Uniform(0.35f, 0.75f), d.night = true;
      break;
    case TimeOfDay::kOvercast:
      d.zenith = Hex(0x7a8590), d.horizon = Hex(0xc8ccd0), d.sun = Hex(0x5a5a58);
      d.ambient = Hex(0xb0b4b8), d.haze = Hex(0xbfc4c8), d.glow = Hex(0xe0e0dc);
      d.glowStrength = 0.2f, d.elevation = random.Uniform(0.4f, 0.7f), d.discVisible = false;
      d.cloudCover = 0.85f;
      break;
    case TimeOfDay::kMisty:
      d.zenith = Hex(0x8ea4b8), d.horizon = Hex(0xe4e6e2), d.sun = Hex(0xc8c0b0);
      d.ambient = Hex(0xa8b0b8), d.haze = Hex(0xdfe2e0), d.glow = Hex(0xfff4e0);
      d.glowStrength = 0.6f, d.elevation = random.Uniform(0.15f, 0.35f);
      d.cloudCover = 0.15f;
      break;
  }
  for (Rgb* c : {&d.zenith, &d.horizon, &d.ambient, &d.haze, &d.glow}) *c = Jitter(*c, random, 0.05f);
  if (warmth != 0.0f) {
    const Rgb shift{0.06f * warmth, 0.02f * warmth, -0.06f * warmth};
    d.ambient = Add(d.ambient, Scale(shift, 0.5f));
    d.sun = Add(d.sun, shift);
  }
  return d;
}

void PaintSky(Canvas& canvas, const Daylight& light, float horizon, const CloudStyle& clouds, std::uint32_t seed) {
  const float h = static_cast<float>(canvas.height);
  const float sunX = DiscX(light, canvas);
  const float sunY = DiscY(light, horizon);
  const float radius = h * (light.night ? 0.026f : 0.032f);
  const std::uint32_t cloudSeed = Hash(seed + 1);
  const std::uint32_t starSeed = Hash(seed + 2);
  const float scale = h * clouds.scale;
  const float glowScale = light.night ? 0.5f : 1.0f;
  for (int y = 0; y < canvas.height; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float t = std::pow(std::clamp(fy / horizon, 0.0f, 1.0f), 1.7f);
    const Rgb clear = Mix(light.zenith, light.horizon, t);
    // Clouds thin out towards the horizon, as the eye sees them edge on.
    const float altitude = SmoothStep(horizon * 1.02f, horizon * clouds.lowest, fy);
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      Rgb c = clear;
      const float d = std::hypot(fx - sunX, (fy - sunY) * 1.15f);
      const float glow = 0.55f * std::exp(-d / (h * 0.08f)) + 0.35f * std::exp(-d / (h * 0.32f));
      c = Add(c, Scale(light.glow, glow * light.glowStrength * glowScale));
      if (light.night) {
        const float star = Lattice(x, y, starSeed);
        if (star > 0.9982f) {
          const float brightness = (star - 0.9982f) / 0.0018f;
          c = Add(c, Scale(Hex(0xe8ecff), (0.25f + 0.75f * brightness) * (1 - t * 0.8f)));
        }
      }
      if (light.discVisible && d < radius + 1.5f) {
        const float edge = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);
        Rgb disc = light.night ? Hex(0xf2f0e4) : Add(Hex(0xfffaf0), light.sun);
        if (light.night) {
          const float mare = Fbm2(fx / 9.0f, fy / 9.0f, starSeed + 7, 3);
          disc = Scale(disc, 0.76f + 0.24f * SmoothStep(0.35f, 0.65f, mare));
        }
        c = Mix(c, disc, edge);
      }
      if (altitude > 0.0f && clouds.cover > 0.0f) {
        const float n = Fbm2(fx / scale, fy * clouds.stretch / scale, cloudSeed, 6);
        const float threshold = 1.0f - clouds.cover * 0.8f;
        const float density = SmoothStep(threshold - clouds.softness * 0.5f, threshold + clouds.softness, n) * altitude;
        if (density > 0.0f) {
          // Lit from the sun's side: compare with the noise a little towards it.
          const float towards = Fbm2((fx + (sunX - fx) * 0.02f) / scale,
                                     (fy + (sunY - fy) * 0.02f) * clouds.stretch / scale, cloudSeed, 4);
          const float lit = std::clamp(0.55f + 3.0f * (towards - n) + 0.35f * std::exp(-d / (h * 0.3f)), 0.0f, 1.0f);
          const Rgb shadow = Mix(Multiply(light.ambient, Hex(0xc8c8d0)), light.zenith, 0.25f);
          const Rgb bright = Add(Scale(light.ambient, 0.55f), Scale(Add(light.sun, light.glow), 0.5f));
          const Rgb cloud = Mix(shadow, bright, lit);
          c = Mix(c, cloud, std::min(1.0f, density));
        }
      }
      canvas.at(x, y) = c;
      canvas.surface(x, y) = Surface::kSky;
    }
  }
}

void PaintAuroraCurtains(Canvas& canvas, float horizon, std::uint32_t seed, const Rgb& low, const Rgb& high) {
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  for (int band = 0; band < 2; ++band) {
    const std::uint32_t s = Hash(seed + static_cast<std::uint32_t>(band) * 31U);
    const float base = horizon * (band == 0 ? 0.62f : 0.42f);
    const float strength = band == 0 ? 1.0f : 0.55f;
    for (int x = 0; x < canvas.width; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      // The curtain's lower edge winds across the sky.
      const float foot = base + h * 0.16f * (Fbm2(fx / (w * 0.35f), 0.3f, s, 3) - 0.5f) * 2.0f;
      // Rays: fine along the curtain, long up it.
      const float rays = 0.55f + 0.45f * Fbm2(fx / 7.0f, 0.7f, s + 5, 3);
      const float sheet = SmoothStep(0.35f, 0.75f, Fbm2(fx / (w * 0.18f), 1.3f, s + 9, 3));
      const float tall = h * (0.18f + 0.22f * Fbm2(fx / (w * 0.1f), 2.1f, s + 11, 2));
      for (int y = 0; y < static_cast<int>(horizon) && y < canvas.height; ++y) {
        const float fy = static_cast<float>(y) + 0.5f;
        const float above = foot - fy;  // > 0 above the lower edge
        if (above < -6.0f || above > tall * 1.6f) continue;
        const float edge = SmoothStep(-6.0f, 3.0f, above);
        const float fade = std::exp(-std::max(0.0f, above) / tall);
        const float i = edge * fade * rays * sheet * strength;
        if (i <= 0.0f) continue;
        const Rgb colour = Mix(low, high, std::clamp(above / (tall * 1.2f), 0.0f, 1.0f));
        canvas.at(x, y) = Add(canvas.at(x, y), Scale(colour, i * 0.85f));
      }
    }
  }
}

void PaintReflection(Canvas& canvas, const Daylight& light, float waterline, const Rgb& water, float calm,
                     std::uint32_t seed, int left, int right) {
  if (right < 0) right = canvas.width;
  const int top = static_cast<int>(std::ceil(waterline));
  const float w = static_cast<float>(canvas.width);
  const float h = static_cast<float>(canvas.height);
  const Canvas above = canvas;
  const float sunX = DiscX(light, canvas);
  const float ripple = 1.0f - calm;
  for (int y = std::max(0, top); y < canvas.height; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float depth = (fy - waterline) / (h - waterline);
    for (int x = left; x < right; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      // Ripples, wider and longer nearer the viewer.
      const float wave = Fbm2(fx / (40.0f + 90.0f * depth), fy / (1.5f + 7.0f * depth), seed, 4) - 0.5f;
      const float sx = std::clamp(fx + wave * ripple * (3.0f + 30.0f * depth), 0.0f, w - 1);
      const float sy = std::clamp(2.0f * waterline - fy + wave * ripple * 8.0f * depth, 0.0f, waterline - 1);
      Rgb c = above.at(static_cast<int>(sx), static_cast<int>(sy));
      // Water reflects more at a glancing angle, far away.
      const float fresnel = 0.9f - 0.35f * depth;
      c = Mix(water, Scale(c, 0.92f), fresnel);
      const float path = std::exp(-std::fabs(fx - sunX) / (w * (0.015f + 0.07f * depth)));
      if (light.discVisible && wave > 0.12f) c = Add(c, Scale(Add(light.sun, light.glow), path * (wave - 0.12f) * 2.0f));
      canvas.at(x, y) = c;
      canvas.surface(x, y) = Surface::kWater;
    }
  }
}

}  // namespace orvanel::tools
