#pragma once
// What a photo's numbers mean: the colours its file's profile describes
// (Adobe RGB, Display P3, ...). A photo without one is sRGB.
#include <cstdint>
#include <vector>

namespace orvanel::platform::photo {

struct ColourDescription {
  std::vector<std::uint8_t> iccProfile;  // as the file holds it; empty for none
};

}  // namespace orvanel::platform::photo
