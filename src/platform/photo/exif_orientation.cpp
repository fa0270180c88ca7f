#include "platform/photo/exif_orientation.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/photo/exif_block.h"

namespace orvanel::platform::photo {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;

// The orientation entry of the first image directory; 1 when it has no usable one.
int OrientationIn(std::span<const std::uint8_t> tiff) {
  const auto block = ExifBlock::Open(tiff);
  const auto directory = block ? block->FirstDirectory() : std::nullopt;
  const auto entry = directory ? block->Find(*directory, kOrientationTag) : std::nullopt;
  const auto value = entry ? block->Short(*entry) : std::nullopt;
  return value && *value >= 1 && *value <= 8 ? *value : 1;
}

}  // namespace

int ExifOrientation(std::span<const std::uint8_t> jpeg) { return OrientationIn(JpegExifBlock(jpeg)); }

int ExifBlockOrientation(std::span<const std::uint8_t> tiff) { return OrientationIn(tiff); }

void WriteOriented(const RgbImage& image, int orientation, RowSink& sink) {
  const std::int32_t w = image.width;
  const std::int32_t h = image.height;
  const bool sideways = orientation >= 5 && orientation <= 8;
  const std::int32_t width = sideways ? h : w;
  const std::int32_t height = sideways ? w : h;
  if (!sink.Begin(width, height)) return;
  if (orientation < 2 || orientation > 8) {
    for (std::int32_t y = 0; y < height; ++y) sink.Row(image.Row(y));
    return;
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* to = row.data();
    for (std::int32_t x = 0; x < width; ++x, to += 3) {
      std::int32_t sx = x;
      std::int32_t sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x; sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y; sy = x; break;
        case 6: sx = y; sy = h - 1 - x; break;
        case 7: sx = w - 1 - y; sy = h - 1 - x; break;
        case 8: sx = w - 1 - y; sy = x; break;
        default: break;
      }
      const std::uint8_t* from = image.Row(sy) + static_cast<std::size_t>(sx) * 3;
      std::copy(from, from + 3, to);
    }
    sink.Row(row.data());
  }
}

}  // namespace orvanel::platform::photo
