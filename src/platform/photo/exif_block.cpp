#include "platform/photo/exif_block.h"

#include <algorithm>
#include <iterator>

namespace orvanel::platform::photo {
namespace {

constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

constexpr std::uint16_t kAsciiType = 2;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint16_t kLongType = 4;
constexpr std::uint16_t kDirectoryType = 13;

constexpr std::uint64_t kEntryBytes = 12;

bool StartsWithExifHeader(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= sizeof kExifHeader &&
         std::equal(std::begin(kExifHeader), std::end(kExifHeader), bytes.begin());
}

}  // namespace

std::optional<ExifBlock> ExifBlock::Open(std::span<const std::uint8_t> tiff) {
  if (StartsWithExifHeader(tiff)) tiff = tiff.subspan(sizeof kExifHeader);
  if (tiff.size() < 8) return std::nullopt;
  bool littleEndian = true;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    littleEndian = true;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    littleEndian = false;
  } else {
    return std::nullopt;
  }
  const ExifBlock block(tiff, littleEndian);
  if (block.U16(2) != 42) return std::nullopt;
  return block;
}

std::optional<std::uint64_t> ExifBlock::FirstDirectory() const { return U32(4); }

std::optional<ExifEntry> ExifBlock::Find(std::uint64_t directory, std::uint16_t tag) const {
  const auto count = U16(directory);
  if (!count) return std::nullopt;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const std::uint64_t entry = directory + 2 + i * kEntryBytes;
    const auto entryTag = U16(entry);
    if (!entryTag) return std::nullopt;
    if (*entryTag != tag) continue;
    const auto type = U16(entry + 2);
    const auto values = U32(entry + 4);
    if (!type || !values) return std::nullopt;
    return ExifEntry{*type, *values, entry + 8};
  }
  return std::nullopt;
}

std::optional<std::uint16_t> ExifBlock::Short(const ExifEntry& entry) const {
  if (entry.type != kShortType) return std::nullopt;
  return U16(entry.valueAt);
}

std::optional<std::uint64_t> ExifBlock::Directory(const ExifEntry& entry) const {
  if (entry.type != kLongType && entry.type != kDirectoryType) return std::nullopt;
  return U32(entry.valueAt);
}

std::optional<std::span<const std::uint8_t>> ExifBlock::Ascii(const ExifEntry& entry) const {
  if (entry.type != kAsciiType) return std::nullopt;
  // Up to four characters are the value field itself; more are where it points.
  if (entry.count <= 4) return Bytes(entry.valueAt, entry.count);
  const auto at = U32(entry.valueAt);
  if (!at) return std::nullopt;
  return Bytes(*at, entry.count);
}

std::optional<std::span<const std::uint8_t>> ExifBlock::Bytes(std::uint64_t at, std::uint64_t count) const {
  if (at > tiff_.size() || count > tiff_.size() - at) return std::nullopt;
  return tiff_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

std::optional<std::uint16_t> ExifBlock::U16(std::uint64_t at) const {
  const auto bytes = Bytes(at, 2);
  if (!bytes) return std::nullopt;
  const std::uint8_t first = (*bytes)[0];
  const std::uint8_t second = (*bytes)[1];
  return littleEndian_ ? static_cast<std::uint16_t>(first | second << 8)
                       : static_cast<std::uint16_t>(first << 8 | second);
}

std::optional<std::uint32_t> ExifBlock::U32(std::uint64_t at) const {
  const auto first = U16(at);
  const auto second = U16(at + 2);
  if (!first || !second) return std::nullopt;
  return littleEndian_ ? static_cast<std::uint32_t>(*second) << 16 | *first
                       : static_cast<std::uint32_t>(*first) << 16 | *second;
}

std::span<const std::uint8_t> JpegExifBlock(std::span<const std::uint8_t> jpeg) {
  // The markers before the first scan: each FF, a code, and a length that
  // counts itself.
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return {};
  std::size_t at = 2;
  while (at + 4 <= jpeg.size()) {
    if (jpeg[at] != 0xFF) return {};
    const std::uint8_t marker = jpeg[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return {};  // the scan, or the end
    const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (length < 2 || at + 2 + length > jpeg.size()) return {};
    const auto segment = jpeg.subspan(at + 4, length - 2);
    if (marker == 0xE1 && segment.size() > sizeof kExifHeader && StartsWithExifHeader(segment)) return segment;
    at += 2 + length;
  }
  return {};
}

}  // namespace orvanel::platform::photo
