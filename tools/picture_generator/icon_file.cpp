#include "icon_file.h"

namespace orvanel::tools {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
void Put32(std::vector<std::uint8_t>& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeIcon(const RgbImage& image) {
  const unsigned w = static_cast<unsigned>(image.width);
  const unsigned h = static_cast<unsigned>(image.height);
  const unsigned colourStride = (w * 3 + 3) & ~3u;
  const unsigned maskStride = ((w + 31) / 32) * 4;
  const unsigned imageSize = 40 + colourStride * h + maskStride * h;

  std::vector<std::uint8_t> out;
  // ICONDIR and its one entry.
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(static_cast<std::uint8_t>(w));
  out.push_back(static_cast<std::uint8_t>(h));
  out.push_back(0);  // no palette
  out.push_back(0);
  Put16(out, 1);   // planes
  Put16(out, 24);  // bits a pixel
  Put32(out, imageSize);
  Put32(out, 6 + 16);
  // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
  Put32(out, 40);
  Put32(out, w);
  Put32(out, h * 2);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, colourStride * h + maskStride * h);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  // Colour rows, bottom row first, blue green red.
  for (unsigned y = h; y-- > 0;) {
    for (unsigned x = 0; x < w; ++x) {
      const auto* p = &image.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
    for (unsigned pad = w * 3; pad < colourStride; ++pad) out.push_back(0);
  }
  // The transparency mask: all opaque.
  out.insert(out.end(), static_cast<std::size_t>(maskStride) * h, 0);
  return out;
}

}  // namespace orvanel::tools
