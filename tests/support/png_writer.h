#pragma once
// Small PNG files made in the tests with libpng's own writer.
#include <png.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace orvanel::testing {

struct PngRecipe {
  int width = 64;
  int height = 32;
  bool alpha = true;
  bool grey = false;
  // A pixel as 0xAARRGGBB.
  std::function<std::uint32_t(int x, int y)> colour = [](int, int) { return 0xFF808080u; };
};

inline std::vector<std::uint8_t> MakePng(const PngRecipe& recipe) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(recipe.width);
  image.height = static_cast<png_uint_32>(recipe.height);
  image.format = recipe.grey ? (recipe.alpha ? PNG_FORMAT_GA : PNG_FORMAT_GRAY)
                             : (recipe.alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB);
  const int channels = static_cast<int>(PNG_IMAGE_PIXEL_CHANNELS(image.format));
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < recipe.height; ++y) {
    for (int x = 0; x < recipe.width; ++x) {
      const std::uint32_t c = recipe.colour(x, y);
      if (recipe.grey) {
        pixels.push_back(static_cast<std::uint8_t>(c >> 8));
      } else {
        pixels.insert(pixels.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                     static_cast<std::uint8_t>(c)});
      }
      if (recipe.alpha) pixels.push_back(static_cast<std::uint8_t>(c >> 24));
    }
  }
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), recipe.width * channels, nullptr);
  std::vector<std::uint8_t> file(size);
  png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), recipe.width * channels, nullptr);
  file.resize(size);
  return file;
}

}  // namespace orvanel::testing
