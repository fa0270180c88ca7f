#include "platform/photo/smooth_enlarger.h"

#include <algorithm>

namespace orvanel::platform::photo {

std::vector<SmoothEnlarger::Tap> SmoothEnlarger::TapsFor(std::int32_t source, std::int32_t target) {
  std::vector<Tap> taps(static_cast<std::size_t>(target));
  for (std::int32_t i = 0; i < target; ++i) {
    // The centre of output pixel i on the source's scale, in 1/256ths,
    // kept within the outer pixels' centres.
    const std::int64_t centre = ((2 * std::int64_t{i} + 1) * source * 256) / (2 * std::int64_t{target}) - 128;
    const std::int64_t clamped = std::clamp<std::int64_t>(centre, 0, (std::int64_t{source} - 1) * 256);
    Tap& tap = taps[static_cast<std::size_t>(i)];
    tap.first = static_cast<std::int32_t>(clamped / 256);
    tap.second = std::min(tap.first + 1, source - 1);
    tap.weight = static_cast<std::uint32_t>(clamped % 256);
  }
  return taps;
}

bool SmoothEnlarger::Begin(std::int32_t sourceWidth, std::int32_t sourceHeight) {
  if (sourceWidth <= 0 || sourceHeight <= 0 || sourceWidth > width_ || sourceHeight > height_) return false;
  columns_ = TapsFor(sourceWidth, width_);
  rows_ = TapsFor(sourceHeight, height_);
  for (auto& slot : across_) slot.assign(static_cast<std::size_t>(width_) * 3, 0);
  finished_.assign(static_cast<std::size_t>(width_) * 3, 0);
  sourceRow_ = 0;
  nextRow_ = 0;
  return output_.Begin(width_, height_);
}

void SmoothEnlarger::Row(const std::uint8_t* rgb) {
  std::uint16_t* across = across_[sourceRow_ % 2].data();
  for (const Tap& tap : columns_) {
    const std::uint8_t* a = rgb + tap.first * 3;
    const std::uint8_t* b = rgb + tap.second * 3;
    for (int c = 0; c < 3; ++c) {
      *across++ = static_cast<std::uint16_t>(a[c] * (256 - tap.weight) + b[c] * tap.weight);
    }
  }
  ++sourceRow_;
  EmitReadyRows();
}

// Each output row goes out once both source rows it lies between are in.
void SmoothEnlarger::EmitReadyRows() {
  while (nextRow_ < height_ && rows_[static_cast<std::size_t>(nextRow_)].second < sourceRow_) {
    const Tap& tap = rows_[static_cast<std::size_t>(nextRow_)];
    const std::uint16_t* upper = across_[tap.first % 2].data();
    const std::uint16_t* lower = across_[tap.second % 2].data();
    for (std::size_t i = 0; i < finished_.size(); ++i) {
      const std::uint32_t value = upper[i] * (256 - tap.weight) + lower[i] * tap.weight;
      finished_[i] = static_cast<std::uint8_t>((value + 32768) >> 16);
    }
    output_.Row(finished_.data());
    ++nextRow_;
  }
}

}  // namespace orvanel::platform::photo
