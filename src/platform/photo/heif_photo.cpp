#include "platform/photo/heif_photo.h"

#include <libheif/heif.h>

#include <memory>

#include "platform/photo/whole_photo.h"

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

// The primary image decoded, planned by the target first. The file is given
// up once it is decoded, before the target makes anything for the rows.
HeifOwned<heif_image> DecodePrimary(const ByteSource& data, PhotoTarget& target) {
  const auto file = ReadAll(data, kMaxWholeFileBytes);
  if (!file) return nullptr;
  const HeifOwned<heif_context> context(heif_context_alloc());
  if (!context) return nullptr;
  if (heif_context_read_from_memory_without_copy(context.get(), file->data(), file->size(), nullptr).code !=
      heif_error_Ok) {
    return nullptr;
  }
  heif_image_handle* primary = nullptr;
  if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok) return nullptr;
  const HeifOwned<heif_image_handle> handle(primary);
  // The size once transformed: the target is told orientation 1.
  const std::int32_t width = heif_image_handle_get_width(handle.get());
  const std::int32_t height = heif_image_handle_get_height(handle.get());
  if (!target.Plan({width, height, 1, true})) return nullptr;
  const HeifOwned<heif_decoding_options> options(heif_decoding_options_alloc());
  if (!options) return nullptr;
  options->convert_hdr_to_8bit = 1;
  const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
  heif_image* decoded = nullptr;
  if (heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get())
          .code != heif_error_Ok) {
    return nullptr;
  }
  HeifOwned<heif_image> image(decoded);
  if (heif_image_get_width(decoded, heif_channel_interleaved) != width ||
      heif_image_get_height(decoded, heif_channel_interleaved) != height ||
      heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved) != 8) {
    return nullptr;
  }
  return image;
}

}  // namespace

bool DecodeHeifPhoto(const ByteSource& data, std::span<const std::uint8_t>, PhotoTarget& target) {
  const auto image = DecodePrimary(data, target);
  if (!image) return false;
  int stride = 0;
  const std::uint8_t* first = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (first == nullptr || stride <= 0) return false;
  RowSink* const sink = target.Sink();
  return sink != nullptr &&
         WriteDecodedRows({first, static_cast<std::size_t>(stride),
                           heif_image_get_width(image.get(), heif_channel_interleaved),
                           heif_image_get_height(image.get(), heif_channel_interleaved),
                           heif_image_get_chroma_format(image.get()) == heif_chroma_interleaved_RGBA},
                          *sink);
}

}  // namespace orvanel::platform::photo
