// A large PNG photo fitted to a full-HD monitor, built alike natively and for
// Windows (run under Wine) so that the two read the same file side by side:
//   Inflate:  zlib alone inflating the photo's compressed pixels.
//   Rows:     libpng alone decoding its rows (inflate, checksums, filters).
//   FitPhoto: the saver's fitting from the bytes in memory, the rows
//             streamed into the area reduction and the display's bitmap.
//   LoadPhoto: the same from the file, read through the desktop as the
//             saver reads its photos.
// The photo is the file named on the command line (bench/png_side_by_side.sh
// makes one of 8000 x 6000 with ImageMagick and runs both builds on it).
//   orvanel_png_fit_bench [benchmark options] PHOTO.png
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/photo/byte_source.h"
#include "slideshow/photo_fit.h"
#include "slideshow/picture_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_desktop.h"
#else
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes& Photo() {
  static Bytes photo;
  return photo;
}

// The photo's file as the desktop names it.
std::string& PhotoPath() {
  static std::string path;
  return path;
}

// The desktop whose bitmaps the fitted photo is written into: the real one
// on Windows, the simulated one natively, as the saver's tests use.
orvanel::platform::Desktop& BenchDesktop() {
#ifdef _WIN32
  static orvanel::platform::win32::Win32Desktop desktop(GetModuleHandleA(nullptr));
  return desktop;
#else
  static orvanel::platform::sim::SimDesktop desktop;
  static orvanel::platform::sim::SimProcess process(desktop, "orvanel.scr");
  return process;
#endif
}

// The desktop's name for the photo's file: the file itself on Windows, a
// copy in the simulated desktop's folders natively.
std::string PhotoOnDesktop(const std::string& file) {
#ifdef _WIN32
  return file;
#else
  const std::string path = "C:\\Photos\\photo.png";
  const auto host = static_cast<orvanel::platform::sim::SimProcess&>(BenchDesktop()).World().HostPath(path);
  std::filesystem::create_directories(host.parent_path());
  std::filesystem::copy_file(file, host, std::filesystem::copy_options::overwrite_existing);
  return path;
#endif
}

// The zlib stream of the photo's pixels: its IDAT chunks' data, joined.
Bytes Idat(const Bytes& png) {
  Bytes stream;
  std::size_t at = 8;
  while (png.size() - at >= 12) {
    const std::size_t length = orvanel::platform::photo::BigEndian32(png.data() + at);
    if (length > png.size() - at - 12) break;
    if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0) {
      stream.insert(stream.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                    png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    }
    at += 12 + length;
  }
  return stream;
}

void BM_Inflate(benchmark::State& state) {
  static const Bytes stream = Idat(Photo());
  Bytes out(std::size_t{1} << 18);
  for (auto _ : state) {
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    int result = Z_OK;
    while (result == Z_OK) {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      result = inflate(&z, Z_NO_FLUSH);
    }
    if (result != Z_STREAM_END) state.SkipWithError("not inflated");
    inflateEnd(&z);
    benchmark::DoNotOptimize(out.data());
  }
}

struct MemoryRead {
  const Bytes* bytes;
  std::size_t at = 0;
};

void ReadMemory(png_structp png, png_bytep into, std::size_t count) {
  auto& read = *static_cast<MemoryRead*>(png_get_io_ptr(png));
  if (count > read.bytes->size() - read.at) png_error(png, "the file ends early");
  std::memcpy(into, read.bytes->data() + read.at, count);
  read.at += count;
}

// Rows as the file holds them (8-bit RGB): no transformation. The row
// buffer is the caller's: a longjmp leaves this function's own objects in
// no known state.
bool ReadRows(png_structp png, png_infop info, MemoryRead& read, Bytes& row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &read, ReadMemory);
  png_read_info(png, info);
  row.resize(png_get_rowbytes(png, info));
  for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y) png_read_row(png, row.data(), nullptr);
  return true;
}

bool DecodeRows(const Bytes& file) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  MemoryRead read{&file};
  Bytes row;
  const bool ok = ReadRows(png, info, read, row);
  png_destroy_read_struct(&png, &info, nullptr);
  return ok;
}

void BM_Rows(benchmark::State& state) {
  for (auto _ : state) {
    if (!DecodeRows(Photo())) state.SkipWithError("not decoded");
  }
}

void BM_FitPhoto(benchmark::State& state) {
  const orvanel::platform::photo::MemorySource source(Photo());
  for (auto _ : state) {
    auto fitted = orvanel::slideshow::FitPhoto(BenchDesktop(), source, 1920, 1080);
    if (!fitted || !fitted->bitmap) state.SkipWithError("not fitted");
    benchmark::DoNotOptimize(fitted);
  }
}

void BM_LoadPhoto(benchmark::State& state) {
  for (auto _ : state) {
    auto fitted = orvanel::slideshow::LoadPhoto(BenchDesktop(), PhotoPath(), 1920, 1080);
    if (!fitted || !fitted->bitmap) state.SkipWithError("not fitted");
    benchmark::DoNotOptimize(fitted);
  }
}

}  // namespace

BENCHMARK(BM_Inflate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s [benchmark options] PHOTO.png\n", argv[0]);
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  Photo().assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (Photo().empty()) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  PhotoPath() = PhotoOnDesktop(argv[1]);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
