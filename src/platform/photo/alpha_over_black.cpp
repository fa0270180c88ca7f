#include "platform/photo/alpha_over_black.h"

namespace orvanel::platform::photo {

void ComposeOverBlack(const std::uint8_t* rgba, std::size_t count, std::uint8_t* rgb) {
  for (std::size_t i = 0; i < count; ++i, rgba += 4, rgb += 3) {
    const unsigned red = rgba[0], green = rgba[1], blue = rgba[2], alpha = rgba[3];
    rgb[0] = static_cast<std::uint8_t>((red * alpha + 127) / 255);
    rgb[1] = static_cast<std::uint8_t>((green * alpha + 127) / 255);
    rgb[2] = static_cast<std::uint8_t>((blue * alpha + 127) / 255);
  }
}

}  // namespace orvanel::platform::photo
