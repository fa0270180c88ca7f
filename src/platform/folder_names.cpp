#include "platform/folder_names.h"

namespace orvanel::platform {

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsPathSeparator(path.back())) path.pop_back();
  return path;
}

std::string FolderName(const std::string& folder) {
  const std::string path = WithoutTrailingSeparators(folder);
  const auto slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash + 1 == path.size()) return path;
  return path.substr(slash + 1);
}

}  // namespace orvanel::platform
