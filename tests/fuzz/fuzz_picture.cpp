// Any bytes as a picture resource, shown in a few areas: a fitted picture or
// "JPEG error #N", nothing else; nothing left behind.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/forms/error.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/picture_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvanel::platform::sim::SimDesktop desktop;
  static orvanel::platform::sim::SimProcess process(desktop, "orvanel.scr");
  process.AddResource("PIC3", "JPEG", std::vector<std::uint8_t>(data, data + size));
  for (const auto& [width, height] : {std::pair{152, 112}, std::pair{1024, 768}}) {
    try {
      const auto picture = orvanel::slideshow::LoadPicture(process, 3);
      const auto fitted = orvanel::slideshow::FitPicture(process, picture, width, height);
      if (fitted.width > width || fitted.height > height) __builtin_trap();
    } catch (const orvanel::forms::SaverError& error) {
      if (std::strncmp(error.what(), "JPEG error #", 12) != 0) __builtin_trap();
    }
  }
  if (desktop.liveBitmaps != 0 || desktop.openContexts != 0) __builtin_trap();
  return 0;
}
