#include "slideshow/caption_drawing.h"

#include <algorithm>
#include <vector>

namespace orvanel::slideshow {
namespace {

// The halo at its darkest, out of 255: the photo still shows through.
constexpr std::uint32_t kHaloDarkest = 200;

// The text's coverage spread by a box of 2 x radius + 1 pixels each way,
// over an area `radius` larger than the text on every side, made stronger
// so that it reaches its darkest next to each stroke.
std::vector<std::uint8_t> Halo(const platform::TextMask& text, std::int32_t radius) {
  const std::int32_t width = text.width + 2 * radius;
  const std::int32_t height = text.height + 2 * radius;
  const std::int32_t span = 2 * radius + 1;
  // Across: each row's sums over the box's width.
  std::vector<std::uint32_t> across(static_cast<std::size_t>(width) * text.height, 0);
  for (std::int32_t y = 0; y < text.height; ++y) {
    const std::uint8_t* row = text.coverage.data() + static_cast<std::size_t>(y) * text.width;
    std::uint32_t sum = 0;
    for (std::int32_t x = 0; x < width; ++x) {
      // x is the halo's column; the box covers text columns x - span + 1 to x.
      if (x < text.width) sum += row[x];
      if (x - span >= 0 && x - span < text.width) sum -= row[x - span];
      across[static_cast<std::size_t>(y) * width + x] = sum;
    }
  }
  // Down, into the halo.
  std::vector<std::uint8_t> halo(static_cast<std::size_t>(width) * height, 0);
  const std::uint32_t box = static_cast<std::uint32_t>(span) * span;
  for (std::int32_t x = 0; x < width; ++x) {
    std::uint32_t sum = 0;
    for (std::int32_t y = 0; y < height; ++y) {
      if (y < text.height) sum += across[static_cast<std::size_t>(y) * width + x];
      if (y - span >= 0 && y - span < text.height) sum -= across[static_cast<std::size_t>(y - span) * width + x];
      const std::uint32_t strength = std::min<std::uint32_t>(255, 3 * sum / box);
      halo[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(strength * kHaloDarkest / 255);
    }
  }
  return halo;
}

}  // namespace

std::int32_t CaptionHaloRadius(std::int32_t lineHeight) { return std::max(1, lineHeight / 8); }

void DrawCaption(platform::PixelRows rows, std::int32_t width, std::int32_t height, const platform::TextMask& text,
                 platform::Point at) {
  if (rows.first == nullptr || text.width <= 0 || text.height <= 0 ||
      text.coverage.size() != static_cast<std::size_t>(text.width) * text.height) {
    return;
  }
  const std::int32_t radius = CaptionHaloRadius(text.height);
  const std::vector<std::uint8_t> halo = Halo(text, radius);
  const std::int32_t haloWidth = text.width + 2 * radius;
  const std::int32_t haloHeight = text.height + 2 * radius;
  const int step = rows.layout == platform::PixelLayout::kBgr24 ? 3 : 4;
  const std::int32_t left = at.x - radius;
  const std::int32_t top = at.y - radius;
  for (std::int32_t y = std::max(0, -top); y < haloHeight && top + y < height; ++y) {
    std::uint8_t* row = rows.first + (top + y) * rows.stride;
    const std::int32_t textY = y - radius;
    for (std::int32_t x = std::max(0, -left); x < haloWidth && left + x < width; ++x) {
      const std::uint32_t dark = halo[static_cast<std::size_t>(y) * haloWidth + x];
      const std::int32_t textX = x - radius;
      const bool inText = textY >= 0 && textY < text.height && textX >= 0 && textX < text.width;
      const std::uint32_t ink = inText ? text.coverage[static_cast<std::size_t>(textY) * text.width + textX] : 0;
      std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(left + x) * step;
      for (int channel = 0; channel < 3; ++channel) {
        const std::uint32_t shaded = pixel[channel] * (255 - dark) / 255;
        pixel[channel] = static_cast<std::uint8_t>((shaded * (255 - ink) + 255 * ink) / 255);
      }
    }
  }
}

}  // namespace orvanel::slideshow
