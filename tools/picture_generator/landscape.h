#pragma once
// The collection's pictures, painted from their number: a kind of scene, a
// time of day and a seed, the same picture on every run.
#include <cstdint>
#include <vector>

#include "paint.h"
#include "scenes.h"

namespace orvanel::tools {

Canvas PaintPicture(int number, int width, int height);

// 8-bit RGB rows, top row first. A little grain, as film has, also dithers
// slow gradients, so that skies and water show no bands.
std::vector<std::uint8_t> ToRgb8(const Canvas& canvas, std::uint32_t seed);

}  // namespace orvanel::tools
