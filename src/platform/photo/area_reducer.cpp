#include "platform/photo/area_reducer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvanel::platform::photo {
namespace {

constexpr int kShareBits = 14;  // shares in 1/16384ths
constexpr std::uint32_t kWhole = 1u << kShareBits;
static_assert(kWhole <= 0xFFFF, "a share is multiplied as 16 bits");
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
    // The same shares two to a 32-bit word, for the pairs read together; a
    // column is read in pairs while its last pixel read, and the byte after
    // it, are still inside the row.
    const std::int32_t pairs = (columnTaps_ + 1) / 2;
    columnPairs_.assign(static_cast<std::size_t>(width_) * pairs, 0);
    pairColumns_ = 0;
    for (std::int32_t x = 0; x < width_; ++x) {
      const std::uint32_t* weights = &columnWeights_[static_cast<std::size_t>(x) * columnTaps_];
      for (std::int32_t p = 0; p < pairs; ++p) {
        const std::uint32_t second = 2 * p + 1 < columnTaps_ ? weights[2 * p + 1] : 0;
        columnPairs_[static_cast<std::size_t>(x) * pairs + p] = weights[2 * p] | second << 16;
      }
      if (columnFirst_[static_cast<std::size_t>(x)] + 2 * pairs < sourceWidth) pairColumns_ = x + 1;
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
    across_.assign(static_cast<std::size_t>(width_) * 3 + 1, 0);  // one spare for the vector stores
    for (auto& sums : sums_) sums.assign(static_cast<std::size_t>(width_) * 3, 0);
  } catch (const std::bad_alloc&) {
    return false;  // a photo that does not fit in memory is one not shown
  }
  return true;
}

template <int kTaps>
void AreaReducer::Across(const std::uint8_t* rgb, std::int32_t firstColumn) {
  const std::int32_t taps = kTaps != 0 ? kTaps : columnTaps_;
  const std::uint32_t* weights = columnWeights_.data() + static_cast<std::size_t>(firstColumn) * taps;
  for (std::int32_t x = firstColumn; x < width_; ++x, weights += taps) {
    const std::uint8_t* from = rgb + static_cast<std::size_t>(columnFirst_[static_cast<std::size_t>(x)]) * 3;
    std::uint32_t r = 0, g = 0, b = 0;
    for (std::int32_t t = 0; t < taps; ++t, from += 3) {
      r += weights[t] * from[0];
      g += weights[t] * from[1];
      b += weights[t] * from[2];
    }
    std::uint16_t* to = &across_[static_cast<std::size_t>(x) * 3];
    to[0] = static_cast<std::uint16_t>(r >> kAcrossShift);
    to[1] = static_cast<std::uint16_t>(g >> kAcrossShift);
    to[2] = static_cast<std::uint16_t>(b >> kAcrossShift);
  }
}

#if defined(__SSE2__)
// Two source pixels at a time: their bytes interleaved and widened to
// (r0 r1 g0 g1 b0 b1 . .), one multiply-add with (w0 w1) in every lane
// gives each channel's two products summed. A pixel is read as four bytes,
// so a column is done here only while its last read stays inside the row.
template <int kPairs>
std::int32_t AreaReducer::AcrossInPairs(const std::uint8_t* rgb) {
  const std::int32_t pairs = kPairs != 0 ? kPairs : (columnTaps_ + 1) / 2;
  const std::uint32_t* weights = columnPairs_.data();
  const __m128i zero = _mm_setzero_si128();
  std::uint16_t* to = across_.data();
  for (std::int32_t x = 0; x < pairColumns_; ++x, to += 3) {
    const std::uint8_t* from = rgb + static_cast<std::size_t>(columnFirst_[static_cast<std::size_t>(x)]) * 3;
    __m128i sum = zero;
    for (std::int32_t p = 0; p < pairs; ++p, from += 6, ++weights) {
      std::uint32_t first;
      std::uint32_t second;
      std::memcpy(&first, from, 4);
      std::memcpy(&second, from + 3, 4);
      const __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(first)),
                                              _mm_cvtsi32_si128(static_cast<int>(second)));
      const __m128i both = _mm_unpacklo_epi8(bytes, zero);
      sum = _mm_add_epi32(sum, _mm_madd_epi16(both, _mm_set1_epi32(static_cast<int>(*weights))));
    }
    // Four 16-bit values stored: the fourth is overwritten by the next
    // column, or falls in the spare one at the end.
    const __m128i shifted = _mm_srli_epi32(sum, kAcrossShift);
    // Less 32768 so that the saturating signed pack keeps values up to 65535.
    const __m128i bias = _mm_set1_epi32(32768);
    const __m128i packed = _mm_add_epi16(_mm_packs_epi32(_mm_sub_epi32(shifted, bias), zero), _mm_set1_epi16(-32768));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to), packed);
  }
  return pairColumns_;
}
#endif

void AreaReducer::Row(const std::uint8_t* rgb) {
  if (sourceRow_ >= static_cast<std::int32_t>(rowShares_.size())) return;
  // Across: each output column from the source pixels it covers; the usual
  // numbers of taps have loops of fixed length, unrolled.
  std::int32_t done = 0;
#if defined(__SSE2__)
  switch ((columnTaps_ + 1) / 2) {
    case 1:
      done = AcrossInPairs<1>(rgb);
      break;
    case 2:
      done = AcrossInPairs<2>(rgb);
      break;
    default:
      done = AcrossInPairs<0>(rgb);
      break;
  }
#endif
  switch (columnTaps_) {
    case 1:
      Across<1>(rgb, done);
      break;
    case 2:
      Across<2>(rgb, done);
      break;
    case 3:
      Across<3>(rgb, done);
      break;
    case 4:
      Across<4>(rgb, done);
      break;
    default:
      Across<0>(rgb, done);
      break;
  }
  // Down: into each output row this source row counts in. Plain pointers
  // that cannot alias, so that the compiler works on many values at once.
  const std::size_t count = static_cast<std::size_t>(width_) * 3;
  const std::uint16_t* __restrict across = across_.data();
  for (const RowShare& share : rowShares_[static_cast<std::size_t>(sourceRow_)]) {
    std::uint32_t* __restrict sums = sums_[share.outputRow % 2].data();
    const auto weight = static_cast<std::uint16_t>(share.weight);  // at most kWhole
    for (std::size_t i = 0; i < count; ++i) sums[i] += static_cast<std::uint32_t>(weight) * across[i];
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

}  // namespace orvanel::platform::photo
