#pragma once
// Writing the collection's JPEG files with libjpeg.
#include <cstdint>
#include <string>
#include <vector>

namespace orvanel::tools {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // three bytes a pixel, top row first
};

// A baseline JFIF 1.01 file: density in dots per inch, no thumbnail, colour
// halved horizontally only (sampling 2x1, 1x1, 1x1), standard Huffman tables,
// no restart interval; segments APP0, DQT, DQT, SOF0, four DHT, SOS, EOI.
std::vector<std::uint8_t> EncodeJfif(const RgbImage& image, int quality, int dotsPerInch);

}  // namespace orvanel::tools
