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

std::size_t BufferedSource::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const {
  std::size_t given = 0;
  while (count > 0) {
    if (offset >= windowOffset_ && offset - windowOffset_ < filled_) {
      const auto at = static_cast<std::size_t>(offset - windowOffset_);
      const std::size_t part = std::min(count, filled_ - at);
      std::copy_n(window_.data() + at, part, into);
      given += part;
      offset += part;
      into += part;
      count -= part;
      continue;
    }
    if (count >= kWindowBytes) return given + data_.ReadAt(offset, into, count);
    const bool straightOn = filled_ > 0 && offset == windowOffset_ + filled_;
    window_.resize(straightOn ? std::min(window_.size() * 2, kLargestWindowBytes) : kWindowBytes);
    windowOffset_ = offset;
    filled_ = data_.ReadAt(offset, window_.data(), window_.size());
    if (filled_ == 0) break;
  }
  return given;
}

std::uint64_t SourceSize(const ByteSource& source) {
  std::uint8_t byte = 0;
  const auto there = [&](std::uint64_t size) { return size == 0 || source.ReadAt(size - 1, &byte, 1) == 1; };
  // A size there is, and one there is not: doubled, then halved between.
  constexpr std::uint64_t kLargest = std::uint64_t{1} << 62;
  std::uint64_t low = 0;
  std::uint64_t high = 1;
  while (there(high)) {
    low = high;
    if (high >= kLargest) return high;
    high *= 2;
  }
  while (high - low > 1) {
    const std::uint64_t middle = low + (high - low) / 2;
    (there(middle) ? low : high) = middle;
  }
  return low;
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
