#pragma once
// Landscapes painted from a seed: sky, sun or moon, clouds, layered ridges
// fading into the distance, mist, and often a lake that mirrors it all.
#include <cstdint>
#include <vector>

namespace orvanel::tools {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

// An image of floating-point colours, 0 to 1 a channel.
struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
  Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The same seed always paints the same picture.
Canvas PaintLandscape(std::uint32_t seed, int width, int height);

// 8-bit RGB rows, top row first, with a little grain as film has.
std::vector<std::uint8_t> ToRgb8(const Canvas& canvas, std::uint32_t seed);

}  // namespace orvanel::tools
