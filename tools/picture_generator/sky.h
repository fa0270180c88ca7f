#pragma once
// The light of a picture (time of day, weather, season) and the sky it
// makes: gradient, sun or moon with its glow, clouds, stars, aurora.
#include <cstdint>

#include "noise.h"
#include "paint.h"

namespace orvanel::tools {

enum class TimeOfDay { kDawn, kMorning, kMidday, kGolden, kSunset, kDusk, kMoonlit, kOvercast, kMisty };

struct Daylight {
  TimeOfDay time;
  Rgb zenith, horizon;  // the clear sky, top and bottom
  Rgb sun;              // colour and strength of the direct light
  Rgb ambient;          // the light of the sky on what it falls on
  Rgb haze;             // what the distance fades to
  Rgb glow;             // around the sun, in the sky
  float glowStrength;
  float elevation;      // of the sun (or moon) above the horizon, 0..1 of the sky's height
  float across;         // where it stands, 0 (left) .. 1 (right)
  float cloudCover;     // 0..1
  bool night;
  bool discVisible;     // the sun or moon itself is in the picture

  // The direction towards the light, for shading.
  Light Towards() const;
  // A material of `albedo` lit by `lambert` of the direct light.
  Rgb Lit(const Rgb& albedo, float lambert) const { return Multiply(albedo, Add(ambient, Scale(sun, lambert))); }
  // `colour` seen through `amount` (0..1) of haze.
  Rgb Hazed(const Rgb& colour, float amount) const { return Mix(colour, haze, std::clamp(amount, 0.0f, 1.0f)); }
};

// A daylight of the kind `time`, varied by `random`; `warmth` shifts it
// towards summer (+) or winter (-).
Daylight MakeDaylight(TimeOfDay time, Pcg32& random, float warmth = 0.0f);

struct CloudStyle {
  float cover = 0.4f;     // share of the sky
  float stretch = 3.0f;   // how much flatter than wide
  float scale = 0.22f;    // size of the shapes, as a share of the height
  float softness = 0.2f;  // blur of the edges
  float lowest = 0.35f;   // clouds fade out below this share of the sky
};

// Paints the sky over the whole canvas above `horizon`, and below it too
// where later layers leave it showing.
void PaintSky(Canvas& canvas, const Daylight& light, float horizon, const CloudStyle& clouds, std::uint32_t seed);

// Curtains of aurora over a night sky.
void PaintAuroraCurtains(Canvas& canvas, float horizon, std::uint32_t seed, const Rgb& low, const Rgb& high);

// Mirrors everything above `waterline` into the water below it, rippled and
// tinted; glitter under the sun. `calm` 0..1 stills the ripples.
void PaintReflection(Canvas& canvas, const Daylight& light, float waterline, const Rgb& water, float calm,
                     std::uint32_t seed, int left = 0, int right = -1);

// The sun's or moon's place in pixels.
inline float DiscX(const Daylight& light, const Canvas& canvas) { return light.across * static_cast<float>(canvas.width); }
inline float DiscY(const Daylight& light, float horizon) { return horizon * (1.0f - light.elevation); }

}  // namespace orvanel::tools
