#pragma once
// Small JPEG files made in the tests with libjpeg itself: colour, greyscale,
// CMYK and YCCK, baseline or progressive, with an Exif orientation block.
#include <jpeglib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace orvanel::testing {

enum class JpegKind { kRgb, kGrey, kAdobeCmyk, kAdobeYcck };

struct JpegRecipe {
  int width = 64;
  int height = 32;
  JpegKind kind = JpegKind::kRgb;
  bool progressive = false;
  int quality = 98;
  int orientation = 0;  // 0: no Exif block
  // Exif DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"; empty: none.
  std::string dateTaken;
  // An ICC profile for the APP2 markers; empty: none.
  std::vector<std::uint8_t> iccProfile;
  // The colour of a pixel, red, green and blue.
  std::function<std::uint32_t(int x, int y)> colour = [](int, int) { return 0x808080u; };
};

// An Exif block (APP1) holding only the orientation, little-endian.
inline std::vector<std::uint8_t> ExifOrientationBlock(int orientation) {
  return {'E', 'x', 'i', 'f', 0, 0,                  // Exif header
          'I', 'I', 42, 0, 8, 0, 0, 0,               // TIFF header, IFD0 at 8
          1, 0,                                      // one entry
          0x12, 0x01, 3, 0, 1, 0, 0, 0,              // orientation, SHORT, count 1
          static_cast<std::uint8_t>(orientation), 0, 0, 0,
          0, 0, 0, 0};                               // no next IFD
}

// An Exif block (APP1) with the date a photo was taken, in the Exif
// directory IFD0 points to, and the orientation when not 0; little-endian.
inline std::vector<std::uint8_t> ExifDateBlock(const std::string& date, int orientation) {
  std::vector<std::uint8_t> block{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
  const auto u16 = [&](std::uint32_t v) { block.insert(block.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
  const auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  const std::uint32_t entries = orientation != 0 ? 2 : 1;
  const std::uint32_t exifAt = 8 + 2 + 12 * entries + 4;
  const std::uint32_t dateAt = exifAt + 2 + 12 + 4;
  u16(entries);
  if (orientation != 0) {
    u16(0x0112), u16(3), u32(1), u32(static_cast<std::uint32_t>(orientation));
  }
  u16(0x8769), u16(4), u32(1), u32(exifAt);
  u32(0);
  u16(1);
  u16(0x9003), u16(2), u32(static_cast<std::uint32_t>(date.size() + 1)), u32(dateAt);
  u32(0);
  block.insert(block.end(), date.begin(), date.end());
  block.push_back(0);
  return block;
}

inline std::vector<std::uint8_t> MakeJpeg(const JpegRecipe& recipe) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(recipe.width);
  info.image_height = static_cast<JDIMENSION>(recipe.height);
  const bool inks = recipe.kind == JpegKind::kAdobeCmyk || recipe.kind == JpegKind::kAdobeYcck;
  info.input_components = recipe.kind == JpegKind::kGrey ? 1 : inks ? 4 : 3;
  info.in_color_space = recipe.kind == JpegKind::kGrey ? JCS_GRAYSCALE : inks ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  if (recipe.kind == JpegKind::kAdobeYcck) jpeg_set_colorspace(&info, JCS_YCCK);
  jpeg_set_quality(&info, recipe.quality, TRUE);
  if (recipe.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  if (recipe.orientation != 0 || !recipe.dateTaken.empty()) {
    const auto block = recipe.dateTaken.empty() ? ExifOrientationBlock(recipe.orientation)
                                                : ExifDateBlock(recipe.dateTaken, recipe.orientation);
    jpeg_write_marker(&info, JPEG_APP0 + 1, block.data(), static_cast<unsigned>(block.size()));
  }
  if (!recipe.iccProfile.empty()) {
    jpeg_write_icc_profile(&info, recipe.iccProfile.data(), static_cast<unsigned>(recipe.iccProfile.size()));
  }
  std::vector<JSAMPLE> row(static_cast<std::size_t>(recipe.width) * info.input_components);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < recipe.width; ++x) {
      const std::uint32_t c = recipe.colour(x, y);
      const int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      JSAMPLE* p = &row[static_cast<std::size_t>(x) * info.input_components];
      if (recipe.kind == JpegKind::kGrey) {
        p[0] = static_cast<JSAMPLE>(g);
      } else if (inks) {
        // Adobe's convention: inverted inks, no black ink used.
        p[0] = static_cast<JSAMPLE>(r);
        p[1] = static_cast<JSAMPLE>(g);
        p[2] = static_cast<JSAMPLE>(b);
        p[3] = 255;
      } else {
        p[0] = static_cast<JSAMPLE>(r);
        p[1] = static_cast<JSAMPLE>(g);
        p[2] = static_cast<JSAMPLE>(b);
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

}  // namespace orvanel::testing
