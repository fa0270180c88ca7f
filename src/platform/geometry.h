#pragma once
// Points, rectangles and colours as the desktop counts them: signed 32-bit
// pixels, rectangles with exclusive right and bottom edges.
#include <cstdint>

namespace orvanel::platform {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;

  // Whether the two share at least one pixel.
  bool Overlaps(const Rect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool Contains(const Rect& other) const {
    return left <= other.left && top <= other.top && right >= other.right && bottom >= other.bottom;
  }
  // The pixels both hold; empty (no width or no height) where they share none.
  Rect Intersect(const Rect& other) const {
    const Rect shared{left > other.left ? left : other.left, top > other.top ? top : other.top,
                      right < other.right ? right : other.right, bottom < other.bottom ? bottom : other.bottom};
    return shared.right > shared.left && shared.bottom > shared.top ? shared : Rect{};
  }
  // The smallest rectangle holding both.
  Rect Union(const Rect& other) const {
    return Rect{left < other.left ? left : other.left, top < other.top ? top : other.top,
                right > other.right ? right : other.right, bottom > other.bottom ? bottom : other.bottom};
  }

  static Rect FromBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                         std::int32_t height) {
    return Rect{left, top, left + width, top + height};
  }
};

// A colour reference laid out as 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
         (static_cast<ColorRef>(b) << 16);
}
constexpr std::uint8_t RedOf(ColorRef c) { return c & 0xFF; }
constexpr std::uint8_t GreenOf(ColorRef c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(ColorRef c) { return (c >> 16) & 0xFF; }

inline constexpr ColorRef kBlack = Rgb(0, 0, 0);
inline constexpr ColorRef kWhite = Rgb(255, 255, 255);

}  // namespace orvanel::platform
