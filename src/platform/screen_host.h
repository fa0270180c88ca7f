#pragma once
#include <cstdint>
#include <string>

namespace orvanel::platform {

// Where the saver's full-screen windows show.
enum class ScreenHost {
  kMonitors,       // every monitor of the desktop, as on Windows
  kForeignWindow,  // all of a window another program made for the saver (or the root window)
  kOwnWindow,      // a plain window of the saver's own, to try it out
};

// The window of ScreenHost::kOwnWindow, which the desktop makes to show the
// saver in.
struct OwnWindowDesign {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::string title;
};

}  // namespace orvanel::platform
