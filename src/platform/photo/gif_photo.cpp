#include "platform/photo/gif_photo.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/photo/whole_photo.h"

namespace orvanel::platform::photo {
namespace {

// The file read through a window of it: the library asks for a few bytes at once.
int Read(GifFileType* gif, GifByteType* into, int count) {
  if (count <= 0) return 0;
  return static_cast<int>(static_cast<SourceReading*>(gif->UserData)->Read(into, static_cast<std::size_t>(count)));
}

struct GifClose {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

struct Screen {
  std::vector<std::uint8_t> rgb;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Passes over an extension's blocks; the transparent colour of a graphic
// control extension is kept for the image it comes before.
bool ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
    GraphicsControlBlock control{};
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) transparent = control.TransparentColor;
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

// Each colour index as RGB: one the palette lacks, and the transparent one,
// black, as the first image shows over nothing.
using Palette = std::array<std::uint8_t, 256 * 3>;
Palette PaletteOf(const ColorMapObject& colours, int transparent) {
  Palette palette{};
  for (int index = 0; index < std::min(colours.ColorCount, 256); ++index) {
    if (index == transparent) continue;
    palette[3 * index] = colours.Colors[index].Red;
    palette[3 * index + 1] = colours.Colors[index].Green;
    palette[3 * index + 2] = colours.Colors[index].Blue;
  }
  return palette;
}

void PaintLine(const std::vector<GifPixelType>& line, const Palette& palette, std::uint8_t* __restrict rgb) {
  for (const GifPixelType index : line) {
    const std::uint8_t* colour = palette.data() + 3 * index;
    rgb[0] = colour[0];
    rgb[1] = colour[1];
    rgb[2] = colour[2];
    rgb += 3;
  }
}

// The first image on the screen, planned by the target first. An image that
// fills the screen in order of its rows goes to the sink a line at a time;
// one interlaced, or leaving part of the screen uncovered, is painted on the
// whole screen first.
bool DecodeFirstImage(GifFileType* gif, int transparent, PhotoTarget& target) {
  if (DGifGetImageDesc(gif) != GIF_OK) return false;
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* colours = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
  if (colours == nullptr || image.Width <= 0 || image.Height <= 0 || image.Left < 0 || image.Top < 0) return false;
  // A screen that does not hold the image (some writers leave it empty) is
  // taken to be the image's own.
  const bool onScreen = image.Left + image.Width <= gif->SWidth && image.Top + image.Height <= gif->SHeight;
  Screen screen;
  screen.width = onScreen ? gif->SWidth : image.Width;
  screen.height = onScreen ? gif->SHeight : image.Height;
  const std::int32_t left = onScreen ? image.Left : 0;
  const std::int32_t top = onScreen ? image.Top : 0;
  const bool inOrder = !image.Interlace && image.Width == screen.width && image.Height == screen.height;
  if (!target.Plan({screen.width, screen.height, 1, !inOrder})) return false;
  const Palette palette = PaletteOf(*colours, transparent);
  std::vector<GifPixelType> line;
  try {
    line.resize(static_cast<std::size_t>(image.Width));
    screen.rgb.resize(static_cast<std::size_t>(screen.width) * (inOrder ? 1 : screen.height) * 3);
  } catch (const std::bad_alloc&) {
    return false;  // a picture that does not fit in memory is one not shown
  }
  if (inOrder) {
    RowSink* const sink = target.Sink();
    if (sink == nullptr || !sink->Begin(screen.width, screen.height)) return false;
    for (int y = 0; y < image.Height; ++y) {
      if (DGifGetLine(gif, line.data(), image.Width) != GIF_OK) return false;
      PaintLine(line, palette, screen.rgb.data());
      sink->Row(screen.rgb.data());
    }
    return true;
  }
  // An interlaced image comes in four passes over its rows.
  static constexpr int kFirst[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  const int passes = image.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int step = image.Interlace ? kStep[pass] : 1;
    for (int y = image.Interlace ? kFirst[pass] : 0; y < image.Height; y += step) {
      if (DGifGetLine(gif, line.data(), image.Width) != GIF_OK) return false;
      PaintLine(line, palette, screen.rgb.data() + (static_cast<std::size_t>(top + y) * screen.width + left) * 3);
    }
  }
  RowSink* const sink = target.Sink();
  return sink != nullptr &&
         WriteDecodedRows({screen.rgb.data(), static_cast<std::size_t>(screen.width) * 3, screen.width,
                           screen.height, false},
                          *sink);
}

}  // namespace

bool DecodeGifPhoto(const ByteSource& data, std::span<const std::uint8_t>, PhotoTarget& target) {
  SourceReading reading(data);
  int error = 0;
  const std::unique_ptr<GifFileType, GifClose> gif(DGifOpen(&reading, Read, &error));
  if (!gif) return false;
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return false;
    if (record == IMAGE_DESC_RECORD_TYPE) return DecodeFirstImage(gif.get(), transparent, target);
    if (record != EXTENSION_RECORD_TYPE || !ReadExtension(gif.get(), transparent)) return false;  // no image
  }
}

}  // namespace orvanel::platform::photo
