#include "photo_fit.h"

#include <algorithm>
#include <cmath>

namespace orvanel::tools {
namespace {

struct Tap {
  int index;
  float weight;
};

// Triangle-filter taps for one axis: target pixel i covers source span
// [start + i * step, start + (i + 1) * step).
std::vector<std::vector<Tap>> Taps(int targetSize, double start, double step, int sourceSize) {
  const double support = std::max(1.0, step);
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(targetSize));
  for (int i = 0; i < targetSize; ++i) {
    const double centre = start + (i + 0.5) * step;
    const int first = static_cast<int>(std::floor(centre - support));
    const int last = static_cast<int>(std::ceil(centre + support));
    float total = 0;
    for (int s = first; s <= last; ++s) {
      const double distance = std::fabs((s + 0.5) - centre) / support;
      if (distance >= 1.0) continue;
      const auto weight = static_cast<float>(1.0 - distance);
      taps[static_cast<std::size_t>(i)].push_back({std::clamp(s, 0, sourceSize - 1), weight});
      total += weight;
    }
    for (auto& tap : taps[static_cast<std::size_t>(i)]) tap.weight /= total;
  }
  return taps;
}

}  // namespace

RgbImage CropAndScale(const RgbImage& photo, int width, int height) {
  // The largest centred window of the target's shape.
  double cropWidth = photo.width;
  double cropHeight = photo.width * static_cast<double>(height) / width;
  if (cropHeight > photo.height) {
    cropHeight = photo.height;
    cropWidth = photo.height * static_cast<double>(width) / height;
  }
  const double left = (photo.width - cropWidth) / 2;
  const double top = (photo.height - cropHeight) / 2;
  const auto across = Taps(width, left, cropWidth / width, photo.width);
  const auto down = Taps(height, top, cropHeight / height, photo.height);

  // Rows first, into floating point, then columns.
  std::vector<float> rows(static_cast<std::size_t>(photo.height) * width * 3);
  for (int y = 0; y < photo.height; ++y) {
    for (int x = 0; x < width; ++x) {
      float sum[3] = {0, 0, 0};
      for (const auto& tap : across[static_cast<std::size_t>(x)]) {
        const auto* p = &photo.rgb[(static_cast<std::size_t>(y) * photo.width + tap.index) * 3];
        for (int k = 0; k < 3; ++k) sum[k] += tap.weight * p[k];
      }
      for (int k = 0; k < 3; ++k) rows[(static_cast<std::size_t>(y) * width + x) * 3 + k] = sum[k];
    }
  }
  RgbImage result{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float sum[3] = {0, 0, 0};
      for (const auto& tap : down[static_cast<std::size_t>(y)]) {
        const auto* p = &rows[(static_cast<std::size_t>(tap.index) * width + x) * 3];
        for (int k = 0; k < 3; ++k) sum[k] += tap.weight * p[k];
      }
      for (int k = 0; k < 3; ++k) {
        result.rgb[(static_cast<std::size_t>(y) * width + x) * 3 + k] =
            static_cast<std::uint8_t>(std::clamp(std::lround(sum[k]), 0L, 255L));
      }
    }
  }
  return result;
}

}  // namespace orvanel::tools
