#pragma once
// The screen-saver command line.
//
//   (no argument)        None: the application quits at once, nothing shown
//   /s  /S               Active: full screen on every monitor, up to four
//   /p <hwnd>  /l <hwnd> Preview: drawn into the host's window <hwnd>
//   /c:<hwnd>            Config: the settings dialog; the digits must be in the
//                        first argument (/c alone or /c <hwnd> gives None)
//   /a  /A               Password: nothing to do; the windows stay transparent
//
// Letters are looked for anywhere in the first argument, case-sensitive, in
// the order c C S s P p L l a A; a later hit overrides an earlier one, so
// Password beats Preview, Preview beats Active, Active beats Config. A window
// handle is every digit of its argument in order (12ab34 is 1234); digits that
// name no window, or do not fit a signed 32-bit number, give None.
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "instance/saver.h"

namespace orvanel::shell {

using instance::Saver;

// The words of a command line, the module's own name first. A word ends at a
// character of code 32 or less; double quotes open and close stretches in
// which such characters do not end it and are dropped; a pair of quotes
// standing alone is no word.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The window named by the digits of `text`, or instance::kNoUsableWindow.
platform::WindowHandle HandleFromArg(platform::Desktop& desktop, std::string_view text);

// Sets the saver's mode and preview parent from the process command line;
// false exactly when the mode has become None.
bool ParseCommandLine(Saver& saver);

}  // namespace orvanel::shell
