#include "platform/photo/bmp_photo.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <memory>
#include <optional>
#include <vector>

#include "platform/photo/whole_photo.h"

namespace orvanel::platform::photo {
namespace {

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

// The size of the header after the file's: each version of the format has its own.
std::uint32_t InfoHeaderSize(std::span<const std::uint8_t> start) { return LittleEndian(start, 14, 4); }

// The stored size, a negative height meaning rows stored top first.
std::optional<PhotoSize> SizeOf(std::span<const std::uint8_t> start) {
  if (start.size() < 26) return std::nullopt;
  if (InfoHeaderSize(start) == 12) {
    return PhotoSize{static_cast<std::int32_t>(LittleEndian(start, 18, 2)),
                     static_cast<std::int32_t>(LittleEndian(start, 20, 2))};
  }
  const auto width = static_cast<std::int32_t>(LittleEndian(start, 18, 4));
  const auto height = static_cast<std::int32_t>(LittleEndian(start, 22, 4));
  if (height == INT32_MIN) return std::nullopt;
  return PhotoSize{width, std::abs(height)};
}

// How long the file must be to hold every pixel, UINT64_MAX for a header
// no photo has: the loader takes a file cut short for whole, rows missing.
// Pixels stored plain end at the last row; run-length coded ones at the
// file's size that the header gives.
std::uint64_t NeededBytes(std::span<const std::uint8_t> start, const PhotoSize& size) {
  const bool core = InfoHeaderSize(start) == 12;
  // A palette holds 256 colours at most: a count beyond is a hostile file,
  // which would have the loader ask for gigabytes.
  constexpr std::uint32_t kMostColours = 256;
  if (!core && (start.size() < 50 || LittleEndian(start, 46, 4) > kMostColours)) return UINT64_MAX;
  const std::uint32_t bits = LittleEndian(start, core ? 24 : 28, 2);
  const std::uint32_t coding = core || start.size() < 34 ? 0 : LittleEndian(start, 30, 4);
  constexpr std::uint32_t kPlain = 0, kBitFields = 3, kAlphaBitFields = 6;
  if (coding != kPlain && coding != kBitFields && coding != kAlphaBitFields) return LittleEndian(start, 2, 4);
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(size.width) * bits + 31) / 32 * 4;
  return LittleEndian(start, 10, 4) + rowBytes * static_cast<std::uint64_t>(size.height);
}

struct Unref {
  void operator()(GdkPixbufLoader* loader) const { g_object_unref(loader); }
  void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};

// The file decoded whole by the loader, fed a piece at a time: the file is
// never held whole beside the picture.
std::unique_ptr<GdkPixbuf, Unref> Decode(const ByteSource& data, std::span<const std::uint8_t> start,
                                         const PhotoSize& size) {
  // A hostile header, or a file that ends before its last pixel, never
  // reaches the loader.
  const std::uint64_t needed = NeededBytes(start, size);
  std::uint8_t last = 0;
  if (needed == UINT64_MAX || needed == 0 || needed > kMaxWholeFileBytes || data.ReadAt(needed - 1, &last, 1) != 1) {
    return nullptr;
  }
  GError* error = nullptr;
  const std::unique_ptr<GdkPixbufLoader, Unref> loader(gdk_pixbuf_loader_new_with_type("bmp", &error));
  g_clear_error(&error);
  if (!loader) return nullptr;
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  std::vector<std::uint8_t> piece(kPiece);
  std::uint64_t fed = 0;
  bool written = true;
  while (written && fed <= kMaxWholeFileBytes) {
    const std::size_t got = data.ReadAt(fed, piece.data(), piece.size());
    if (got == 0) break;
    written = gdk_pixbuf_loader_write(loader.get(), piece.data(), got, &error);
    g_clear_error(&error);
    fed += got;
  }
  // Closed whatever the writing gave: a loader is never let go open.
  const bool closed = gdk_pixbuf_loader_close(loader.get(), &error);
  g_clear_error(&error);
  written = written && fed <= kMaxWholeFileBytes;
  GdkPixbuf* pixbuf = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
  if (pixbuf == nullptr || gdk_pixbuf_get_width(pixbuf) != size.width ||
      gdk_pixbuf_get_height(pixbuf) != size.height || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 ||
      gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_n_channels(pixbuf) != (gdk_pixbuf_get_has_alpha(pixbuf) ? 4 : 3)) {
    return nullptr;
  }
  return std::unique_ptr<GdkPixbuf, Unref>(static_cast<GdkPixbuf*>(g_object_ref(pixbuf)));
}

// How a photo stored plain (no run-length coding, no bit fields) of 24 bits
// or of a palette's indices lies in the file: such a photo is read row by
// row as stored, never held whole.
struct PlainLayout {
  std::uint32_t bits = 0;
  std::uint64_t rowBytes = 0;
  std::uint64_t pixelsAt = 0;
  bool bottomUp = false;
  // Each index's colour as RGB; an index beyond the palette is black.
  std::array<std::uint8_t, 256 * 3> palette{};
};

std::optional<PlainLayout> PlainLayoutOf(std::span<const std::uint8_t> start, const PhotoSize& size) {
  // A row is held whole: one wider than any panorama is a hostile file's,
  // left to the loader's checks.
  constexpr std::int32_t kWidestRow = 1 << 18;
  const std::uint32_t info = InfoHeaderSize(start);
  const bool core = info == 12;
  if (start.size() < 14 + static_cast<std::size_t>(info) || (!core && info < 40) || size.width > kWidestRow) {
    return std::nullopt;
  }
  PlainLayout layout;
  layout.bits = LittleEndian(start, core ? 24 : 28, 2);
  const std::uint32_t coding = core ? 0 : LittleEndian(start, 30, 4);
  if (coding != 0 || (layout.bits != 1 && layout.bits != 4 && layout.bits != 8 && layout.bits != 24)) {
    return std::nullopt;
  }
  layout.bottomUp = core || static_cast<std::int32_t>(LittleEndian(start, 22, 4)) > 0;
  layout.rowBytes = (static_cast<std::uint64_t>(size.width) * layout.bits + 31) / 32 * 4;
  layout.pixelsAt = LittleEndian(start, 10, 4);
  if (layout.bits <= 8) {
    const std::uint32_t used = core ? 0 : LittleEndian(start, 46, 4);
    if (used > 256) return std::nullopt;  // a damaged or hostile header, which the loader's checks refuse
    const std::uint32_t colours = used != 0 ? used : 1u << layout.bits;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t at = 14 + info;
    if (start.size() < at + colours * entry) return std::nullopt;
    for (std::size_t i = 0; i < colours; ++i) {
      const std::uint8_t* bgr = start.data() + at + i * entry;
      layout.palette[3 * i] = bgr[2];
      layout.palette[3 * i + 1] = bgr[1];
      layout.palette[3 * i + 2] = bgr[0];
    }
  }
  return layout;
}

// One stored row as RGB.
void ColourRow(const PlainLayout& layout, const std::uint8_t* stored, std::int32_t width, std::uint8_t* rgb) {
  if (layout.bits == 24) {
    for (std::int32_t x = 0; x < width; ++x, stored += 3, rgb += 3) {
      rgb[0] = stored[2];
      rgb[1] = stored[1];
      rgb[2] = stored[0];
    }
    return;
  }
  const std::uint32_t perByte = 8 / layout.bits;
  const std::uint32_t mask = (1u << layout.bits) - 1;
  for (std::int32_t x = 0; x < width; ++x, rgb += 3) {
    const auto ux = static_cast<std::uint32_t>(x);
    // The leftmost pixel in the highest bits.
    const std::uint32_t shift = 8 - layout.bits * (ux % perByte + 1);
    const std::uint8_t* colour = layout.palette.data() + 3 * (stored[ux / perByte] >> shift & mask);
    std::copy_n(colour, 3, rgb);
  }
}

// The rows as the file stores them, a bottom-up photo told to the target
// as one upside down; false when the file ends before its last pixel.
bool DecodePlainRows(const ByteSource& data, const PlainLayout& layout, const PhotoSize& size, PhotoTarget& target) {
  if (!target.Plan({size.width, size.height, layout.bottomUp ? 4 : 1, false})) return false;
  std::uint8_t last = 0;
  if (data.ReadAt(layout.pixelsAt + layout.rowBytes * static_cast<std::uint64_t>(size.height) - 1, &last, 1) != 1) {
    return false;
  }
  std::vector<std::uint8_t> stored;
  std::vector<std::uint8_t> rgb;
  try {
    stored.resize(static_cast<std::size_t>(layout.rowBytes));
    rgb.resize(static_cast<std::size_t>(size.width) * 3);
  } catch (const std::bad_alloc&) {
    return false;
  }
  RowSink* const sink = target.Sink();
  if (sink == nullptr || !sink->Begin(size.width, size.height)) return false;
  const BufferedSource file(data);
  for (std::int32_t y = 0; y < size.height; ++y) {
    if (file.ReadAt(layout.pixelsAt + layout.rowBytes * static_cast<std::uint64_t>(y), stored.data(), stored.size()) !=
        stored.size()) {
      return false;
    }
    ColourRow(layout, stored.data(), size.width, rgb.data());
    sink->Row(rgb.data());
  }
  return true;
}

}  // namespace

bool DecodeBmpPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target) {
  const auto size = SizeOf(start);
  if (!size || size->width <= 0 || size->height <= 0) return false;
  if (const auto plain = PlainLayoutOf(start, *size)) return DecodePlainRows(data, *plain, *size, target);
  if (!target.Plan({size->width, size->height, 1, true})) return false;
  const auto pixbuf = Decode(data, start, *size);
  if (!pixbuf) return false;
  RowSink* const sink = target.Sink();
  return sink != nullptr &&
         WriteDecodedRows({gdk_pixbuf_read_pixels(pixbuf.get()), static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf.get())),
                           size->width, size->height, gdk_pixbuf_get_has_alpha(pixbuf.get()) != 0},
                          *sink);
}

}  // namespace orvanel::platform::photo
