#include "platform/photo/png_photo.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <iterator>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "platform/photo/alpha_over_black.h"
#include "platform/photo/exif_date.h"

namespace orvanel::platform::photo {
namespace {

// The library's reading state, freed on every way out: a return, a longjmp
// from the library (made before the setjmp, it is not one of the objects
// the jump skips) or an exception from the target.
class PngReader {
 public:
  PngReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  bool Made() const { return png_ != nullptr && info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  // Damaged or cut-short data: back to the setjmp, the photo refused.
  static void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
  static void OnWarning(png_structp, png_const_charp) {}

  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Where the library reads from: the file, through a window of its next
// bytes, as the library asks for a chunk's few bytes of header, then its
// data in pieces of 8 KiB.
void ReadFile(png_structp png, png_bytep into, std::size_t count) {
  if (static_cast<SourceReading*>(png_get_io_ptr(png))->Read(into, count) != count) {
    png_error(png, "the file ends early");
  }
}

// What the decoding keeps outside the function that calls setjmp, whose own
// objects a longjmp leaves in no known state: the row buffers.
struct RowBuffers {
  std::vector<std::uint8_t> decoded;
  std::vector<std::uint8_t> composed;  // a row with transparency, over black
};

// Reads the header, has the target plan the photo, and hands it the rows;
// false when the library gives up or the target refuses the photo. Only
// trivially destructible objects are made here: a longjmp skips destructors.
bool ReadRows(const PngReader& reader, SourceReading& reading, RowBuffers& rows, PhotoTarget& target) {
  png_structp png = reader.png();
  png_infop info = reader.info();
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &reading, ReadFile);
  png_read_info(png, info);
  const auto width = static_cast<std::int32_t>(png_get_image_width(png, info));
  const auto height = static_cast<std::int32_t>(png_get_image_height(png, info));
  if (width <= 0 || height <= 0) return false;
  // An eXIf chunk before the pixels gives the date the photo was taken.
  png_uint_32 exifLength = 0;
  png_bytep exif = nullptr;
  std::optional<DateTime> taken;
  if (png_get_eXIf_1(png, info, &exifLength, &exif) != 0 && exif != nullptr) {
    taken = ExifBlockDateTaken(std::span<const std::uint8_t>(exif, exifLength));
  }
  if (!target.Plan({width, height, 1, false, taken})) return false;

  // Any colour type and depth to 8-bit RGB, with alpha where the photo has any.
  const bool alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                     png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  // Written for a display of the usual gamma, from the photo's own when it says.
  png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != static_cast<std::size_t>(width) * (alpha ? 4 : 3)) return false;
  rows.decoded.resize(rowBytes);
  if (alpha) rows.composed.resize(static_cast<std::size_t>(width) * 3);

  RowSink* const sink = target.Sink();
  if (sink == nullptr || !sink->Begin(width, height)) return false;
  for (std::int32_t y = 0; y < height; ++y) {
    png_read_row(png, rows.decoded.data(), nullptr);
    if (alpha) {
      ComposeOverBlack(rows.decoded.data(), static_cast<std::size_t>(width), rows.composed.data());
      sink->Row(rows.composed.data());
    } else {
      sink->Row(rows.decoded.data());
    }
  }
  return true;
}

// The simple interface's reading state, freed on every way out.
class PngImage {
 public:
  PngImage() { image_.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image_); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
  png_image& operator*() { return image_; }
  png_image* operator->() { return &image_; }

 private:
  png_image image_{};
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

// An interlaced photo decoded whole, its header planned by the target
// first. The file is read whole, and given up once it is decoded.
bool DecodeInterlaced(const ByteSource& data, PhotoTarget& target) {
  const auto bytes = ReadAll(data, kMaxPngFileBytes);
  if (!bytes) return false;
  PngImage png;
  if (!png_image_begin_read_from_memory(&*png, bytes->data(), bytes->size())) return false;
  if (png->width == 0 || png->height == 0) return false;
  const auto width = static_cast<std::int32_t>(png->width);
  const auto height = static_cast<std::int32_t>(png->height);
  if (!target.Plan({width, height, 1, true, ExifChunkDateTaken(*bytes)})) return false;
  png->format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels;
  try {
    pixels.resize(PNG_IMAGE_SIZE(*png));
  } catch (const std::bad_alloc&) {
    return false;  // a photo that does not fit in memory is one not shown
  }
  if (!png_image_finish_read(&*png, nullptr, pixels.data(), 0, nullptr)) return false;
  RowSink* const sink = target.Sink();
  return sink != nullptr &&
         WriteDecodedRows({pixels.data(), static_cast<std::size_t>(width) * 4, width, height, true}, *sink);
}

// The interlace method, the last byte of IHDR: the first chunk, right after the signature.
constexpr std::size_t kInterlaceByte = 8 + 8 + 12;

}  // namespace

bool HasPngSignature(std::span<const std::uint8_t> start) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return start.size() >= sizeof kSignature &&
         std::equal(std::begin(kSignature), std::end(kSignature), start.begin());
}

bool DecodePngPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target) {
  if (start.size() > kInterlaceByte && start[kInterlaceByte] != 0) return DecodeInterlaced(data, target);
  const PngReader reader;
  if (!reader.Made()) return false;
  SourceReading reading(data);
  RowBuffers rows;
  try {
    return ReadRows(reader, reading, rows, target);
  } catch (const std::bad_alloc&) {
    return false;  // rows wider than memory allows
  }
}

}  // namespace orvanel::platform::photo
