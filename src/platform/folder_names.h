#pragma once
// Folder paths as text, written with either separator as the desktops write
// them: a folder's own name, and a path without the separators after it.
#include <string>

namespace orvanel::platform {

bool IsPathSeparator(char c);

// The path without separators at its end; a lone separator (the root) stays.
std::string WithoutTrailingSeparators(std::string path);

// The last name of a folder's path ("Summer" for "D:\Photos\Summer\"), or
// the whole path when it has no separator before a name.
std::string FolderName(const std::string& folder);

}  // namespace orvanel::platform
