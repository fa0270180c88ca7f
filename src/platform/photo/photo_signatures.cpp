#include "platform/photo/photo_signatures.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/photo/byte_source.h"

namespace orvanel::platform::photo {
namespace {

// Whether the file-type box at the start names one of `brands`.
template <std::size_t kCount>
bool NamesBrand(std::span<const std::uint8_t> start, const std::array<std::string_view, kCount>& brands) {
  if (start.size() < 16 || std::memcmp(start.data() + 4, "ftyp", 4) != 0) return false;
  const std::size_t size = BigEndian32(start.data());
  if (size < 16 || size % 4 != 0) return false;
  const std::size_t end = std::min(size, start.size());
  for (std::size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {  // the version follows the major brand
    const std::string_view brand(reinterpret_cast<const char*>(start.data() + at), 4);
    if (std::find(brands.begin(), brands.end(), brand) != brands.end()) return true;
  }
  return false;
}

}  // namespace

bool HasHeifSignature(std::span<const std::uint8_t> start) {
  static constexpr std::array<std::string_view, 8> kBrands{"heic", "heix", "heim", "heis",
                                                           "hevc", "hevx", "mif1", "msf1"};
  return NamesBrand(start, kBrands);
}

bool HasAvifSignature(std::span<const std::uint8_t> start) {
  static constexpr std::array<std::string_view, 2> kBrands{"avif", "avis"};
  return NamesBrand(start, kBrands);
}

bool HasTiffSignature(std::span<const std::uint8_t> start) {
  if (start.size() < 4) return false;
  if (start[0] == 'I' && start[1] == 'I') return (start[2] == 42 || start[2] == 43) && start[3] == 0;
  if (start[0] == 'M' && start[1] == 'M') return start[2] == 0 && (start[3] == 42 || start[3] == 43);
  return false;
}

bool HasGifSignature(std::span<const std::uint8_t> start) {
  return start.size() >= 6 &&
         (std::memcmp(start.data(), "GIF87a", 6) == 0 || std::memcmp(start.data(), "GIF89a", 6) == 0);
}

bool HasBmpSignature(std::span<const std::uint8_t> start) {
  if (start.size() < 26 || start[0] != 'B' || start[1] != 'M') return false;
  const std::uint32_t header = start[14] | start[15] << 8 | start[16] << 16 | static_cast<std::uint32_t>(start[17]) << 24;
  switch (header) {
    case 12: case 40: case 52: case 56: case 64: case 108: case 124:
      return true;
    default:
      return false;
  }
}

}  // namespace orvanel::platform::photo
