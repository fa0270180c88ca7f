// Any bytes as a file of the user's photos folder, fitted to a few areas:
// nothing, or a picture inside the area that keeps the photo's shape; no
// crash, no read out of bounds, nothing left behind. The first byte picks a
// format's signature to put in front, so that the decoders' paths are
// reached and not only the check of the first bytes; the last choice puts
// none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "platform/photo/exif_orientation.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/photo_fit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvanel::platform::sim::SimDesktop desktop;
  static orvanel::platform::sim::SimProcess process(desktop, "orvanel.scr");
  if (size == 0) return 0;
  // Each format's signature, or none: then the input is a whole file, as
  // the seeds the encoders made are.
  static const std::vector<std::uint8_t> kSignatures[] = {
      {0xFF, 0xD8, 0xFF},
      {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A},
      {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P'},
      {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'},
      {0, 0, 0, 20, 'f', 't', 'y', 'p', 'a', 'v', 'i', 'f', 0, 0, 0, 0, 'm', 'i', 'f', '1'},
      {'I', 'I', 42, 0},
      {'M', 'M', 0, 42},
      {'G', 'I', 'F', '8', '9', 'a'},
      {'B', 'M'},
      {},
  };
  std::vector<std::uint8_t> bytes = kSignatures[data[0] % std::size(kSignatures)];
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
