// A photo file read through a window of its bytes, and its size found by
// reading: the bytes given must be the file's own wherever a read falls
// against the window's edges and the file's end, and small reads must not
// each cost a read of the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/photo/byte_source.h"

namespace orvanel::platform::photo {
namespace {

constexpr std::size_t kWindow = BufferedSource::kWindowBytes;

std::vector<std::uint8_t> Noise(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = 12345;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

// The file, counting the reads made of it.
class CountedSource : public ByteSource {
 public:
  explicit CountedSource(std::span<const std::uint8_t> bytes) : memory_(bytes) {}
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override {
    ++reads;
    lastAsk = count;
    return memory_.ReadAt(offset, into, count);
  }
  mutable int reads = 0;
  mutable std::size_t lastAsk = 0;

 private:
  MemorySource memory_;
};

TEST(BufferedSource, GivesTheFilesOwnBytesWhereverAReadFalls) {
  const auto file = Noise(2 * kWindow + 1000);
  const MemorySource memory(file);
  const BufferedSource buffered(memory);
  struct Case {
    std::uint64_t offset;
    std::size_t count;
  };
  // In order, so that each case meets the window the one before left.
  for (const Case read : {Case{0, 10}, Case{5, 20}, Case{kWindow - 4, 8}, Case{kWindow + 3, kWindow},
                          Case{2 * kWindow - 10, 100}, Case{2 * kWindow + 990, 50}, Case{100, 2 * kWindow},
                          Case{2 * kWindow + 1000, 10}, Case{3 * kWindow, 10}, Case{1, 1}}) {
    std::vector<std::uint8_t> expected(read.count);
    expected.resize(memory.ReadAt(read.offset, expected.data(), read.count));
    std::vector<std::uint8_t> got(read.count);
    got.resize(buffered.ReadAt(read.offset, got.data(), read.count));
    EXPECT_EQ(got, expected) << read.offset << " +" << read.count;
  }
}

TEST(BufferedSource, ManySmallReadsCostAReadOfTheFileAWindow) {
  const auto file = Noise(3 * kWindow);
  const CountedSource counted(file);
  const BufferedSource buffered(counted);
  std::uint8_t piece[12];
  for (std::uint64_t at = 0; at + sizeof piece <= file.size(); at += sizeof piece) {
    ASSERT_EQ(buffered.ReadAt(at, piece, sizeof piece), sizeof piece);
  }
  EXPECT_LE(counted.reads, 4);
}

// A large photo read straight through costs few reads of the file, each of
// them one system call or more (on Windows an opening of the file too),
// while a jump, as to a TIFF's far strip, reads only the smallest window.
TEST(BufferedSource, ReadingStraightOnTakesEverLargerWindowsUpToTheLargest) {
  constexpr std::size_t kLargest = BufferedSource::kLargestWindowBytes;
  const auto file = Noise(10 * kLargest);
  const CountedSource counted(file);
  const BufferedSource buffered(counted);
  std::vector<std::uint8_t> piece(8192);
  for (std::uint64_t at = 0; at < file.size(); at += piece.size()) {
    ASSERT_EQ(buffered.ReadAt(at, piece.data(), piece.size()), piece.size());
  }
  EXPECT_EQ(counted.lastAsk, kLargest);
  // 256 KiB, 512 KiB, 1 MiB, then 2 MiB each.
  EXPECT_LE(counted.reads, 3 + 10);
  ASSERT_EQ(buffered.ReadAt(kLargest, piece.data(), piece.size()), piece.size());
  EXPECT_EQ(counted.lastAsk, kWindow);
}

TEST(SourceSize, FindsTheSizeOfAnyFile) {
  for (const std::size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 255u, 256u, 257u, 600'001u}) {
    const auto file = Noise(size);
    EXPECT_EQ(SourceSize(MemorySource(file)), size);
  }
}

}  // namespace
}  // namespace orvanel::platform::photo
