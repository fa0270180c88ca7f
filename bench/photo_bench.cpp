// A 24-megapixel photo (6000 x 4000) of the user's folder fitted to a full-HD
// and to a 4K monitor, and filling them (the third argument 1): the saver's
// whole path (read the header and the Exif orientation, decode at the chosen
// DCT scale, reduce by area averaging, crop, the display's pixel format)
// against the library's bare decode at that same scale, which is the floor;
// the aim is at most 1.3 times it. A photo smaller than the monitor, filling
// it enlarged, against its bare decode. The bare decode
// at full size shows what the DCT scaling saves. Then the listing of a large
// folder, which the first picture waits for, and the dialog's count of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/photo/jpeg_photo.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/photo_fit.h"
#include "slideshow/picture_count.h"
#include "slideshow/picture_folder.h"
#include "support/bare_decode.h"
#include "support/jpeg_writer.h"
#include "support/sim_saver.h"

namespace {

using orvanel::platform::sim::SimDesktop;
using orvanel::platform::sim::SimProcess;

// A camera-like photo: smooth light across the frame, fine texture over it
// (as foliage or gravel gives), at quality 90 with chroma subsampled 2 x 2.
const std::vector<std::uint8_t>& Photo() {
  static const std::vector<std::uint8_t> photo = [] {
    orvanel::testing::JpegRecipe recipe;
    recipe.width = 6000;
    recipe.height = 4000;
    recipe.quality = 90;
    recipe.colour = [](int x, int y) {
      std::uint32_t noise = static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u;
      noise = (noise >> 13 ^ noise) * 1274126177u;
      const int grain = static_cast<int>(noise >> 27) - 16;
      const auto channel = [grain](int base) { return static_cast<std::uint32_t>(std::clamp(base + grain, 0, 255)); };
      return channel(60 + x * 150 / 6000) << 16 | channel(90 + y * 120 / 4000) << 8 | channel(140 - y * 80 / 4000);
    };
    return orvanel::testing::MakeJpeg(recipe);
  }();
  return photo;
}

orvanel::instance::FitMode ModeOf(benchmark::State& state) {
  return state.range(2) != 0 ? orvanel::instance::FitMode::kFill : orvanel::instance::FitMode::kFit;
}

// The DCT scale the saver picks for the area (a 3:2 photo is fitted by its
// height, and covers a 16:9 area by its width).
int EighthsFor(int width, int height, orvanel::instance::FitMode mode) {
  const auto frame = orvanel::slideshow::FramePhoto(6000, 4000, width, height, mode);
  return orvanel::platform::photo::DctEighthsFor(6000, 4000, frame.scaled.width, frame.scaled.height);
}

// A photo smaller than a 4K monitor, for filling it.
const std::vector<std::uint8_t>& SmallPhoto() {
  static const std::vector<std::uint8_t> photo = [] {
    orvanel::testing::JpegRecipe recipe;
    recipe.width = 1600;
    recipe.height = 1200;
    recipe.quality = 90;
    recipe.colour = [](int x, int y) {
      return static_cast<std::uint32_t>(60 + x * 150 / 1600) << 16 |
             static_cast<std::uint32_t>(90 + y * 120 / 1200) << 8 | 100u;
    };
    return orvanel::testing::MakeJpeg(recipe);
  }();
  return photo;
}

void BM_PhotoBareDecodeFullSize(benchmark::State& state, const std::vector<std::uint8_t>& (*photo)()) {
  std::vector<std::uint8_t> rgb;
  for (auto _ : state) {
    orvanel::testing::BareDecode(photo(), rgb);
    benchmark::DoNotOptimize(rgb.data());
  }
}
BENCHMARK_CAPTURE(BM_PhotoBareDecodeFullSize, 6000x4000, &Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PhotoBareDecodeFullSize, 1600x1200, &SmallPhoto)->Unit(benchmark::kMillisecond);

void BM_PhotoBareDecodeAtScale(benchmark::State& state) {
  const int eighths = EighthsFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), ModeOf(state));
  state.SetLabel(std::to_string(eighths) + "/8");
  std::vector<std::uint8_t> rgb;
  for (auto _ : state) {
    orvanel::testing::BareDecode(Photo(), rgb, eighths);
    benchmark::DoNotOptimize(rgb.data());
  }
}
BENCHMARK(BM_PhotoBareDecodeAtScale)
    ->ArgsProduct({{1920}, {1080}, {0, 1}})
    ->ArgsProduct({{3840}, {2160}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Every DCT scale, for the choice between them: the library has fast paths
// for some scales only.
void BM_PhotoBareDecodeAtEighths(benchmark::State& state) {
  std::vector<std::uint8_t> rgb;
  for (auto _ : state) {
    orvanel::testing::BareDecode(Photo(), rgb, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(rgb.data());
  }
}
BENCHMARK(BM_PhotoBareDecodeAtEighths)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

void BM_FitPhoto(benchmark::State& state) {
  SimDesktop desktop;
  SimProcess process(desktop, "orvanel.scr");
  const auto width = static_cast<std::int32_t>(state.range(0));
  const auto height = static_cast<std::int32_t>(state.range(1));
  const orvanel::platform::photo::MemorySource photo(Photo());
  for (auto _ : state) {
    auto fitted = orvanel::slideshow::FitPhoto(process, photo, width, height, ModeOf(state));
    benchmark::DoNotOptimize(fitted->bitmap.get());
  }
}
BENCHMARK(BM_FitPhoto)
    ->ArgsProduct({{1920}, {1080}, {0, 1}})
    ->ArgsProduct({{3840}, {2160}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A photo of 1600 x 1200 filling a 4K monitor: decoded whole, enlarged
// smoothly to 3840 x 2880 and cropped; against its bare decode above.
void BM_FillWithSmallPhoto(benchmark::State& state) {
  SimDesktop desktop;
  SimProcess process(desktop, "orvanel.scr");
  const orvanel::platform::photo::MemorySource photo(SmallPhoto());
  for (auto _ : state) {
    auto fitted = orvanel::slideshow::FitPhoto(process, photo, 3840, 2160, orvanel::instance::FitMode::kFill);
    benchmark::DoNotOptimize(fitted->bitmap.get());
  }
}
BENCHMARK(BM_FillWithSmallPhoto)->Unit(benchmark::kMillisecond);

// Listing a folder of 10,000 photos in 100 subfolders at the slideshow's
// start: what the first picture waits for beyond the built-in collection.
void BM_ListTenThousandFiles(benchmark::State& state) {
  SimDesktop desktop;
  SimProcess process(desktop, "orvanel.scr");
  for (int folder = 0; folder < 100; ++folder) {
    const auto host = desktop.HostPath("C:\\Photos\\Trip " + std::to_string(folder));
    std::filesystem::create_directories(host);
    for (int file = 0; file < 100; ++file) {
      std::ofstream(host / ("IMG_" + std::to_string(file) + ".jpg")) << "x";
    }
  }
  for (auto _ : state) {
    const auto files = orvanel::slideshow::ListPictures(process, "C:\\Photos");
    if (files.size() != 10'000) state.SkipWithError("not every file listed");
    benchmark::DoNotOptimize(files.data());
  }
}
BENCHMARK(BM_ListTenThousandFiles)->Unit(benchmark::kMillisecond);

// The settings dialog's count of the same folder's pictures, by content: a
// look at each file's start, on the reader's work, taken in by the dialog.
void BM_CountTenThousandFiles(benchmark::State& state) {
  SimDesktop desktop;
  const auto photo = orvanel::testing::MakeJpeg({});
  for (int folder = 0; folder < 100; ++folder) {
    const auto host = desktop.HostPath("C:\\Photos\\Trip " + std::to_string(folder));
    std::filesystem::create_directories(host);
    for (int file = 0; file < 100; ++file) {
      std::ofstream(host / ("IMG_" + std::to_string(file) + ".jpg"), std::ios::binary)
          .write(reinterpret_cast<const char*>(photo.data()), static_cast<std::streamsize>(photo.size()));
    }
  }
  orvanel::testing::SimSaver saver(desktop, "/c");
  saver.Start();
  for (auto _ : state) {
    orvanel::slideshow::FolderPictureCount count(saver.saver, "C:\\Photos", saver.saver.frmSAVER->Handle());
    while (!count.LookFurther()) saver.saver.app.ProcessMessages();
    if (count.Found() != 10'000) state.SkipWithError("not every picture counted");
  }
}
BENCHMARK(BM_CountTenThousandFiles)->Unit(benchmark::kMillisecond);

}  // namespace
