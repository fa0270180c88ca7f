#pragma once
// Where the native desktop keeps things, known without a display: the
// program's usage text names its settings file before it opens one.
#include <string>

namespace orvanel::platform::gtk {

// A special folder as Desktop::SpecialFolder gives it: the user's
// configuration folder ($XDG_CONFIG_HOME when absolute, else ~/.config) for
// local application data, /etc/xdg for common; empty for any other.
std::string SpecialFolderPath(int folder);

// A path the core writes as the Windows desktop does, with this system's separators.
std::string NativePath(const std::string& path);

}  // namespace orvanel::platform::gtk
