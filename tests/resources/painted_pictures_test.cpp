// The built-in pictures as the painter paints them, before they are encoded.
//   Streaks: land is shaded as a surface, never column by column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "landscape.h"

namespace orvanel::tools {
namespace {

float Brightness(const Rgb& c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

struct Grain {
  double across = 0;  // mean change from one column to the next
  double down = 0;    // from one row to the next
  long pixels = 0;
};

// Over land inside the picture: pixels whose four neighbours are land too,
// so that no skyline or shore counts.
Grain LandGrain(const Canvas& canvas) {
  Grain grain;
  for (int y = 1; y + 1 < canvas.height; ++y) {
    for (int x = 1; x + 1 < canvas.width; ++x) {
      const auto land = [&](int u, int v) { return canvas.surface(u, v) == Surface::kLand; };
      if (!land(x, y) || !land(x + 1, y) || !land(x - 1, y) || !land(x, y + 1) || !land(x, y - 1)) continue;
      const float here = Brightness(canvas.at(x, y));
      grain.across += std::fabs(Brightness(canvas.at(x + 1, y)) - here);
      grain.down += std::fabs(Brightness(canvas.at(x, y + 1)) - here);
      ++grain.pixels;
    }
  }
  if (grain.pixels > 0) {
    grain.across /= static_cast<double>(grain.pixels);
    grain.down /= static_cast<double>(grain.pixels);
  }
  return grain;
}

// A face shaded one column at a time changes far more from column to column
// than from row to row: vertical streaks. Light that follows the surface
// changes about as much either way; rock strata change more downwards, which
// is allowed.
TEST(PaintedPictures, LandChangesNoMoreAcrossThanDown) {
  constexpr int kPictures = 55;
  double worst = 0;
  int judged = 0;
  for (int number = 0; number < kPictures; ++number) {
    const Canvas canvas = PaintPicture(number, 1024, 768);
    const Grain grain = LandGrain(canvas);
    if (grain.pixels < 20'000) continue;  // too little land to judge
    ++judged;
    worst = std::max(worst, grain.across / grain.down);
    EXPECT_LT(grain.across, 1.3 * grain.down)
        << "picture " << number << " (" << SceneName(PlanFor(number).kind) << "): " << grain.across << " across, "
        << grain.down << " down over " << grain.pixels << " pixels";
  }
  std::printf("%d pictures with land; the largest change across, as a share of that down: %.2f\n", judged, worst);
}

}  // namespace
}  // namespace orvanel::tools
