#pragma once
// Where a photo's bytes come from, read piece by piece and from any place:
// a photo file of many megabytes need not be held whole while it is
// decoded, and its header can be read again before the decoding.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvanel::platform::photo {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `count` bytes from `offset` into `into`: fewer at the end, none
  // past it or when the bytes cannot be read.
  virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const = 0;
};

// Bytes already in memory.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// A source read through a window of its bytes: a decoder that asks for a
// few bytes at a time costs one read of the file for each large piece, not
// one for each ask (on Windows each read opens the file: under Wine about a
// millisecond). While the reading goes straight on, each window is twice
// the one before, up to kLargestWindowBytes, so that a 48-megapixel PNG
// costs some 45 reads, not 340; a jump starts again at kWindowBytes, so
// that a file refused at its start, or read here and there, is hardly read.
// A read as large as kWindowBytes goes to the file directly.
class BufferedSource : public ByteSource {
 public:
  static constexpr std::size_t kWindowBytes = std::size_t{1} << 18;
  static constexpr std::size_t kLargestWindowBytes = std::size_t{1} << 21;
  explicit BufferedSource(const ByteSource& data) : data_(data) {}
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override;

 private:
  const ByteSource& data_;
  mutable std::vector<std::uint8_t> window_;
  mutable std::uint64_t windowOffset_ = 0;
  mutable std::size_t filled_ = 0;
};

// A source read on from a place, through a window, as a library that reads
// a file like a stream asks for it.
class SourceReading {
 public:
  explicit SourceReading(const ByteSource& data) : data_(data) {}
  // Up to `count` bytes from `position`, which moves on past those read.
  std::size_t Read(std::uint8_t* into, std::size_t count) {
    const std::size_t got = data_.ReadAt(position, into, count);
    position += got;
    return got;
  }
  std::uint64_t position = 0;

 private:
  BufferedSource data_;
};

// How many bytes there are, found by reading single bytes: a few dozen
// reads for a file of gigabytes.
std::uint64_t SourceSize(const ByteSource& source);

// Up to `count` bytes from the start.
std::vector<std::uint8_t> ReadStart(const ByteSource& source, std::size_t count);

// Every byte; nothing when there are more than `limit`.
std::optional<std::vector<std::uint8_t>> ReadAll(const ByteSource& source, std::size_t limit);

// Four bytes as a big-endian number, as ISO boxes and PNG chunks give their
// lengths; the caller has checked that they are there.
inline std::size_t BigEndian32(const std::uint8_t* bytes) {
  return static_cast<std::size_t>(bytes[0]) << 24 | static_cast<std::size_t>(bytes[1]) << 16 |
         static_cast<std::size_t>(bytes[2]) << 8 | bytes[3];
}

}  // namespace orvanel::platform::photo
