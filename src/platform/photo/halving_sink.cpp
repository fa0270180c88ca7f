#include "platform/photo/halving_sink.h"

#include <algorithm>

namespace orvanel::platform::photo {
namespace {

std::int32_t Halved(std::int32_t size) { return (size + 1) / 2; }

// Two rows into one of half the width, each output pixel the rounded mean of
// the 2 x 2 it covers; one loop over whole pairs, free of tests, for the
// compiler to vectorise.
void HalveRows(const std::uint8_t* __restrict top, const std::uint8_t* __restrict bottom, std::int32_t width,
               std::uint8_t* __restrict out) {
  const std::int32_t pairs = width / 2;
  for (std::int32_t x = 0; x < pairs; ++x) {
    for (int c = 0; c < 3; ++c) {
      const unsigned sum = top[6 * x + c] + top[6 * x + 3 + c] + bottom[6 * x + c] + bottom[6 * x + 3 + c];
      out[3 * x + c] = static_cast<std::uint8_t>((sum + 2) >> 2);
    }
  }
  if (width % 2 != 0) {
    const std::int32_t last = width - 1;
    for (int c = 0; c < 3; ++c) {
      const unsigned sum = top[3 * last + c] + bottom[3 * last + c];
      out[3 * pairs + c] = static_cast<std::uint8_t>((sum + 1) >> 1);
    }
  }
}

}  // namespace

int HalvingSink::HalvingsFor(std::int32_t width, std::int32_t height, std::int32_t needWidth,
                             std::int32_t needHeight) {
  // As the DCT scaling goes, to an eighth at most.
  int halvings = 0;
  while (halvings < 3 && Halved(width) >= needWidth && Halved(height) >= needHeight) {
    width = Halved(width);
    height = Halved(height);
    ++halvings;
  }
  return halvings;
}

bool HalvingSink::Begin(std::int32_t width, std::int32_t height) {
  halves_.clear();
  const int halvings = HalvingsFor(width, height, needWidth_, needHeight_);
  // Made from the last to the first: each hands its rows to the one made before.
  RowSink* next = &output_;
  for (int i = 0; i < halvings; ++i) {
    halves_.insert(halves_.begin(), std::make_unique<Half>(*next));
    next = halves_.front().get();
  }
  return next->Begin(width, height);
}

void HalvingSink::Row(const std::uint8_t* rgb) {
  if (halves_.empty()) {
    output_.Row(rgb);
  } else {
    halves_.front()->Row(rgb);
  }
}

bool HalvingSink::Half::Begin(std::int32_t width, std::int32_t height) {
  width_ = width;
  height_ = height;
  row_ = 0;
  held_.resize(static_cast<std::size_t>(width) * 3);
  halved_.resize(static_cast<std::size_t>(Halved(width)) * 3);
  return output_.Begin(Halved(width), Halved(height));
}

void HalvingSink::Half::Row(const std::uint8_t* rgb) {
  const bool first = row_ % 2 == 0;
  const bool last = row_ == height_ - 1;
  ++row_;
  if (first && !last) {
    std::copy_n(rgb, held_.size(), held_.begin());
    return;
  }
  HalveRows(first ? rgb : held_.data(), rgb, width_, halved_.data());
  output_.Row(halved_.data());
}

}  // namespace orvanel::platform::photo
