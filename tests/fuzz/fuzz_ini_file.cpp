// Any bytes as a settings file, then a save of the three settings: they read
// back as saved, and every other line of the file is still there.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ini/ini_file.h"
#include "platform/ini/text_encoding.h"

namespace {

// Lines as the INI code itself splits and decodes them.
std::vector<std::string> Lines(const std::string& bytes) { return orvanel::platform::ini::DecodeText(bytes).lines; }

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace ini = orvanel::platform::ini;
  static const auto folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("orvanel-fuzz-ini-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const auto file = folder / "orvanel.ini";
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << original;

  const std::pair<const char*, const char*> saved[] = {{"Speed", "1000"}, {"Random", "0"}, {"Blend", "1"}};
  for (const auto& [key, value] : saved) {
    if (!ini::WriteValue(file, "Config", key, value)) __builtin_trap();
  }
  for (const auto& [key, value] : saved) {
    if (ini::ReadValue(file, "Config", key) != value) __builtin_trap();
  }
  // Every line of the original is kept, but a line the save replaced.
  const auto after = Lines(Read(file));
  for (const auto& line : Lines(original)) {
    if (std::find(after.begin(), after.end(), line) != after.end()) continue;
    // A line without '=' is a key without a value.
    std::string key = line.substr(0, line.find('='));
    key.erase(0, key.find_first_not_of(" \t\r\n\v\f"));
    key.erase(key.find_last_not_of(" \t\r\n\v\f") + 1);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    if (key != "speed" && key != "random" && key != "blend") __builtin_trap();
  }
  return 0;
}
