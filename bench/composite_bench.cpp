// The native desktop's software compositing at 1920 x 1080, 32 bits a pixel.
//   BandwidthFloor:   reading two frames and writing one with no arithmetic,
//                     the least a blend can cost on this machine.
//   CompositeFadeStep: one fade step as the compositor does it: the overlay at a
//                     new opacity blended over the picture window below it,
//                     which was composed once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/compose/screen_composer.h"

namespace {

using orvanel::platform::Rect;
using orvanel::platform::compose::Layer;
using orvanel::platform::compose::ScreenComposer;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr std::size_t kBytes = static_cast<std::size_t>(kWidth) * kHeight * 4;

std::vector<std::uint8_t> Pattern(std::uint8_t seed) {
  std::vector<std::uint8_t> pixels(kBytes);
  for (std::size_t i = 0; i < kBytes; ++i) pixels[i] = static_cast<std::uint8_t>(i * 31 + seed);
  return pixels;
}

void BM_BandwidthFloor(benchmark::State& state) {
  const auto a = Pattern(1);
  const auto b = Pattern(2);
  std::vector<std::uint8_t> out(kBytes);
  for (auto _ : state) {
    const auto* x = reinterpret_cast<const std::uint64_t*>(a.data());
    const auto* y = reinterpret_cast<const std::uint64_t*>(b.data());
    auto* z = reinterpret_cast<std::uint64_t*>(out.data());
    for (std::size_t i = 0; i < kBytes / 8; ++i) z[i] = x[i] | y[i];
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BandwidthFloor)->Unit(benchmark::kMicrosecond);

void BM_CompositeFadeStep(benchmark::State& state) {
  ScreenComposer composer(kWidth, kHeight);
  const auto desktop = Pattern(3);
  composer.SetBackground(desktop.data(), kWidth * 4);
  const auto picture = Pattern(4);
  const auto overlay = Pattern(5);
  std::uint8_t alpha = 3;
  for (auto _ : state) {
    const std::vector<Layer> layers{{picture.data(), kWidth * 4, Rect{0, 0, kWidth, kHeight}, 255, 1},
                                    {overlay.data(), kWidth * 4, Rect{0, 0, kWidth, kHeight}, alpha, 2}};
    benchmark::DoNotOptimize(composer.Compose(layers));
    alpha = static_cast<std::uint8_t>(alpha >= 252 ? 3 : alpha + 3);
  }
}
BENCHMARK(BM_CompositeFadeStep)->Unit(benchmark::kMicrosecond);

}  // namespace
