// Any bytes as a file of the user's photos folder, fitted to a few areas:
// nothing, or a picture inside the area that keeps the photo's shape; no
// crash, no read out of bounds, nothing left behind. The first byte picks a
// format's signature to put in front, so that the decoders' paths are
// reached and not only the check of the first bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/photo/exif_orientation.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/photo_fit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvanel::platform::sim::SimDesktop desktop;
  static orvanel::platform::sim::SimProcess process(desktop, "orvanel.scr");
  if (size == 0) return 0;
  std::vector<std::uint8_t> bytes;
  switch (data[0] % 3) {
    case 0:
      bytes = {0xFF, 0xD8, 0xFF};
      break;
    case 1:
      bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
      break;
    default:
      break;
  }
  bytes.insert(bytes.end(), data + 1, data + size);
  const int orientation = orvanel::platform::photo::ExifOrientation(bytes);
  if (orientation < 1 || orientation > 8) __builtin_trap();
  for (const auto& [width, height] : {std::pair{152, 112}, std::pair{640, 480}}) {
    const auto fitted = orvanel::slideshow::FitPhoto(process, orvanel::platform::photo::MemorySource(bytes), width, height);
    if (fitted && (fitted->width > width || fitted->height > height)) __builtin_trap();
  }
  if (desktop.liveBitmaps != 0 || desktop.openContexts != 0) __builtin_trap();
  return 0;
}
