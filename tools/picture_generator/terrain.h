#pragma once
// Shapes the scenes share: skylines of many parts, mountain ranges, rows of
// trees, and the fading of colour with distance.
#include <cstdint>
#include <vector>

#include "noise.h"
#include "paint.h"
#include "sky.h"

namespace orvanel::tools {

// A skyline kept four samples to a pixel, built from many shapes.
class Skyline {
 public:
  Skyline(int width, float ground);
  template <class Top>
  Skyline(int width, Top&& top) : samples_(static_cast<std::size_t>(width) * 4) {
    for (std::size_t i = 0; i < samples_.size(); ++i) samples_[i] = top((static_cast<float>(i) + 0.5f) / 4.0f);
  }
  float operator()(float x) const;
  // Raises the skyline to `top` wherever that is higher (smaller).
  void Raise(float x, float top);
  // A pointed tree standing at `base`: tiers of branches on a narrow cone.
  void AddConifer(float centre, float base, float height, float width);
  // A round crown on a short trunk.
  void AddBroadleaf(float centre, float base, float height, float width);

 private:
  std::vector<float> samples_;
};

struct RangeStyle {
  float foot;        // y of the range's foot
  float height;      // of its highest peaks, pixels
  float frequency;   // peaks across the picture
  float sharpness;   // 0 rounded .. 1 jagged
  float distance;    // 0 near .. 1 far: haze and detail
  float snowline;    // share of the height from the top that is snow; 0 none
  Rgb rock;          // albedo
  Rgb lowland;       // albedo at the foot (forest, grass); mixes in downwards
  std::uint32_t seed;
};

// A mountain range from its crest down to `bottom`, lit as a surface.
void PaintRange(Canvas& canvas, const Daylight& light, const RangeStyle& style, int bottom = -1);

// The crest of that range at x, in pixels; with `octaves`, only that much of
// its detail.
float RangeTop(const RangeStyle& style, float x, int width, int octaves = 0);

// A forest edge: trees of `albedo` along `ground(x)`, `height` tall, hazed by
// `distance`, filled down to `bottom`.
template <class Ground>
void PaintTreeline(Canvas& canvas, const Daylight& light, Ground&& ground, float height, float distance,
                   const Rgb& albedo, bool conifers, std::uint32_t seed, int bottom = -1);

}  // namespace orvanel::tools

#include "terrain_impl.h"
