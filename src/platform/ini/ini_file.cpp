#include "platform/ini/ini_file.h"

#include <algorithm>
#include <utility>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

namespace orvanel::platform::ini {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The section a line opens, if it is a section header.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
  const auto trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

bool ReadLines(const std::filesystem::path& file, std::vector<std::string>& lines) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

std::string Unquote(std::string_view value) {
  // Values are C strings to the desktop's functions: a NUL ends one.
  value = value.substr(0, value.find('\0'));
  if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                            (value.front() == '\'' && value.back() == '\''))) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

}  // namespace

std::string ReadValue(const std::filesystem::path& file, std::string_view section,
                      std::string_view key) {
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return {};
  bool inSection = false;
  for (const auto& line : lines) {
    if (const auto name = SectionOf(line)) {
      inSection = SameName(*name, Trim(section));
      continue;
    }
    if (!inSection) continue;
    if (const auto entry = KeyOf(line); entry && SameName(entry->key, Trim(key))) {
      return Unquote(entry->value);
    }
  }
  return {};
}

bool WriteValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                std::string_view value) {
  std::error_code error;
  if (!std::filesystem::is_directory(file.parent_path().empty() ? "." : file.parent_path(),
                                     error)) {
    return false;
  }
  std::vector<std::string> lines;
  if (std::filesystem::exists(file, error) && !ReadLines(file, lines)) return false;

  const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  std::optional<std::size_t> sectionStart;
  std::optional<std::size_t> insertAt;  // after the section's last non-blank line
  bool written = false;
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (const auto name = SectionOf(lines[i])) {
      if (sectionStart) break;
      if (SameName(*name, Trim(section))) {
        sectionStart = i;
        insertAt = i + 1;
      }
      continue;
    }
    if (!sectionStart) continue;
    if (const auto found = KeyOf(lines[i]); found && SameName(found->key, Trim(key))) {
      lines[i] = entry;
      written = true;
    } else if (!Trim(lines[i]).empty()) {
      insertAt = i + 1;
    }
  }
  if (!written) {
    if (sectionStart) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), entry);
    } else {
      // Built step by step: GCC 12 at -O2 warns falsely about "[" + text.
      std::string header = "[";
      header += Trim(section);
      header += ']';
      lines.push_back(std::move(header));
      lines.push_back(entry);
    }
  }

  std::ostringstream text;
  for (const auto& line : lines) text << line << "\r\n";
  auto temporary = file;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text.str();
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
