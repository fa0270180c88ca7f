#include "platform/photo/byte_source.h"

#include <algorithm>

namespace orvanel::platform::photo {

std::size_t MemorySource::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const {
  if (offset >= bytes_.size()) return 0;
  const auto from = static_cast<std::size_t>(offset);
  const std::size_t length = std::min(count, bytes_.size() - from);
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(from), length, into);
  return length;
}

std::vector<std::uint8_t> ReadStart(const ByteSource& source, std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  bytes.resize(source.ReadAt(0, bytes.data(), count));
  return bytes;
}

std::optional<std::vector<std::uint8_t>> ReadAll(const ByteSource& source, std::size_t limit) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  std::vector<std::uint8_t> bytes;
  for (;;) {
    const std::size_t had = bytes.size();
    // One byte beyond the limit tells a file at the limit from a larger one.
    const std::size_t ask = std::min(kPiece, limit + 1 - had);
    if (ask == 0) return std::nullopt;
    bytes.resize(had + ask);
    const std::size_t got = source.ReadAt(had, bytes.data() + had, ask);
    bytes.resize(had + got);
    if (got == 0) break;
  }
  if (bytes.size() > limit) return std::nullopt;
  return bytes;
}

}  // namespace orvanel::platform::photo
