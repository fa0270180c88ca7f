#pragma once
#include <cstdint>
#include <vector>

#include "jpeg_files.h"

namespace orvanel::tools {

// An icon file holding one image at 24 bits a pixel, fully opaque.
std::vector<std::uint8_t> EncodeIcon(const RgbImage& image);

}  // namespace orvanel::tools
