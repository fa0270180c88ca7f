#include "platform/photo/ycbcr_rows.h"

#include <algorithm>
#include <cmath>

namespace orvanel::platform::photo {
namespace {

constexpr double kOne = 65536.0;

struct LumaWeights {
  double red;
  double blue;
};

LumaWeights WeightsOf(int matrix) {
  switch (matrix) {
    case 1: return {0.2126, 0.0722};   // BT.709
    case 4: return {0.30, 0.11};       // FCC
    case 7: return {0.212, 0.087};     // SMPTE 240M
    case 9: return {0.2627, 0.0593};   // BT.2020
    default: return {0.299, 0.114};    // BT.601, and an unspecified matrix
  }
}

std::int32_t Fixed(double value) { return static_cast<std::int32_t>(std::lround(value * kOne)); }

std::uint8_t Clamped(std::int32_t fixed) {
  return static_cast<std::uint8_t>(std::clamp((fixed + (1 << 15)) >> 16, 0, 255));
}

}  // namespace

bool YCbCrToRgb::Knows(int matrix) {
  switch (matrix) {
    case 0: case 1: case 2: case 4: case 5: case 6: case 7: case 9:
      return true;
    default:
      return false;
  }
}

YCbCrToRgb::YCbCrToRgb(int matrix, bool fullRange) : identity_(matrix == 0) {
  const LumaWeights k = WeightsOf(matrix);
  const double green = 1.0 - k.red - k.blue;
  for (int v = 0; v < 256; ++v) {
    const double y = fullRange ? v : (v - 16) * 255.0 / 219.0;
    const double c = fullRange ? v - 128.0 : (v - 128) * 255.0 / 224.0;
    luma_[v] = Fixed(y);
    if (identity_) {
      // Each plane is a colour: each scaled as luma is.
      redFromCr_[v] = blueFromCb_[v] = Fixed(y);
      continue;
    }
    redFromCr_[v] = Fixed(2.0 * (1.0 - k.red) * c);
    blueFromCb_[v] = Fixed(2.0 * (1.0 - k.blue) * c);
    greenFromCr_[v] = Fixed(-2.0 * k.red * (1.0 - k.red) / green * c);
    greenFromCb_[v] = Fixed(-2.0 * k.blue * (1.0 - k.blue) / green * c);
  }
}

void YCbCrToRgb::Row(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::int32_t width,
                     bool halvedAcross, std::uint8_t* rgb) const {
  if (cb == nullptr || cr == nullptr) {
    for (std::int32_t x = 0; x < width; ++x, rgb += 3) rgb[0] = rgb[1] = rgb[2] = Clamped(luma_[y[x]]);
    return;
  }
  const int shift = halvedAcross ? 1 : 0;
  for (std::int32_t x = 0; x < width; ++x, rgb += 3) {
    const std::uint8_t u = cb[x >> shift];
    const std::uint8_t v = cr[x >> shift];
    if (identity_) {
      rgb[0] = Clamped(redFromCr_[v]);
      rgb[1] = Clamped(luma_[y[x]]);
      rgb[2] = Clamped(blueFromCb_[u]);
      continue;
    }
    const std::int32_t luma = luma_[y[x]];
    rgb[0] = Clamped(luma + redFromCr_[v]);
    rgb[1] = Clamped(luma + greenFromCr_[v] + greenFromCb_[u]);
    rgb[2] = Clamped(luma + blueFromCb_[u]);
  }
}

}  // namespace orvanel::platform::photo
