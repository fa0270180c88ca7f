#pragma once
// Halves a photo each way as its rows arrive, each 2 x 2 pixels averaged
// into one, as many times as it stays at least the size it is reduced to,
// and hands the rows on: what the DCT scaling does for a JPEG, done for the
// formats decoded whole at their stored size, so that the area reduction
// after it reads a few times fewer pixels. An odd last row or column is
// averaged with itself.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

class HalvingSink : public RowSink {
 public:
  // `output` takes the rows once halved; the photo is never halved below
  // needWidth x needHeight.
  HalvingSink(std::int32_t needWidth, std::int32_t needHeight, RowSink& output)
      : needWidth_(needWidth), needHeight_(needHeight), output_(output) {}

  bool Begin(std::int32_t width, std::int32_t height) override;
  void Row(const std::uint8_t* rgb) override;

  // How many times a width x height photo is halved for the size needed.
  static int HalvingsFor(std::int32_t width, std::int32_t height, std::int32_t needWidth, std::int32_t needHeight);

 private:
  // One halving: a row held until its pair comes.
  class Half : public RowSink {
   public:
    explicit Half(RowSink& output) : output_(output) {}
    bool Begin(std::int32_t width, std::int32_t height) override;
    void Row(const std::uint8_t* rgb) override;

   private:
    RowSink& output_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t row_ = 0;
    std::vector<std::uint8_t> held_;
    std::vector<std::uint8_t> halved_;
  };

  std::int32_t needWidth_;
  std::int32_t needHeight_;
  RowSink& output_;
  std::vector<std::unique_ptr<Half>> halves_;  // the first takes the rows
};

}  // namespace orvanel::platform::photo
