// The saver's whole work for one picture (resource lookup, decode, scale,
// the display's pixel format) against the library's bare decode of the same
// bytes, which is the floor. The aim: at most 1.15 times the bare decode.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/picture_source.h"
#include "support/bare_decode.h"

namespace {

using orvanel::platform::sim::SimDesktop;
using orvanel::platform::sim::SimProcess;

constexpr int kPicture = 17;

void BM_BareDecode(benchmark::State& state) {
  SimDesktop desktop;
  SimProcess process(desktop, "orvanel.scr");
  const auto bytes = *process.FindModuleResource("PIC17", "JPEG");
  std::vector<std::uint8_t> rgb(1024 * 768 * 3);
  for (auto _ : state) {
    orvanel::testing::BareDecode(bytes, rgb);
    benchmark::DoNotOptimize(rgb.data());
  }
}
BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond);

void BM_LoadAndFitPicture(benchmark::State& state) {
  SimDesktop desktop;
  SimProcess process(desktop, "orvanel.scr");
  const auto width = static_cast<std::int32_t>(state.range(0));
  const auto height = static_cast<std::int32_t>(state.range(1));
  for (auto _ : state) {
    const auto picture = orvanel::slideshow::LoadPicture(process, kPicture);
    auto fitted = orvanel::slideshow::FitPicture(process, picture, width, height);
    benchmark::DoNotOptimize(fitted.bitmap.get());
  }
}
BENCHMARK(BM_LoadAndFitPicture)
    ->Args({152, 112})
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
