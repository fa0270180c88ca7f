// The saver's whole work for one picture (resource lookup, decode, scale,
// the display's pixel format) against the library's bare decode of the same
// bytes, which is the floor. The aim: at most 1.15 times the bare decode.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/picture_source.h"

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
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = rgb.data() + static_cast<std::size_t>(info.output_scanline) * 1024 * 3;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
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
