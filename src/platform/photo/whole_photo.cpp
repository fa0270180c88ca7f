#include "platform/photo/whole_photo.h"

#include <algorithm>
#include <vector>

#include "platform/photo/alpha_over_black.h"

namespace orvanel::platform::photo {

bool WriteDecodedRows(const DecodedPixels& pixels, RowSink& sink) {
  if (!sink.Begin(pixels.width, pixels.height)) return false;
  const auto width = static_cast<std::size_t>(pixels.width);
  std::vector<std::uint8_t> composed(pixels.alpha ? width * 3 : 0);
  const std::uint8_t* row = pixels.first;
  for (std::int32_t y = 0; y < pixels.height; ++y, row += pixels.stride) {
    if (pixels.alpha && pixels.premultiplied) {
      for (std::size_t x = 0; x < width; ++x) std::copy_n(row + 4 * x, 3, composed.data() + 3 * x);
      sink.Row(composed.data());
    } else if (pixels.alpha) {
      ComposeOverBlack(row, width, composed.data());
      sink.Row(composed.data());
    } else {
      sink.Row(row);
    }
  }
  return true;
}

}  // namespace orvanel::platform::photo
