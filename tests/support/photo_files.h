#pragma once
// Photo files for the end-to-end tests: one colour filling a screen-sized
// picture, as JPEG or PNG or in any format an encoder makes, and the check
// that photos came in their order.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/encoded_photo.h"
#include "support/jpeg_writer.h"
#include "support/png_writer.h"

namespace orvanel::testing {

inline void WriteSolidPhoto(const std::filesystem::path& file, std::uint32_t colour, bool png) {
  std::vector<std::uint8_t> bytes;
  if (png) {
    PngRecipe recipe;
    recipe.width = 1024;
    recipe.height = 768;
    recipe.alpha = false;
    recipe.colour = [colour](int, int) { return colour; };
    bytes = MakePng(recipe);
  } else {
    JpegRecipe recipe;
    recipe.width = 1024;
    recipe.height = 768;
    recipe.colour = [colour](int, int) { return colour; };
    bytes = MakeJpeg(recipe);
  }
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
}

// One colour filling a picture, screen-sized unless told, in the format an
// encoder's command makes from in.png into out (support/encoded_photo.h).
inline bool WriteEncodedPhoto(const std::filesystem::path& file, std::uint32_t colour, const std::string& command,
                              int width = 1024, int height = 768) {
  PngRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.alpha = false;
  recipe.colour = [colour](int, int) { return 0xFF000000u | colour; };
  const auto bytes = Encode("in.png", MakePng(recipe), command);
  if (!bytes) return false;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes->data()),
                                             static_cast<std::streamsize>(bytes->size()));
  return true;
}

// Whether each photo seen (more than one round's worth) is followed by the
// next of `order`, round and round, from wherever the watching began.
inline bool FollowsInOrder(const std::vector<std::uint32_t>& seen, const std::vector<std::uint32_t>& order) {
  if (seen.size() < order.size() + 1) return false;
  for (std::size_t i = 0; i + 1 < seen.size(); ++i) {
    const auto at = std::find(order.begin(), order.end(), seen[i]) - order.begin();
    if (seen[i + 1] != order[static_cast<std::size_t>(at + 1) % order.size()]) return false;
  }
  return true;
}

}  // namespace orvanel::testing
