#include "platform/photo/heif_photo.h"

#include <libheif/heif.h>

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/photo/exif_date.h"
#include "platform/photo/whole_photo.h"
#include "platform/photo/ycbcr_rows.h"

namespace orvanel::platform::photo {
namespace {

struct HeifDelete {
  void operator()(heif_context* context) const { heif_context_free(context); }
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
  void operator()(heif_image* image) const { heif_image_release(image); }
  void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
template <typename T>
using HeifOwned = std::unique_ptr<T, HeifDelete>;

// The file as libheif reads it: a piece at a time, never held whole beside
// the library's own copy of the coded image.
struct Reading {
  const ByteSource& data;
  std::int64_t at = 0;
};

std::int64_t Position(void* reading) { return static_cast<Reading*>(reading)->at; }

int Read(void* into, std::size_t size, void* user) {
  auto& reading = *static_cast<Reading*>(user);
  if (reading.data.ReadAt(static_cast<std::uint64_t>(reading.at), static_cast<std::uint8_t*>(into), size) != size) {
    return -1;
  }
  reading.at += static_cast<std::int64_t>(size);
  return 0;
}

int Seek(std::int64_t position, void* reading) {
  static_cast<Reading*>(reading)->at = position;
  return 0;
}

heif_reader_grow_status WaitForFileSize(std::int64_t size, void* user) {
  auto& reading = *static_cast<Reading*>(user);
  std::uint8_t last = 0;
  const bool reached = size <= 0 || (static_cast<std::uint64_t>(size) <= kMaxWholeFileBytes &&
                                     reading.data.ReadAt(static_cast<std::uint64_t>(size - 1), &last, 1) == 1);
  return reached ? heif_reader_grow_status_size_reached : heif_reader_grow_status_size_beyond_eof;
}

constexpr heif_reader kReader{1, Position, Read, Seek, WaitForFileSize};

// The matrix and range an image's planes are coded with; BT.601 at full
// range when the file says nothing, as libheif takes it.
struct Coding {
  int matrix = heif_matrix_coefficients_ITU_R_BT_601_6;
  bool fullRange = true;
};

Coding CodingOf(const heif_image* image) {
  Coding coding;
  heif_color_profile_nclx* nclx = nullptr;
  if (heif_image_get_nclx_color_profile(image, &nclx).code == heif_error_Ok && nclx != nullptr) {
    coding = {nclx->matrix_coefficients, nclx->full_range_flag != 0};
  }
  heif_nclx_color_profile_free(nclx);
  return coding;
}

// Whether libheif gave the image as interleaved RGB or RGBA, not as planes.
bool Interleaved(const heif_image* image) {
  const heif_chroma chroma = heif_image_get_chroma_format(image);
  return chroma == heif_chroma_interleaved_RGB || chroma == heif_chroma_interleaved_RGBA;
}

bool EightBit(const heif_image* image, heif_channel channel) {
  return heif_image_has_channel(image, channel) && heif_image_get_bits_per_pixel(image, channel) == 8;
}

// Whether the rows can be made from the image's own planes here: 8-bit luma
// with chroma at full, half or quarter resolution, luma alone, or red, green
// and blue planes.
bool HasUsablePlanes(const heif_image* image) {
  const heif_chroma chroma = heif_image_get_chroma_format(image);
  switch (heif_image_get_colorspace(image)) {
    case heif_colorspace_YCbCr:
      return (chroma == heif_chroma_420 || chroma == heif_chroma_422 || chroma == heif_chroma_444) &&
             EightBit(image, heif_channel_Y) && EightBit(image, heif_channel_Cb) && EightBit(image, heif_channel_Cr) &&
             YCbCrToRgb::Knows(CodingOf(image).matrix);
    case heif_colorspace_monochrome:
      return EightBit(image, heif_channel_Y) && YCbCrToRgb::Knows(CodingOf(image).matrix);
    case heif_colorspace_RGB:
      return chroma == heif_chroma_444 && EightBit(image, heif_channel_R) && EightBit(image, heif_channel_G) &&
             EightBit(image, heif_channel_B);
    default:
      return false;
  }
}

// The date in the image's Exif block, which starts with the offset from its
// fifth byte to its TIFF header.
std::optional<DateTime> DateTakenOf(const heif_image_handle* handle) {
  heif_item_id id = 0;
  if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1) return std::nullopt;
  const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
  // An Exif block holds its directories and a thumbnail: a few hundred
  // kilobytes at most. One claiming more is not read for a date.
  constexpr std::size_t kLargestExifBlock = std::size_t{4} << 20;
  if (size < 4 || size > kLargestExifBlock) return std::nullopt;
  std::vector<std::uint8_t> block(size);
  if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok) return std::nullopt;
  const std::size_t offset = BigEndian32(block.data());
  if (offset > size - 4) return std::nullopt;
  return ExifBlockDateTaken(std::span<const std::uint8_t>(block).subspan(4 + offset));
}

// The primary image decoded, planned by the target first: in the codec's own
// planes where they are usable here, which is half the memory of RGB for
// the usual 4:2:0, else as RGB by libheif. The library lets go of the coded
// image once it is decoded, before the target makes anything for the rows.
HeifOwned<heif_image> DecodePrimary(const ByteSource& data, PhotoTarget& target, bool& premultiplied) {
  Reading reading{data};
  const HeifOwned<heif_context> context(heif_context_alloc());
  if (!context || heif_context_read_from_reader(context.get(), &kReader, &reading, nullptr).code != heif_error_Ok) {
    return nullptr;
  }
  heif_image_handle* primary = nullptr;
  if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok) return nullptr;
  const HeifOwned<heif_image_handle> handle(primary);
  // The size once transformed: the target is told orientation 1.
  const std::int32_t width = heif_image_handle_get_width(handle.get());
  const std::int32_t height = heif_image_handle_get_height(handle.get());
  if (!target.Plan({width, height, 1, true, DateTakenOf(handle.get())})) return nullptr;
  const HeifOwned<heif_decoding_options> options(heif_decoding_options_alloc());
  if (!options) return nullptr;
  options->convert_hdr_to_8bit = 1;
  const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
  premultiplied = alpha && heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
  const auto decode = [&](heif_colorspace space, heif_chroma chroma) {
    heif_image* decoded = nullptr;
    const bool ok = heif_decode_image(handle.get(), &decoded, space, chroma, options.get()).code == heif_error_Ok;
    return HeifOwned<heif_image>(ok ? decoded : nullptr);
  };
  HeifOwned<heif_image> image;
  if (!alpha && heif_image_handle_get_luma_bits_per_pixel(handle.get()) == 8) {
    image = decode(heif_colorspace_undefined, heif_chroma_undefined);
    if (image && !HasUsablePlanes(image.get())) image.reset();
  }
  if (!image) {
    image = decode(heif_colorspace_RGB, alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    if (!image || heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8) return nullptr;
  }
  const heif_channel first = Interleaved(image.get())                                  ? heif_channel_interleaved
                             : heif_image_get_colorspace(image.get()) == heif_colorspace_RGB ? heif_channel_R
                                                                                              : heif_channel_Y;
  if (heif_image_get_width(image.get(), first) != width || heif_image_get_height(image.get(), first) != height) {
    return nullptr;
  }
  return image;
}

// The rows from red, green and blue planes, one interleaved at a time.
bool WriteColourPlaneRows(const heif_image* image, RowSink& sink) {
  const std::int32_t width = heif_image_get_width(image, heif_channel_R);
  const std::int32_t height = heif_image_get_height(image, heif_channel_R);
  int strides[3] = {};
  const std::uint8_t* planes[3] = {heif_image_get_plane_readonly(image, heif_channel_R, &strides[0]),
                                   heif_image_get_plane_readonly(image, heif_channel_G, &strides[1]),
                                   heif_image_get_plane_readonly(image, heif_channel_B, &strides[2])};
  for (const heif_channel plane : {heif_channel_G, heif_channel_B}) {
    if (heif_image_get_width(image, plane) < width || heif_image_get_height(image, plane) < height) return false;
  }
  if (planes[0] == nullptr || planes[1] == nullptr || planes[2] == nullptr || !sink.Begin(width, height)) return false;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
  for (std::int32_t y = 0; y < height; ++y) {
    for (int c = 0; c < 3; ++c) {
      const std::uint8_t* from = planes[c] + static_cast<std::size_t>(y) * strides[c];
      for (std::int32_t x = 0; x < width; ++x) rgb[3 * static_cast<std::size_t>(x) + c] = from[x];
    }
    sink.Row(rgb.data());
  }
  return true;
}

// The rows from the luma and chroma planes, one converted at a time.
bool WritePlaneRows(const heif_image* image, RowSink& sink) {
  if (heif_image_get_colorspace(image) == heif_colorspace_RGB) return WriteColourPlaneRows(image, sink);
  const std::int32_t width = heif_image_get_width(image, heif_channel_Y);
  const std::int32_t height = heif_image_get_height(image, heif_channel_Y);
  const Coding coding = CodingOf(image);
  const YCbCrToRgb conversion(coding.matrix, coding.fullRange);
  int lumaStride = 0;
  const std::uint8_t* luma = heif_image_get_plane_readonly(image, heif_channel_Y, &lumaStride);
  const bool grey = heif_image_get_colorspace(image) == heif_colorspace_monochrome;
  int cbStride = 0;
  int crStride = 0;
  const std::uint8_t* cb = grey ? nullptr : heif_image_get_plane_readonly(image, heif_channel_Cb, &cbStride);
  const std::uint8_t* cr = grey ? nullptr : heif_image_get_plane_readonly(image, heif_channel_Cr, &crStride);
  if (luma == nullptr || (!grey && (cb == nullptr || cr == nullptr))) return false;
  const heif_chroma chroma = heif_image_get_chroma_format(image);
  const bool halvedAcross = chroma == heif_chroma_420 || chroma == heif_chroma_422;
  const int downShift = chroma == heif_chroma_420 ? 1 : 0;
  // Chroma planes as large as their format says, or the rows would read past them.
  for (const heif_channel plane : {heif_channel_Cb, heif_channel_Cr}) {
    if (!grey && (heif_image_get_width(image, plane) < (width + (halvedAcross ? 1 : 0)) >> (halvedAcross ? 1 : 0) ||
                  heif_image_get_height(image, plane) < (height + downShift) >> downShift)) {
      return false;
    }
  }
  if (!sink.Begin(width, height)) return false;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::size_t chromaRow = static_cast<std::size_t>(y >> downShift);
    conversion.Row(luma + static_cast<std::size_t>(y) * lumaStride, grey ? nullptr : cb + chromaRow * cbStride,
                    grey ? nullptr : cr + chromaRow * crStride, width, halvedAcross, rgb.data());
    sink.Row(rgb.data());
  }
  return true;
}

}  // namespace

bool DecodeHeifPhoto(const ByteSource& data, std::span<const std::uint8_t>, PhotoTarget& target) {
  bool premultiplied = false;
  const auto image = DecodePrimary(data, target, premultiplied);
  if (!image) return false;
  RowSink* const sink = target.Sink();
  if (sink == nullptr) return false;
  if (!Interleaved(image.get())) return WritePlaneRows(image.get(), *sink);
  int stride = 0;
  const std::uint8_t* first = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  return first != nullptr && stride > 0 &&
         WriteDecodedRows({first, static_cast<std::size_t>(stride),
                           heif_image_get_width(image.get(), heif_channel_interleaved),
                           heif_image_get_height(image.get(), heif_channel_interleaved),
                           heif_image_get_chroma_format(image.get()) == heif_chroma_interleaved_RGBA,
                           premultiplied},
                          *sink);
}

}  // namespace orvanel::platform::photo
