// A 12-megapixel photo (4000 x 3000) in each format the saver reads besides
// JPEG, fitted to a full-HD monitor: the saver's whole path from the file
// (its start for the signature, the file read, header, decode, halving and
// area reduction, the display's pixel format) against the format's library
// decoding the same file bare, read whole into memory, with nothing of the
// saver around it, which is the floor; the aim is at most 1.3 times it. Each
// file is made once by the format's own encoder, from a camera-like picture.
#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gif_lib.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/decode.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/picture_folder.h"
#include "support/encoded_photo.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The commands that make each format's file from the same picture, made by
// ImageMagick: light across the frame and grain over it.
const std::map<std::string, std::string>& Commands() {
  static const std::map<std::string, std::string> commands = {
      {"WebP", "cwebp -quiet -q 85 in.png -o out"},
      {"HEIC", "heif-enc -q 85 in.png -o out.heic && mv out.heic out"},
      {"AVIF", "avifenc -s 8 -j 2 --min 20 --max 30 in.png out.avif && mv out.avif out"},
      {"TIFF", "convert in.png -compress lzw tiff:out"},
      {"BMP", "convert in.png bmp3:out"},
      {"GIF", "convert in.png gif:out"},
  };
  return commands;
}

const Bytes& File(const std::string& format) {
  static std::map<std::string, Bytes> files;
  if (auto found = files.find(format); found != files.end()) return found->second;
  orvanel::testing::EncoderFolder folder;
  folder.Run("convert -size 4000x3000 gradient:'#3060a0'-'#c08040' -attenuate 0.4 +noise Gaussian -strip "
             "PNG24:in.png && touch out");
  return files[format] = folder.Run(Commands().at(format)).value_or(Bytes{});
}

void BM_FitPhotoOfFormat(benchmark::State& state, const std::string& format) {
  orvanel::platform::sim::SimDesktop desktop;
  orvanel::platform::sim::SimProcess process(desktop, "orvanel.scr");
  const std::string path = "C:\\Photos\\photo";
  const Bytes& file = File(format);
  const auto host = desktop.HostPath(path);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                             static_cast<std::streamsize>(file.size()));
  for (auto _ : state) {
    auto fitted = orvanel::slideshow::LoadPhoto(process, path, 1920, 1080);
    if (!fitted || !fitted->bitmap) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(fitted);
  }
}

// Each library's plainest whole decode to 8-bit RGB(A) in memory.
bool BareWebp(const Bytes& file) {
  int width = 0, height = 0;
  std::uint8_t* rgb = WebPDecodeRGB(file.data(), file.size(), &width, &height);
  WebPFree(rgb);
  return rgb != nullptr;
}

bool BareHeif(const Bytes& file) {
  heif_context* context = heif_context_alloc();
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  const bool ok = heif_context_read_from_memory_without_copy(context, file.data(), file.size(), nullptr).code ==
                      heif_error_Ok &&
                  heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok &&
                  heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code ==
                      heif_error_Ok;
  heif_image_release(image);
  heif_image_handle_release(handle);
  heif_context_free(context);
  return ok;
}

struct MemoryTiff {
  const Bytes& bytes;
  toff_t at = 0;
};

bool BareTiff(const Bytes& file) {
  MemoryTiff memory{file};
  TIFF* tiff = TIFFClientOpen(
      "bench", "rm", &memory,
      [](thandle_t h, void* into, tmsize_t n) -> tmsize_t {
        auto& m = *static_cast<MemoryTiff*>(h);
        const auto length = std::min<toff_t>(static_cast<toff_t>(n), m.at < m.bytes.size() ? m.bytes.size() - m.at : 0);
        std::copy_n(m.bytes.data() + m.at, length, static_cast<std::uint8_t*>(into));
        m.at += length;
        return static_cast<tmsize_t>(length);
      },
      [](thandle_t, void*, tmsize_t) -> tmsize_t { return -1; },
      [](thandle_t h, toff_t offset, int whence) -> toff_t {
        auto& m = *static_cast<MemoryTiff*>(h);
        m.at = (whence == SEEK_CUR ? m.at : whence == SEEK_END ? m.bytes.size() : 0) + offset;
        return m.at;
      },
      [](thandle_t) { return 0; }, [](thandle_t h) -> toff_t { return static_cast<MemoryTiff*>(h)->bytes.size(); },
      [](thandle_t, void**, toff_t*) { return 0; }, [](thandle_t, void*, toff_t) {});
  if (tiff == nullptr) return false;
  std::uint32_t width = 0, height = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
  const bool ok = TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 1) != 0;
  TIFFClose(tiff);
  return ok;
}

bool BareBmp(const Bytes& file) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
  const bool ok = gdk_pixbuf_loader_write(loader, file.data(), file.size(), nullptr) &&
                  gdk_pixbuf_loader_close(loader, nullptr) && gdk_pixbuf_loader_get_pixbuf(loader) != nullptr;
  g_object_unref(loader);
  return ok;
}

struct MemoryGif {
  const Bytes& bytes;
  std::size_t at = 0;
};

bool BareGif(const Bytes& file) {
  MemoryGif memory{file};
  int error = 0;
  GifFileType* gif = DGifOpen(&memory, [](GifFileType* g, GifByteType* into, int n) {
    auto& m = *static_cast<MemoryGif*>(g->UserData);
    const int length = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), m.bytes.size() - m.at));
    std::copy_n(m.bytes.data() + m.at, length, into);
    m.at += static_cast<std::size_t>(length);
    return length;
  }, &error);
  const bool ok = gif != nullptr && DGifSlurp(gif) == GIF_OK;
  DGifCloseFile(gif, &error);
  return ok;
}

void BM_BareDecodeOfFormat(benchmark::State& state, const std::string& format) {
  static const std::map<std::string, bool (*)(const Bytes&)> decoders = {
      {"WebP", BareWebp}, {"HEIC", BareHeif}, {"AVIF", BareHeif},
      {"TIFF", BareTiff}, {"BMP", BareBmp},   {"GIF", BareGif},
  };
  orvanel::testing::EncoderFolder folder;
  folder.Write("photo", File(format));
  const auto path = folder.Path() / "photo";
  for (auto _ : state) {
    Bytes file(std::filesystem::file_size(path));
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(file.data()),
                                               static_cast<std::streamsize>(file.size()));
    if (!decoders.at(format)(file)) state.SkipWithError("not decoded");
  }
}

const bool kRegistered = [] {
  for (const auto& [format, command] : Commands()) {
    benchmark::RegisterBenchmark(("BM_BareDecodeOfFormat/" + format).c_str(), BM_BareDecodeOfFormat, format)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_FitPhotoOfFormat/" + format + "/1920x1080").c_str(), BM_FitPhotoOfFormat,
                                 format)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
