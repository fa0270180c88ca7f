#pragma once
// The native program's command line.
//
//   /s  /p <window>  /c:<window>    the Windows forms, X window ids in decimal
//   -root                           XScreenSaver: fill the root window
//   -window-id <id>                 XScreenSaver: fill that window (decimal or 0x hex);
//                                   $XSCREENSAVER_WINDOW names it too, and wins over -root
//   -window                         a window of the saver's own, to try it out
//   -settings                       the settings dialog as an ordinary window
//   -speed <seconds>                seconds per picture, for this run only (1 to kMaxSpeedOption)
//   -random  -no-random             random order or in order, for this run only
//   -blend   -no-blend              each change dissolves or cuts, for this run only
//   -folder <folder>                the photos of a folder, for this run only
//   -caption none|date|folder       the photos' caption, for this run only
//   -fill    -no-fill               photos fill the screen or are fitted, for this run only
//   -help                           the usage on standard output
//   -fps  -install  -visual <v>     XScreenSaver's common hack options: accepted, ignored
//
// Every option may be written with one dash or two. An unknown option is a
// usage error (the usage on standard error, exit code 2). Only words that are
// not options reach the Windows forms' letter rules, so an option's letters
// never pick a mode. A host's window runs the slideshow and nothing else.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "instance/saver.h"
#include "platform/screen_host.h"
#include "settings/settings_file.h"

namespace orvanel::shell {

struct HackArguments {
  std::string commandLine;  // the Windows form the core parses, module name first
  platform::ScreenHost host = platform::ScreenHost::kMonitors;
  std::uint32_t window = 0;  // the foreign window; 0 for the root window
  platform::OwnWindowDesign ownWindow;  // for ScreenHost::kOwnWindow
  // The command names another program's X window to show in: -root,
  // -window-id, $XSCREENSAVER_WINDOW, or the Windows forms' /p and /c:.
  bool namesXWindow = false;
  instance::SettingsOverride overrides;
  // What the program does instead of running the saver.
  enum class Outcome { kRun, kHelp, kUsageError } outcome = Outcome::kRun;
  std::string error;  // what was wrong, for a usage error
};

// `environmentWindow` is $XSCREENSAVER_WINDOW when set; `rootWindow` the
// display's root window, the host the settings dialog names. A window id
// that is not a number is ignored in the environment; after -window-id it
// leaves no mode, so the saver ends at once.
HackArguments ParseHackArguments(const std::vector<std::string>& arguments,
                                 const std::optional<std::string>& environmentWindow,
                                 std::uint32_t rootWindow = 0);

// The usage text, for -help and after a usage error; its last line names the
// settings file the program reads.
std::string HackUsage(const std::string& program, const std::string& settingsFile);

// The longest Speed -speed takes: the timer's longest interval in whole seconds.
inline constexpr std::int32_t kMaxSpeedOption = static_cast<std::int32_t>(settings::kMaxTimerInterval / 1000);

// A window id as XScreenSaver writes one, or none.
std::optional<std::uint32_t> ParseWindowId(const std::string& text);

}  // namespace orvanel::shell
