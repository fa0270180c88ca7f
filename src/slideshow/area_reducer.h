#pragma once
// Reduces a photo to a smaller size as its rows arrive from the decoder:
// each output pixel is the mean of the source area it covers, a partly
// covered source pixel counted by its share. The photo is never held whole:
// only the output and one row of sums for each output row still open (two
// at most, as an output row is at least one source row high).
#include <cstdint>
#include <vector>

#include "platform/photo/rgb_image.h"

namespace orvanel::slideshow {

class AreaReducer : public platform::photo::RowSink {
 public:
  AreaReducer(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

  // False for a source smaller than the output either way: this only reduces.
  bool Begin(std::int32_t sourceWidth, std::int32_t sourceHeight) override;
  void Row(const std::uint8_t* rgb) override;
  // The reduced photo; whole once every source row has arrived.
  platform::photo::RgbImage& Result() { return result_; }

 private:
  // The source pixels one output pixel covers along one side: the first,
  // and the share of each in 1/16384ths, the shares adding up to 16384.
  struct Shares {
    std::int32_t first = 0;
    std::vector<std::uint32_t> weights;
  };
  static std::vector<Shares> SharesFor(std::int32_t source, std::int32_t target);

  std::int32_t width_;
  std::int32_t height_;
  std::int32_t sourceWidth_ = 0;
  std::int32_t sourceRow_ = 0;
  // The columns' shares laid out flat, `columnTaps_` to a column, zeros
  // filling the short ones: a loop of fixed length the compiler unrolls.
  std::int32_t columnTaps_ = 0;
  std::vector<std::int32_t> columnFirst_;
  std::vector<std::uint32_t> columnWeights_;
  // For each source row, the output rows it counts in and its share there.
  struct RowShare {
    std::int32_t outputRow;
    std::uint32_t weight;
  };
  std::vector<std::vector<RowShare>> rowShares_;
  std::vector<std::int32_t> lastSourceRow_;  // of each output row
  std::vector<std::uint32_t> across_;        // one source row reduced across, 8 fraction bits
  std::vector<std::uint32_t> sums_[2];       // the open output rows, even and odd
  platform::photo::RgbImage result_;
};

}  // namespace orvanel::slideshow
