#include "platform/photo/png_photo.h"

#include <png.h>

#include <new>

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

}  // namespace

std::optional<RgbImage> DecodePngPhoto(std::span<const std::uint8_t> data, std::int64_t maxPixels) {
  PngImage png;
  if (!png_image_begin_read_from_memory(&*png, data.data(), data.size())) return std::nullopt;
  if (png->width == 0 || png->height == 0 || static_cast<std::int64_t>(png->width) * png->height > maxPixels) {
    return std::nullopt;
  }
  png->format = PNG_FORMAT_RGBA;
  RgbImage image;
  image.width = static_cast<std::int32_t>(png->width);
  image.height = static_cast<std::int32_t>(png->height);
  try {
    image.pixels.resize(PNG_IMAGE_SIZE(*png));
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a photo that does not fit in memory is one not shown
  }
  if (!png_image_finish_read(&*png, nullptr, image.pixels.data(), 0, nullptr)) return std::nullopt;
  // Over black, as browsers and image viewers compose: each value weighed by
  // its alpha as stored, then the four bytes a pixel packed into three.
  const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
  std::uint8_t* pixels = image.pixels.data();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned alpha = pixels[i * 4 + 3];
    for (int c = 0; c < 3; ++c) {
      pixels[i * 3 + c] = static_cast<std::uint8_t>((pixels[i * 4 + c] * alpha + 127) / 255);
    }
  }
  image.pixels.resize(count * 3);
  image.pixels.shrink_to_fit();
  return image;
}

}  // namespace orvanel::platform::photo
