// Coverage for a display that blends the frame over a desktop the saver never
// read: each pixel's coverage against 1 - (1 - a1)(1 - a2)..., and a frame
// composed over black never holding a colour above its coverage (the display
// would show garbage for such a premultiplied pixel).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "platform/compose/coverage.h"

namespace orvanel::platform::compose {
namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

struct Window {
  Rect rect;  // in the area's coordinates, maybe partly outside it
  std::uint8_t alpha;
};

struct Case {
  const char* name;
  std::vector<Window> windows;  // bottom first
};

TEST(Coverage, IsEachWindowOverTheOnesBelowAndBoundsTheColourComposedOverBlack) {
  const std::vector<Case> cases = {
      {"one window mid-fade", {{{0, 0, kWidth, kHeight}, 128}}},
      {"a faint window", {{{0, 0, kWidth, kHeight}, 1}}},
      {"opaque in part, a fade over all", {{{5, 5, 20, 25}, 255}, {{0, 0, kWidth, kHeight}, 77}}},
      {"overlapping fades, one partly outside",
       {{{-10, 3, 25, 20}, 200}, {{10, -5, 60, 28}, 90}, {{0, 0, kWidth, kHeight}, 33}}},
  };
  std::mt19937 random(7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::vector<std::uint8_t>> pixels;
    std::vector<Layer> layers;
    for (const Window& window : c.windows) {
      auto& mine = pixels.emplace_back(static_cast<std::size_t>(window.rect.Width()) * window.rect.Height() * 4);
      // Full bytes often: a colour at its most meets its coverage exactly.
      for (auto& byte : mine) byte = random() % 2 != 0 ? 255 : static_cast<std::uint8_t>(random());
      layers.push_back(Layer{mine.data(), window.rect.Width() * 4, window.rect, window.alpha, layers.size() + 1});
    }
    ScreenComposer composer(kWidth, kHeight);
    // Rows longer than the area, as a display's buffers may have.
    const std::ptrdiff_t stride = composer.Stride() + 12;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(stride) * kHeight);
    const std::uint8_t* composed = composer.Compose(layers);
    for (int y = 0; y < kHeight; ++y) {
      std::memcpy(&frame[static_cast<std::size_t>(y * stride)], composed + y * composer.Stride(),
                  static_cast<std::size_t>(composer.Stride()));
    }
    ASSERT_TRUE(WriteCoverage(layers, kWidth, kHeight, frame.data(), stride));
    int wrongCoverage = 0;
    int colourAboveCoverage = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        double uncovered = 1.0;
        for (const Window& window : c.windows) {
          if (window.rect.Contains(Point{x, y})) uncovered *= 1.0 - window.alpha / 255.0;
        }
        const std::uint8_t* pixel = &frame[static_cast<std::size_t>(y * stride + x * 4)];
        // Rounded once per window, as the colours are.
        if (std::abs(pixel[3] - 255.0 * (1.0 - uncovered)) > c.windows.size() * 0.5) ++wrongCoverage;
        for (int channel = 0; channel < 3; ++channel) {
          if (pixel[channel] > pixel[3]) ++colourAboveCoverage;
        }
      }
    }
    EXPECT_EQ(wrongCoverage, 0);
    EXPECT_EQ(colourAboveCoverage, 0);
  }
}

TEST(Coverage, AnOpaqueWindowOverTheWholeAreaLeavesTheFrameAsItIs) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth + 10) * kHeight * 4, 0x55);
  const std::vector<Layer> layers = {
      {pixels.data(), (kWidth + 10) * 4, Rect{-10, 0, kWidth, kHeight}, 255, 1},
      {pixels.data(), kWidth * 4, Rect{0, 0, 10, 10}, 60, 2},
  };
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(kWidth) * kHeight * 4, 0x11);
  const std::vector<std::uint8_t> before = frame;
  EXPECT_FALSE(WriteCoverage(layers, kWidth, kHeight, frame.data(), kWidth * 4));
  EXPECT_EQ(frame, before);
}

}  // namespace
}  // namespace orvanel::platform::compose
