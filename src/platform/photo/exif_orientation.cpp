#include "platform/photo/exif_orientation.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <vector>

namespace orvanel::platform::photo {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

// Reads the TIFF structure inside an Exif block, every read checked against
// its end: a file may claim any offset.
class TiffReader {
 public:
  explicit TiffReader(std::span<const std::uint8_t> tiff) : tiff_(tiff) {}

  bool ReadByteOrder() {
    if (tiff_.size() < 8) return false;
    if (tiff_[0] == 'I' && tiff_[1] == 'I') {
      littleEndian_ = true;
    } else if (tiff_[0] == 'M' && tiff_[1] == 'M') {
      littleEndian_ = false;
    } else {
      return false;
    }
    return U16(2) == 42;
  }

  std::optional<std::uint16_t> U16(std::size_t at) const {
    if (at + 2 > tiff_.size()) return std::nullopt;
    return littleEndian_ ? static_cast<std::uint16_t>(tiff_[at] | tiff_[at + 1] << 8)
                         : static_cast<std::uint16_t>(tiff_[at] << 8 | tiff_[at + 1]);
  }

  std::optional<std::uint32_t> U32(std::size_t at) const {
    const auto first = U16(at);
    const auto second = U16(at + 2);
    if (!first || !second) return std::nullopt;
    return littleEndian_ ? static_cast<std::uint32_t>(*second) << 16 | *first
                         : static_cast<std::uint32_t>(*first) << 16 | *second;
  }

 private:
  std::span<const std::uint8_t> tiff_;
  bool littleEndian_ = true;
};

// The orientation entry of the first image directory, if it has a usable one.
std::optional<int> OrientationIn(std::span<const std::uint8_t> tiff) {
  TiffReader reader(tiff);
  if (!reader.ReadByteOrder()) return std::nullopt;
  const auto directory = reader.U32(4);
  if (!directory) return std::nullopt;
  const auto count = reader.U16(*directory);
  if (!count) return std::nullopt;
  for (std::size_t i = 0; i < *count; ++i) {
    const std::size_t entry = *directory + 2 + i * 12;
    const auto tag = reader.U16(entry);
    if (!tag) return std::nullopt;
    if (*tag != kOrientationTag) continue;
    const auto type = reader.U16(entry + 2);
    const auto value = reader.U16(entry + 8);
    if (type != kShortType || !value || *value < 1 || *value > 8) return std::nullopt;
    return *value;
  }
  return std::nullopt;
}

}  // namespace

int ExifOrientation(std::span<const std::uint8_t> jpeg) {
  // The markers before the first scan: each FF, a code, and a length that
  // counts itself.
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return 1;
  std::size_t at = 2;
  while (at + 4 <= jpeg.size()) {
    if (jpeg[at] != 0xFF) return 1;
    const std::uint8_t marker = jpeg[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return 1;  // the scan, or the end
    const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (length < 2 || at + 2 + length > jpeg.size()) return 1;
    const auto segment = jpeg.subspan(at + 4, length - 2);
    static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (marker == 0xE1 && segment.size() > sizeof kExif &&
        std::equal(std::begin(kExif), std::end(kExif), segment.begin())) {
      return OrientationIn(segment.subspan(sizeof kExif)).value_or(1);
    }
    at += 2 + length;
  }
  return 1;
}

int ExifBlockOrientation(std::span<const std::uint8_t> tiff) {
  static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
  if (tiff.size() >= sizeof kExif && std::equal(std::begin(kExif), std::end(kExif), tiff.begin())) {
    tiff = tiff.subspan(sizeof kExif);
  }
  return OrientationIn(tiff).value_or(1);
}

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
