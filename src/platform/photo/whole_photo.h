#pragma once
// What the decoders of formats without reduced decoding share: the file
// read whole, and the photo decoded whole handed on row by row.
#include <cstddef>
#include <cstdint>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

// A file larger than this is not read whole: no photo a screen shows needs more.
inline constexpr std::size_t kMaxWholeFileBytes = std::size_t{256} << 20;

// Pixels a library decoded: rows `stride` bytes apart, each pixel RGB, or
// RGBA with straight alpha, or premultiplied: its colours already over black.
struct DecodedPixels {
  const std::uint8_t* first = nullptr;
  std::size_t stride = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool alpha = false;
  bool premultiplied = false;
};

// The rows into the sink, their transparency composed over black. False
// when the sink refuses the size.
bool WriteDecodedRows(const DecodedPixels& pixels, RowSink& sink);

}  // namespace orvanel::platform::photo
