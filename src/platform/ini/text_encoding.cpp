#include "platform/ini/text_encoding.h"

#include <cstdint>

namespace orvanel::platform::ini {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  const auto unitAt = [&](std::size_t i) {
    const auto first = static_cast<std::uint8_t>(bytes[i]);
    const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  };
  // A last odd byte is a character of its own, its other byte zero.
  std::string padded;
  if (bytes.size() % 2 != 0) {
    padded.assign(bytes);
    padded.insert(bigEndian ? padded.size() - 1 : padded.size(), 1, '\0');
    bytes = padded;
  }
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = unitAt(i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const char16_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
  }
  return out;
}

// The next character of UTF-8 text; a byte that starts no valid sequence
// stands for itself as U+FFFD.
char32_t NextUtf8(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(text[at]); };
  const std::uint8_t lead = byte(i);
  const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return kReplacement;
  }
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  i += static_cast<std::size_t>(length);
  return c;
}

void AppendUtf16(std::string& out, std::string_view utf8, bool bigEndian) {
  const auto put = [&](char16_t unit) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextUtf8(utf8, i);
    if (c >= 0x10000) {
      put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      put(static_cast<char16_t>(c));
    }
  }
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace

TextFile DecodeText(std::string_view bytes) {
  TextFile file;
  if (bytes.starts_with("\xFF\xFE")) {
    file.encoding = Encoding::kUtf16Le;
    file.lines = SplitLines(Utf16ToUtf8(bytes.substr(2), false));
  } else if (bytes.starts_with("\xFE\xFF")) {
    file.encoding = Encoding::kUtf16Be;
    file.lines = SplitLines(Utf16ToUtf8(bytes.substr(2), true));
  } else if (bytes.starts_with(kUtf8Mark)) {
    file.encoding = Encoding::kUtf8Marked;
    file.lines = SplitLines(bytes.substr(kUtf8Mark.size()));
  } else {
    file.lines = SplitLines(bytes);
  }
  return file;
}

std::string EncodeText(const TextFile& text) {
  std::string out;
  const bool utf16 = text.encoding == Encoding::kUtf16Le || text.encoding == Encoding::kUtf16Be;
  const bool bigEndian = text.encoding == Encoding::kUtf16Be;
  if (utf16) AppendUtf16(out, "\xEF\xBB\xBF", bigEndian);
  if (text.encoding == Encoding::kUtf8Marked) out += kUtf8Mark;
  for (const auto& line : text.lines) {
    if (utf16) {
      AppendUtf16(out, line, bigEndian);
      AppendUtf16(out, "\r\n", bigEndian);
    } else {
      out += line;
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace orvanel::platform::ini
