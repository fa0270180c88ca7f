#pragma once
// The native program's command line. The screen-saver host of Windows starts
// the saver with /s, /p <window> or /c:<window>; XScreenSaver starts a hack
// with -root or -window-id <id>, or names the window in $XSCREENSAVER_WINDOW.
// Both come down to the command line the core reads and, for the second kind,
// the window the saver fills instead of the monitors.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/screen_host.h"

namespace orvanel::shell {

struct HackArguments {
  std::string commandLine;  // the Windows form the core parses, module name first
  platform::ScreenHost host = platform::ScreenHost::kMonitors;
  std::uint32_t window = 0;  // the foreign window; 0 for the root window
};

// `environmentWindow` is $XSCREENSAVER_WINDOW when set. A window id is decimal
// or 0x-prefixed hexadecimal; in the environment one that is not a number is
// ignored, after -window-id it leaves no mode. Options of the host's other
// than these are dropped.
HackArguments ParseHackArguments(const std::vector<std::string>& arguments,
                                 const std::optional<std::string>& environmentWindow);

// A window id as XScreenSaver writes one, or none.
std::optional<std::uint32_t> ParseWindowId(const std::string& text);

}  // namespace orvanel::shell
