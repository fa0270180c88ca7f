#pragma once

namespace orvanel::platform {

// Where the saver's full-screen windows show.
enum class ScreenHost {
  kMonitors,       // every monitor of the desktop, as on Windows
  kForeignWindow,  // all of a window another program made for the saver (or the root window)
  kOwnWindow,      // a plain window of the saver's own, to try it out
};

}  // namespace orvanel::platform
