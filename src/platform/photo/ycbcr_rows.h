#pragma once
// Rows of a photo stored as luma and two chroma planes, as the HEIF family's
// codecs give them, turned to RGB one row at a time: the photo is never held
// as RGB whole beside its planes.
#include <array>
#include <cstdint>

namespace orvanel::platform::photo {

class YCbCrToRgb {
 public:
  // The matrix by its number in ITU-T H.273 (0 the identity, the planes then
  // holding green, blue and red); full range, or luma in 16..235 and chroma
  // in 16..240.
  YCbCrToRgb(int matrixCoefficients, bool fullRange);

  // The matrices known here: the identity, BT.709, BT.601 and its kin,
  // SMPTE 240M and BT.2020 (its non-constant luminance, the linear one); an
  // unspecified one is taken for BT.601.
  static bool Knows(int matrixCoefficients);

  // One row of `width` pixels; chroma at half the width when halvedAcross.
  // A row without chroma (a grey photo) passes `cb` and `cr` as null.
  void Row(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::int32_t width,
           bool halvedAcross, std::uint8_t* rgb) const;

 private:
  // Each channel's share of each plane, in 1/65536ths, by the plane's value.
  std::array<std::int32_t, 256> luma_{};
  std::array<std::int32_t, 256> redFromCr_{};
  std::array<std::int32_t, 256> greenFromCr_{};
  std::array<std::int32_t, 256> greenFromCb_{};
  std::array<std::int32_t, 256> blueFromCb_{};
  bool identity_ = false;
};

}  // namespace orvanel::platform::photo
