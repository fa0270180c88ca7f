#include "platform/photo/tiff_photo.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/photo/exif_date.h"

namespace orvanel::platform::photo {
namespace {

// The file as libtiff's client reads it: a window of it at a time, never
// held whole beside the photo's band.
struct SourceFile {
  SourceReading reading;
  toff_t size = 0;
};

tmsize_t Read(thandle_t handle, void* into, tmsize_t count) {
  auto& file = *static_cast<SourceFile*>(handle);
  if (count < 0 || file.reading.position >= file.size) return 0;
  const auto length = std::min(static_cast<toff_t>(count), file.size - file.reading.position);
  return static_cast<tmsize_t>(file.reading.Read(static_cast<std::uint8_t*>(into), static_cast<std::size_t>(length)));
}

tmsize_t Write(thandle_t, void*, tmsize_t) { return -1; }

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
  auto& file = *static_cast<SourceFile*>(handle);
  const toff_t base = whence == SEEK_CUR ? file.reading.position : whence == SEEK_END ? file.size : 0;
  file.reading.position = base + offset;
  return file.reading.position;
}

int Close(thandle_t) { return 0; }

toff_t Size(thandle_t handle) { return static_cast<SourceFile*>(handle)->size; }

int Map(thandle_t, void**, toff_t*) { return 0; }

void Unmap(thandle_t, void*, toff_t) {}

// A damaged file is passed over without a word: its messages stop here.
int Quietly(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// No single block the library allocates is larger than a photo's raster may be.
constexpr tmsize_t kMaxAllocation = tmsize_t{4} * 8192 * 8192;

struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

struct TiffClose {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// The library's reading of the pixels, ended on every way out.
class RgbaReading {
 public:
  explicit RgbaReading(TIFF* tiff) {
    char message[1024];
    begun_ = TIFFRGBAImageOK(tiff, message) && TIFFRGBAImageBegin(&image_, tiff, 1, message);
  }
  ~RgbaReading() {
    if (begun_) TIFFRGBAImageEnd(&image_);
  }
  RgbaReading(const RgbaReading&) = delete;
  RgbaReading& operator=(const RgbaReading&) = delete;
  bool Begun() const { return begun_; }
  TIFFRGBAImage& operator*() { return image_; }
  TIFFRGBAImage* operator->() { return &image_; }

 private:
  TIFFRGBAImage image_{};
  bool begun_ = false;
};

// The rows of a band of the raster packed to RGB in place: the library
// gives alpha premultiplied, so the colours are already over black.
void PackRows(std::uint32_t* band, std::int32_t width, std::int32_t rows, RowSink& sink) {
  for (std::int32_t y = 0; y < rows; ++y) {
    std::uint32_t* const row = band + static_cast<std::size_t>(y) * width;
    auto* const rgb = reinterpret_cast<std::uint8_t*>(row);
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t pixel = row[x];
      rgb[3 * x] = static_cast<std::uint8_t>(TIFFGetR(pixel));
      rgb[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(pixel));
      rgb[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetB(pixel));
    }
    sink.Row(rgb);
  }
}

// When the photo was taken, from the Exif directory the first one points
// to (the file is the same TIFF structure an Exif block holds). False when
// the first directory cannot be made current again.
bool ReadDateTaken(TIFF* tiff, std::optional<DateTime>& taken) {
  toff_t exif = 0;
  if (!TIFFGetField(tiff, TIFFTAG_EXIFIFD, &exif) || !TIFFReadEXIFDirectory(tiff, exif)) return true;
  const char* text = nullptr;
  if (TIFFGetField(tiff, EXIFTAG_DATETIMEORIGINAL, &text) && text != nullptr) taken = ParseExifDateText(text);
  return TIFFSetDirectory(tiff, 0) != 0;
}

// The rows of the first page decoded a band at a time, each band whole
// strips or whole rows of tiles, so that no strip is decoded twice. A file
// of a few huge strips has bands as large: its photo is held whole, and
// taken no larger than a photo held whole may be.
bool DecodeFirstPage(TIFF* tiff, std::optional<DateTime> taken, PhotoTarget& target) {
  RgbaReading reading(tiff);
  if (!reading.Begun()) return false;
  std::uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
  if (orientation < 1 || orientation > 8) orientation = ORIENTATION_TOPLEFT;
  const auto width = static_cast<std::int32_t>(reading->width);
  const auto height = static_cast<std::int32_t>(reading->height);
  if (width <= 0 || height <= 0) return false;
  std::uint32_t stripRows = 0;
  if (TIFFIsTiled(tiff)) {
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &stripRows);
  } else {
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &stripRows);
  }
  stripRows = std::clamp<std::uint32_t>(stripRows, 1, reading->height);
  // Whole strips, a few rows at least, and no more than the photo.
  constexpr std::uint32_t kFewestRows = 16;
  const std::uint32_t bandRows =
      std::min(reading->height, (kFewestRows + stripRows - 1) / stripRows * stripRows);
  constexpr std::int64_t kMostBandPixels = std::int64_t{4} << 20;
  const bool whole = static_cast<std::int64_t>(width) * bandRows > kMostBandPixels;
  if (!target.Plan({width, height, orientation, whole, taken})) return false;
  std::vector<std::uint32_t> band;
  try {
    band.resize(static_cast<std::size_t>(width) * bandRows);
  } catch (const std::bad_alloc&) {
    return false;  // a photo that does not fit in memory is one not shown
  }
  RowSink* const sink = target.Sink();
  if (sink == nullptr || !sink->Begin(width, height)) return false;
  // Asked for in the file's own orientation, the rows come as stored, top
  // first, and are turned once, as every format's are.
  reading->req_orientation = orientation;
  for (std::uint32_t top = 0; top < reading->height; top += bandRows) {
    const std::uint32_t rows = std::min(bandRows, reading->height - top);
    reading->row_offset = static_cast<int>(top);
    reading->col_offset = 0;
    if (!TIFFRGBAImageGet(&*reading, band.data(), reading->width, rows)) return false;
    PackRows(band.data(), width, static_cast<std::int32_t>(rows), *sink);
  }
  return true;
}

}  // namespace

bool DecodeTiffPhoto(const ByteSource& data, std::span<const std::uint8_t>, PhotoTarget& target) {
  SourceFile file{SourceReading(data), SourceSize(data)};
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return false;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quietly, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quietly, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxAllocation);
  const std::unique_ptr<TIFF, TiffClose> tiff(
      TIFFClientOpenExt("photo", "rm", &file, Read, Write, Seek, Close, Size, Map, Unmap, options.get()));
  if (!tiff) return false;
  std::optional<DateTime> taken;
  return ReadDateTaken(tiff.get(), taken) && DecodeFirstPage(tiff.get(), taken, target);
}

}  // namespace orvanel::platform::photo
