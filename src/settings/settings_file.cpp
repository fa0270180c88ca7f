#include "settings/settings_file.h"

#include <cctype>
#include <utility>
#include <vector>

#include "platform/forms/error.h"

namespace orvanel::settings {
namespace {

constexpr const char* kSection = "Config";
constexpr const char* kFolderName = "\\vorlanthix";

bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::int32_t ReadInteger(platform::Desktop& desktop, const std::string& path, const char* key,
                         std::int32_t fallback) {
  return ParseInteger(desktop.ReadIniString(path, kSection, key)).value_or(fallback);
}

bool ReadBoolean(platform::Desktop& desktop, const std::string& path, const char* key,
                 bool fallback) {
  return ReadInteger(desktop, path, key, fallback ? 1 : 0) != 0;
}

std::string SettingsFolderFrom(const SpecialFolderLookup& specialFolder) {
  std::string base = specialFolder(platform::kFolderLocalAppData);
  if (base.empty()) base = specialFolder(platform::kFolderCommonAppData);
  return base + kFolderName;
}

SpecialFolderLookup FoldersOf(platform::Desktop& desktop) {
  return [&desktop](int folder) { return GetSpecialFolder(desktop, folder); };
}

}  // namespace

std::string GetSpecialFolder(platform::Desktop& desktop, int folder) {
  return desktop.SpecialFolder(folder);
}

std::string SettingsFolder(platform::Desktop& desktop) {
  return SettingsFolderFrom(FoldersOf(desktop));
}

std::string SettingsFileName(const std::string& moduleFileName) {
  std::size_t start = moduleFileName.size();
  while (start > 0 && !IsPathDelimiter(moduleFileName[start - 1])) --start;
  std::string name = moduleFileName.substr(start);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name + ".ini";
}

std::string SettingsPath(platform::Desktop& desktop) {
  return SettingsPathFrom(FoldersOf(desktop), desktop.ModuleFileName());
}

std::string SettingsPathFrom(const SpecialFolderLookup& specialFolder, const std::string& moduleFileName) {
  return SettingsFolderFrom(specialFolder) + "\\" + SettingsFileName(moduleFileName);
}

bool ForceFolders(platform::Desktop& desktop, const std::string& folder) {
  std::string path = folder;
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  // A bare drive or the root of the current drive always exists.
  if (path.empty() || (path.size() == 2 && path[1] == ':')) return true;
  if (desktop.FolderExists(path)) return true;
  const auto parentEnd = path.find_last_of("\\/");
  if (parentEnd != std::string::npos && !ForceFolders(desktop, path.substr(0, parentEnd))) {
    return false;
  }
  return desktop.CreateFolder(path);
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::string prepared(text);
  if (prepared.size() > 2 && prepared[0] == '0' && (prepared[1] == 'x' || prepared[1] == 'X')) {
    prepared.replace(0, 2, "$");
  }
  std::string_view s = prepared;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool hex = false;
  if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X')) {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;

  if (hex) {
    if (s.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : s) {
      const int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    // Eight hexadecimal digits are the value's 32 bits, sign bit included.
    return static_cast<std::int32_t>(negative ? 0u - value : value);
  }
  std::int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

Settings LoadSettings(platform::Desktop& desktop) {
  const std::string folder = SettingsFolder(desktop);
  ForceFolders(desktop, folder);
  const std::string path = SettingsPath(desktop);
  Settings settings;
  settings.speed = ReadInteger(desktop, path, "Speed", 8);
  settings.random = ReadBoolean(desktop, path, "Random", true);
  settings.blend = ReadBoolean(desktop, path, "Blend", true);
  settings.folder = desktop.ReadIniString(path, kSection, "Folder");
  // A number outside the choices, as one written by a later version might
  // be, shows the photos as designed.
  const auto caption = ReadInteger(desktop, path, "Caption", 0);
  if (caption >= 0 && caption <= static_cast<std::int32_t>(instance::CaptionKind::kDateAndFolder)) {
    settings.caption = static_cast<instance::CaptionKind>(caption);
  }
  if (ReadInteger(desktop, path, "Fill", 0) == 1) settings.fit = instance::FitMode::kFill;
  return settings;
}

void SaveSettings(platform::Desktop& desktop, const Settings& settings) {
  const std::string path = SettingsPath(desktop);
  ForceFolders(desktop, SettingsFolder(desktop));
  std::vector<std::pair<const char*, std::string>> values = {
      {"Speed", std::to_string(settings.speed)},
      {"Random", settings.random ? "1" : "0"},
      {"Blend", settings.blend ? "1" : "0"},
  };
  // A file that never had a folder, a caption or fill keeps the three
  // keys alone.
  const auto setOrStored = [&](const char* key, bool set) {
    return set || !desktop.ReadIniString(path, kSection, key).empty();
  };
  if (setOrStored("Folder", !settings.folder.empty())) values.emplace_back("Folder", settings.folder);
  if (setOrStored("Caption", settings.caption != instance::CaptionKind::kNone)) {
    values.emplace_back("Caption", std::to_string(static_cast<std::int32_t>(settings.caption)));
  }
  if (setOrStored("Fill", settings.fit != instance::FitMode::kFit)) {
    values.emplace_back("Fill", settings.fit == instance::FitMode::kFill ? "1" : "0");
  }
  for (const auto& [key, value] : values) {
    if (!desktop.WriteIniString(path, kSection, key, value)) {
      throw forms::SaverError(forms::FormatMessage("Unable to write to %s", path));
    }
  }
}

std::uint32_t SlideshowInterval(std::int32_t speedSeconds) {
  // Below one second: no ticks, rather than an interval that wraps to weeks.
  if (speedSeconds < 1) return 0;
  // Beyond the timer's range: its longest interval, rather than a wrapped one.
  const std::int64_t milliseconds = std::int64_t{speedSeconds} * 1000;
  if (milliseconds > kMaxTimerInterval) return kMaxTimerInterval;
  return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace orvanel::settings
