#pragma once
// Reduces a photo to a smaller size as its rows arrive from the decoder,
// and hands each output row on to another sink as soon as it is complete:
// each output pixel is the mean of the source area it covers, a partly
// covered source pixel counted by its share. Neither the photo nor the
// output is held here: only one row of sums for each output row still open
// (two at most, as an output row is at least one source row high).
#include <cstdint>
#include <vector>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

class AreaReducer : public RowSink {
 public:
  AreaReducer(std::int32_t width, std::int32_t height, RowSink& output)
      : width_(width), height_(height), output_(output) {}

  // False for a source smaller than the output either way (this only
  // reduces), or when the output sink refuses the size.
  bool Begin(std::int32_t sourceWidth, std::int32_t sourceHeight) override;
  void Row(const std::uint8_t* rgb) override;

 private:
  // The source pixels one output pixel covers along one side: the first,
  // and the share of each in 1/16384ths, the shares adding up to 16384.
  struct Shares {
    std::int32_t first = 0;
    std::vector<std::uint32_t> weights;
  };
  static std::vector<Shares> SharesFor(std::int32_t source, std::int32_t target);
  // One source row reduced across into `across_`, from a column on; kTaps 0
  // for any number.
  template <int kTaps>
  void Across(const std::uint8_t* rgb, std::int32_t firstColumn);
  // The same with the processor's vector instructions, as far as they may
  // read; the number of columns done. kPairs 0 for any number.
  template <int kPairs>
  std::int32_t AcrossInPairs(const std::uint8_t* rgb);

  std::int32_t width_;
  std::int32_t height_;
  std::int32_t sourceWidth_ = 0;
  std::int32_t sourceRow_ = 0;
  // The columns' shares laid out flat, `columnTaps_` to a column, zeros
  // filling the short ones: a loop of fixed length the compiler unrolls.
  std::int32_t columnTaps_ = 0;
  std::vector<std::int32_t> columnFirst_;
  std::vector<std::uint32_t> columnWeights_;
  std::vector<std::uint32_t> columnPairs_;  // two shares to a word, low one first
  std::int32_t pairColumns_ = 0;            // the leading columns read in pairs
  // For each source row, the output rows it counts in and its share there.
  struct RowShare {
    std::int32_t outputRow;
    std::uint32_t weight;
  };
  std::vector<std::vector<RowShare>> rowShares_;
  std::vector<std::int32_t> lastSourceRow_;  // of each output row
  // One source row reduced across, with 8 fraction bits: at most 255 x 256,
  // so 16 bits, which lets the sums down be vectorised as 16 x 16 bit products.
  std::vector<std::uint16_t> across_;
  std::vector<std::uint32_t> sums_[2];       // the open output rows, even and odd
  std::vector<std::uint8_t> finished_;       // an output row on its way out
  RowSink& output_;
};

}  // namespace orvanel::platform::photo
