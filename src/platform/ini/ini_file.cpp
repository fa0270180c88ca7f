#include "platform/ini/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ini/text_encoding.h"

namespace orvanel::platform::ini {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The section a line opens: the text between its '[' and its last ']'.
// A '[' without a ']' opens nothing: the line is a key like any other.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// A key and its value, the value empty on a line without '='; lines
// starting with ';' are comments. Only for lines that open no section.
std::optional<KeyLine> KeyOf(std::string_view line) {
  const auto trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const auto equals = trimmed.find('=');
  if (equals == std::string_view::npos) return KeyLine{trimmed, {}};
  return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::optional<TextFile> ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // Read through the stream, which reports a failed read (a folder, say)
  // in its state rather than by an exception.
  std::string bytes;
  char piece[16384];
  while (in.read(piece, sizeof piece) || in.gcount() > 0) bytes.append(piece, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return DecodeText(bytes);
}

std::string Unquote(std::string_view value) {
  // Values are C strings to the desktop's functions: a NUL ends one.
  value = value.substr(0, value.find('\0'));
  if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'')) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

// Where a key is, or would go, in the first section of a name: the
// desktop's functions see no other section of that name.
struct Place {
  std::optional<std::size_t> section;  // the header line
  std::optional<std::size_t> key;      // the key's line
  std::size_t insertAt = 0;            // after the section's last key or value line
};

Place Find(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  Place place;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = SectionOf(lines[i])) {
      if (place.section) break;
      if (SameName(*name, Trim(section))) {
        place.section = i;
        place.insertAt = i + 1;
      }
      continue;
    }
    if (!place.section) continue;
    const auto entry = KeyOf(lines[i]);
    if (!entry) continue;
    if (SameName(entry->key, Trim(key))) {
      place.key = i;
      return place;
    }
    place.insertAt = i + 1;
  }
  return place;
}

}  // namespace

std::string ReadValue(const std::filesystem::path& file, std::string_view section,
                      std::string_view key) {
  const auto text = ReadFile(file);
  if (!text) return {};
  const Place place = Find(text->lines, section, key);
  if (!place.key) return {};
  return Unquote(KeyOf(text->lines[*place.key])->value);
}

bool WriteValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                std::string_view value) {
  std::error_code error;
  if (!std::filesystem::is_directory(file.parent_path().empty() ? "." : file.parent_path(),
                                     error)) {
    return false;
  }
  TextFile text;
  if (std::filesystem::exists(file, error)) {
    auto read = ReadFile(file);
    if (!read) return false;
    text = std::move(*read);
  }
  auto& lines = text.lines;
  const Place place = Find(lines, section, key);
  if (place.key) {
    // The key keeps the name it has in the file.
    lines[*place.key] = std::string(KeyOf(lines[*place.key])->key) + "=" + std::string(value);
  } else {
    const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
    if (place.section) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.insertAt), entry);
    } else {
      // Built step by step: GCC 12 at -O2 warns falsely about "[" + text.
      std::string header = "[";
      header += Trim(section);
      header += ']';
      lines.push_back(std::move(header));
      lines.push_back(entry);
    }
  }

  auto temporary = file;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << EncodeText(text);
    out.flush();
    if (!out) {
      out.close();
      std::filesystem::remove(temporary, error);
      return false;
    }
  }
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace orvanel::platform::ini
