#pragma once
// Photo files made at test time by the encoders users' files come from:
// cwebp, img2webp and webpmux, heif-enc, avifenc and ImageMagick. Each runs
// in a folder of its own, from files the test writes, and what it wrote is
// read back.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvanel::testing {

class EncoderFolder {
 public:
  EncoderFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvanel-encoded-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  }
  ~EncoderFolder() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  EncoderFolder(const EncoderFolder&) = delete;
  EncoderFolder& operator=(const EncoderFolder&) = delete;

  const std::filesystem::path& Path() const { return folder_; }

  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  // The command's file `out`, made in this folder; nothing when the command
  // failed or made none. Its messages go to the test's log.
  std::optional<std::vector<std::uint8_t>> Run(const std::string& command) const {
    const std::string line = "cd '" + folder_.string() + "' && rm -f out && (" + command + ") >/dev/null 2>&1";
    if (std::system(line.c_str()) != 0) return std::nullopt;
    std::ifstream file(folder_ / "out", std::ios::binary);
    if (!file) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
  }

 private:
  std::filesystem::path folder_;
};

// The command's `out` made from `input` written as `name`.
inline std::optional<std::vector<std::uint8_t>> Encode(const std::string& name, const std::vector<std::uint8_t>& input,
                                                       const std::string& command) {
  EncoderFolder folder;
  folder.Write(name, input);
  return folder.Run(command);
}

}  // namespace orvanel::testing
