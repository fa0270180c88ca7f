#pragma once
// The text of an INI file as the desktop's profile functions take it: the
// encoding its byte-order mark names (UTF-16 of either order, UTF-8) or,
// without one, bytes as they are; lines ended by CR LF, CR alone or LF alone.
#include <string>
#include <string_view>
#include <vector>

namespace orvanel::platform::ini {

enum class Encoding { kBytes, kUtf8Marked, kUtf16Le, kUtf16Be };

struct TextFile {
  Encoding encoding = Encoding::kBytes;
  std::vector<std::string> lines;  // UTF-8 where the file is Unicode, without line ends
};

TextFile DecodeText(std::string_view bytes);

// The file again, in its own encoding with its mark, every line ended by CR LF.
std::string EncodeText(const TextFile& text);

}  // namespace orvanel::platform::ini
