#pragma once
// Enlarges a photo as its rows arrive, each output pixel interpolated
// between the four source pixels around its centre, so that a photo smaller
// than its frame comes out smooth rather than in blocks. Only the last two
// source rows are held.
#include <cstdint>
#include <vector>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

class SmoothEnlarger : public RowSink {
 public:
  SmoothEnlarger(std::int32_t width, std::int32_t height, RowSink& output)
      : width_(width), height_(height), output_(output) {}

  // False for a source larger than the output either way: reducing is the
  // area reducer's, which averages rather than skips.
  bool Begin(std::int32_t sourceWidth, std::int32_t sourceHeight) override;
  void Row(const std::uint8_t* rgb) override;

 private:
  // Where an output pixel's centre falls between two source pixels: the
  // first and its neighbour's weight in 1/256ths.
  struct Tap {
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::uint32_t weight = 0;
  };
  static std::vector<Tap> TapsFor(std::int32_t source, std::int32_t target);
  void EmitReadyRows();

  std::int32_t width_;
  std::int32_t height_;
  RowSink& output_;
  std::vector<Tap> columns_;
  std::vector<Tap> rows_;
  std::int32_t sourceRow_ = 0;  // rows taken so far
  std::int32_t nextRow_ = 0;    // the next output row
  // The last two source rows, enlarged across, with 8 fraction bits; the
  // slot of source row r is r % 2.
  std::vector<std::uint16_t> across_[2];
  std::vector<std::uint8_t> finished_;
};

}  // namespace orvanel::platform::photo
