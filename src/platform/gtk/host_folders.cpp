#include "platform/gtk/host_folders.h"

#include <cstdlib>

#include "platform/desktop.h"

namespace orvanel::platform::gtk {

std::string SpecialFolderPath(int folder) {
  if (folder == kFolderCommonAppData) return "/etc/xdg";
  if (folder != kFolderLocalAppData) return {};
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
    return config;
  }
  const char* home = std::getenv("HOME");
  return home != nullptr && *home != '\0' ? std::string(home) + "/.config" : std::string();
}

std::string NativePath(const std::string& path) {
  std::string native = path;
  for (auto& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace orvanel::platform::gtk
