#include "platform/photo/png_photo.h"

#include <png.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "platform/photo/exif_date.h"
#include "platform/photo/whole_photo.h"

namespace orvanel::platform::photo {
namespace {

// The library's reading state, freed on every way out.
class PngImage {
 public:
  PngImage() {
    image_.version = PNG_IMAGE_VERSION;
  }
  ~PngImage() { png_image_free(&image_); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
  png_image& operator*() { return image_; }
  png_image* operator->() { return &image_; }

 private:
  png_image image_{};
};

struct RgbaImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;
};

// The date in an eXIf chunk, which holds an Exif block's TIFF structure;
// only one before the pixels counts, as the header is told before them.
std::optional<DateTime> ExifChunkDateTaken(std::span<const std::uint8_t> png) {
  std::size_t at = 8;  // past the signature
  while (png.size() - at >= 12) {
    const std::size_t length = BigEndian32(png.data() + at);
    const auto type = png.subspan(at + 4, 4);
    if (length > png.size() - at - 12) return std::nullopt;
    if (std::equal(type.begin(), type.end(), "IDAT")) return std::nullopt;
    if (std::equal(type.begin(), type.end(), "eXIf")) return ExifBlockDateTaken(png.subspan(at + 8, length));
    at += 12 + length;
  }
  return std::nullopt;
}

// The photo decoded whole, its header planned by the target first. The file
// is read whole, and given up once it is decoded: before the target makes
// anything for the rows.
std::optional<RgbaImage> DecodeWhole(const ByteSource& data, PhotoTarget& target) {
  const auto bytes = ReadAll(data, kMaxPngFileBytes);
  if (!bytes) return std::nullopt;
  PngImage png;
  if (!png_image_begin_read_from_memory(&*png, bytes->data(), bytes->size())) return std::nullopt;
  if (png->width == 0 || png->height == 0) return std::nullopt;
  RgbaImage image;
  image.width = static_cast<std::int32_t>(png->width);
  image.height = static_cast<std::int32_t>(png->height);
  if (!target.Plan({image.width, image.height, 1, true, ExifChunkDateTaken(*bytes)})) return std::nullopt;
  png->format = PNG_FORMAT_RGBA;
  try {
    image.pixels.resize(PNG_IMAGE_SIZE(*png));
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a photo that does not fit in memory is one not shown
  }
  if (!png_image_finish_read(&*png, nullptr, image.pixels.data(), 0, nullptr)) return std::nullopt;
  return image;
}

}  // namespace

bool HasPngSignature(std::span<const std::uint8_t> start) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return start.size() >= sizeof kSignature &&
         std::equal(std::begin(kSignature), std::end(kSignature), start.begin());
}

bool DecodePngPhoto(const ByteSource& data, std::span<const std::uint8_t>, PhotoTarget& target) {
  auto decoded = DecodeWhole(data, target);
  if (!decoded) return false;
  RowSink* const sink = target.Sink();
  return sink != nullptr &&
         WriteDecodedRows({decoded->pixels.data(), static_cast<std::size_t>(decoded->width) * 4, decoded->width,
                           decoded->height, true},
                          *sink);
}

}  // namespace orvanel::platform::photo
