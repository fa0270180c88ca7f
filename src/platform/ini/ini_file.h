#pragma once
// The saver's own reading and writing of INI files, for desktops without
// private-profile functions. It behaves as those functions do for what the
// saver stores: section and key names match regardless of case, blanks
// around names and values are trimmed, anything missing reads as empty text,
// and a write replaces the key in place or appends it, leaving every other
// line of the file as it was.
#include <filesystem>
#include <string>
#include <string_view>

namespace orvanel::platform::ini {

// The longest value a read returns, as the saver reads into 2048 characters.
inline constexpr std::size_t kMaxValueLength = 2047;

std::string ReadValue(const std::filesystem::path& file, std::string_view section,
                      std::string_view key);

// Writes a new file beside the old one and renames it over it, so that a
// failed write never leaves half a file. The folder must exist.
bool WriteValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                std::string_view value);

}  // namespace orvanel::platform::ini
