#include "slideshow/area_reducer.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace orvanel::slideshow {
namespace {

constexpr int kShareBits = 14;  // shares in 1/16384ths
constexpr std::uint32_t kWhole = 1u << kShareBits;
// A row reduced across keeps 8 fraction bits: 255 x 256 x 16384 still fits
// the 32 bits of a sum down the column.
constexpr int kAcrossShift = kShareBits - 8;
constexpr int kDownShift = kShareBits + 8;

}  // namespace

std::vector<AreaReducer::Shares> AreaReducer::SharesFor(std::int32_t source, std::int32_t target) {
  std::vector<Shares> all(static_cast<std::size_t>(target));
  const double step = static_cast<double>(source) / target;
  for (std::int32_t i = 0; i < target; ++i) {
    const double from = i * step;
    const double to = std::min<double>(source, (i + 1) * step);
    Shares& shares = all[static_cast<std::size_t>(i)];
    shares.first = static_cast<std::int32_t>(from);
    // From the running total, rounded, so that the shares add up exactly.
    const auto at = [&](double position) {
      return static_cast<std::uint32_t>(std::lround((position - from) / step * kWhole));
    };
    for (std::int32_t s = shares.first; s < to; ++s) {
      shares.weights.push_back(at(std::min<double>(s + 1, to)) - at(std::max<double>(s, from)));
    }
  }
  return all;
}

bool AreaReducer::Begin(std::int32_t sourceWidth, std::int32_t sourceHeight) {
  if (width_ <= 0 || height_ <= 0 || sourceWidth < width_ || sourceHeight < height_) return false;
  if (!output_.Begin(width_, height_)) return false;
  try {
    finished_.assign(static_cast<std::size_t>(width_) * 3, 0);
    sourceWidth_ = sourceWidth;
    sourceRow_ = 0;
    const auto columns = SharesFor(sourceWidth, width_);
    columnTaps_ = 0;
    for (const auto& shares : columns) {
      columnTaps_ = std::max(columnTaps_, static_cast<std::int32_t>(shares.weights.size()));
    }
    columnFirst_.assign(static_cast<std::size_t>(width_), 0);
    columnWeights_.assign(static_cast<std::size_t>(width_) * columnTaps_, 0);
    for (std::int32_t x = 0; x < width_; ++x) {
      const auto& shares = columns[static_cast<std::size_t>(x)];
      // A short column starts early enough that its zero taps stay inside the row.
      const std::int32_t first = std::min(shares.first, sourceWidth - columnTaps_);
      columnFirst_[static_cast<std::size_t>(x)] = first;
      for (std::size_t i = 0; i < shares.weights.size(); ++i) {
        columnWeights_[static_cast<std::size_t>(x) * columnTaps_ + (shares.first - first) + i] = shares.weights[i];
      }
    }
    const auto rows = SharesFor(sourceHeight, height_);
    rowShares_.assign(static_cast<std::size_t>(sourceHeight), {});
    lastSourceRow_.assign(static_cast<std::size_t>(height_), 0);
    for (std::int32_t y = 0; y < height_; ++y) {
      const Shares& shares = rows[static_cast<std::size_t>(y)];
      for (std::size_t i = 0; i < shares.weights.size(); ++i) {
        const std::int32_t source = shares.first + static_cast<std::int32_t>(i);
        rowShares_[static_cast<std::size_t>(source)].push_back({y, shares.weights[i]});
        lastSourceRow_[static_cast<std::size_t>(y)] = source;
      }
    }
    across_.assign(static_cast<std::size_t>(width_) * 3, 0);
    for (auto& sums : sums_) sums.assign(static_cast<std::size_t>(width_) * 3, 0);
  } catch (const std::bad_alloc&) {
    return false;  // a photo that does not fit in memory is one not shown
  }
  return true;
}

template <int kTaps>
void AreaReducer::Across(const std::uint8_t* rgb) {
  const std::int32_t taps = kTaps != 0 ? kTaps : columnTaps_;
  const std::uint32_t* weights = columnWeights_.data();
  for (std::int32_t x = 0; x < width_; ++x, weights += taps) {
    const std::uint8_t* from = rgb + static_cast<std::size_t>(columnFirst_[static_cast<std::size_t>(x)]) * 3;
    std::uint32_t r = 0, g = 0, b = 0;
    for (std::int32_t t = 0; t < taps; ++t, from += 3) {
      r += weights[t] * from[0];
      g += weights[t] * from[1];
      b += weights[t] * from[2];
    }
    std::uint32_t* to = &across_[static_cast<std::size_t>(x) * 3];
    to[0] = r >> kAcrossShift;
    to[1] = g >> kAcrossShift;
    to[2] = b >> kAcrossShift;
  }
}

void AreaReducer::Row(const std::uint8_t* rgb) {
  if (sourceRow_ >= static_cast<std::int32_t>(rowShares_.size())) return;
  // Across: each output column from the source pixels it covers; the usual
  // numbers of taps have loops of fixed length, unrolled.
  switch (columnTaps_) {
    case 1:
      Across<1>(rgb);
      break;
    case 2:
      Across<2>(rgb);
      break;
    case 3:
      Across<3>(rgb);
      break;
    case 4:
      Across<4>(rgb);
      break;
    default:
      Across<0>(rgb);
      break;
  }
  // Down: into each output row this source row counts in. Plain pointers
  // that cannot alias, so that the compiler works on many values at once.
  const std::size_t count = across_.size();
  const std::uint32_t* __restrict across = across_.data();
  for (const RowShare& share : rowShares_[static_cast<std::size_t>(sourceRow_)]) {
    std::uint32_t* __restrict sums = sums_[share.outputRow % 2].data();
    const std::uint32_t weight = share.weight;
    for (std::size_t i = 0; i < count; ++i) sums[i] += weight * across[i];
    if (lastSourceRow_[static_cast<std::size_t>(share.outputRow)] == sourceRow_) {
      std::uint8_t* __restrict out = finished_.data();
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t value = (sums[i] + (1u << (kDownShift - 1))) >> kDownShift;
        out[i] = static_cast<std::uint8_t>(value > 255 ? 255 : value);
        sums[i] = 0;
      }
      output_.Row(finished_.data());
    }
  }
  ++sourceRow_;
}

}  // namespace orvanel::slideshow
