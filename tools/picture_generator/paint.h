#pragma once
// The painter's canvas and its brushes: colours in floating point, a label
// for what each pixel shows, and skylines filled with smooth edges.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace orvanel::tools {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

// 0xRRGGBB as a colour.
constexpr Rgb Hex(std::uint32_t rgb) {
  return Rgb{static_cast<float>(rgb >> 16 & 0xFF) / 255.0f, static_cast<float>(rgb >> 8 & 0xFF) / 255.0f,
             static_cast<float>(rgb & 0xFF) / 255.0f};
}

inline Rgb Mix(const Rgb& a, const Rgb& b, float t) {
  return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Scale(const Rgb& a, float s) { return Rgb{a.r * s, a.g * s, a.b * s}; }
inline Rgb Add(const Rgb& a, const Rgb& b) { return Rgb{a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb Multiply(const Rgb& a, const Rgb& b) { return Rgb{a.r * b.r, a.g * b.g, a.b * b.b}; }
inline float SmoothStep(float e0, float e1, float x) {
  const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// What a pixel shows, for the checks over the collection.
enum class Surface : std::uint8_t { kSky, kLand, kPlants, kWater };

// An image of floating-point colours, 0 to 1 a channel, with the surface of
// each pixel.
struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;
  std::vector<Surface> surfaces;

  Canvas(int w, int h)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h), surfaces(pixels.size(), Surface::kSky) {}
  Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Surface& surface(int x, int y) { return surfaces[static_cast<std::size_t>(y) * width + x]; }
  Surface surface(int x, int y) const { return surfaces[static_cast<std::size_t>(y) * width + x]; }

  // Lays `colour` over a pixel by `coverage`; a pixel mostly covered takes
  // the new surface.
  void Blend(int x, int y, const Rgb& colour, float coverage, Surface what) {
    auto& c = at(x, y);
    c = Mix(c, colour, coverage);
    if (coverage > 0.5f) surface(x, y) = what;
  }
};

// Fills between the skyline `top(x)` and the line `bottom(x)` below it (in
// pixels, growing downwards), each pixel with `colour(x, y)`. Both lines are
// sampled four times across each column, so that steep edges (a tree's flank,
// a cliff) are as smooth as flat ones.
template <class Top, class Bottom, class Colour>
void FillBetween(Canvas& canvas, Top&& top, Bottom&& bottom, Colour&& colour, Surface what) {
  for (int x = 0; x < canvas.width; ++x) {
    float tops[4];
    float bottoms[4];
    float highest = 1e9f;
    float lowest = -1e9f;
    for (int s = 0; s < 4; ++s) {
      const float at = static_cast<float>(x) + 0.125f + 0.25f * static_cast<float>(s);
      tops[s] = top(at);
      bottoms[s] = bottom(at);
      highest = std::min(highest, tops[s]);
      lowest = std::max(lowest, bottoms[s]);
    }
    const int first = std::max(0, static_cast<int>(std::floor(highest)));
    const int last = std::min(canvas.height, static_cast<int>(std::ceil(lowest)));
    for (int y = first; y < last; ++y) {
      const float fy = static_cast<float>(y);
      float coverage = 0;
      for (int s = 0; s < 4; ++s) {
        coverage += std::clamp(fy + 1.0f - tops[s], 0.0f, 1.0f) * std::clamp(bottoms[s] - fy, 0.0f, 1.0f);
      }
      coverage *= 0.25f;
      if (coverage <= 0.0f) continue;
      canvas.Blend(x, y, colour(static_cast<float>(x) + 0.5f, fy + 0.5f), coverage, what);
    }
  }
}

// The same down to the row `bottom`, or to the foot of the canvas.
template <class Top, class Colour>
void FillBelow(Canvas& canvas, Top&& top, Colour&& colour, Surface what, int bottom = -1) {
  const float foot = static_cast<float>(bottom < 0 ? canvas.height : std::min(bottom, canvas.height));
  FillBetween(canvas, top, [foot](float) { return foot; }, colour, what);
}

// Light on a surface whose height (in pixels, towards the viewer) is
// `height(x, y)`: the slope is measured the same way across and down, so the
// shading has no grain of its own. `sun` is the direction of the light,
// (x right, y down, z towards the viewer), normalised.
struct Light {
  float x, y, z;
};

template <class Height>
float Lambert(Height&& height, float x, float y, const Light& sun, float step = 1.5f) {
  const float dx = (height(x + step, y) - height(x - step, y)) / (2 * step);
  const float dy = (height(x, y + step) - height(x, y - step)) / (2 * step);
  // The surface's normal is (-dx, -dy, 1), normalised.
  const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
  return std::max(0.0f, (-dx * sun.x - dy * sun.y + sun.z) / length);
}

}  // namespace orvanel::tools
