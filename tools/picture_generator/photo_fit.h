#pragma once
#include "jpeg_files.h"

namespace orvanel::tools {

// Crops a photograph to fill the 4:3 frame (from its centre) and resamples
// it to width x height, filtering over the whole footprint of each target
// pixel when shrinking so that nothing aliases.
RgbImage CropAndScale(const RgbImage& photo, int width, int height);

}  // namespace orvanel::tools
