#pragma once
// The TIFF structure of an Exif block, read for the few entries the saver
// uses, and where a JPEG file keeps its Exif block. A file may claim any
// offset and any count: every read is checked against the bytes there are.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orvanel::platform::photo {

// One entry of an image file directory: its type, how many values it has,
// and where its four-byte value field is, counted from the TIFF header.
struct ExifEntry {
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint64_t valueAt = 0;
};

class ExifBlock {
 public:
  // The TIFF structure, a leading "Exif\0\0" passed over, in either byte
  // order; nothing when its header is not TIFF's.
  static std::optional<ExifBlock> Open(std::span<const std::uint8_t> tiff);

  // Where the first image directory is.
  std::optional<std::uint64_t> FirstDirectory() const;
  // The first entry of a tag in the directory at `directory`.
  std::optional<ExifEntry> Find(std::uint64_t directory, std::uint16_t tag) const;
  // The value of an entry of type SHORT.
  std::optional<std::uint16_t> Short(const ExifEntry& entry) const;
  // Where the directory an entry points to is, as IFD0's Exif entry points
  // to the Exif directory.
  std::optional<std::uint64_t> Directory(const ExifEntry& entry) const;
  // The characters of an entry of type ASCII, its terminating NUL included.
  std::optional<std::span<const std::uint8_t>> Ascii(const ExifEntry& entry) const;

 private:
  ExifBlock(std::span<const std::uint8_t> tiff, bool littleEndian) : tiff_(tiff), littleEndian_(littleEndian) {}
  std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t at, std::uint64_t count) const;
  std::optional<std::uint16_t> U16(std::uint64_t at) const;
  std::optional<std::uint32_t> U32(std::uint64_t at) const;

  std::span<const std::uint8_t> tiff_;
  bool littleEndian_;
};

// A JPEG file's Exif block, its header included, from the file's start: the
// first APP1 block with the Exif header among the markers before the scan.
// Empty when there is none.
std::span<const std::uint8_t> JpegExifBlock(std::span<const std::uint8_t> jpeg);

}  // namespace orvanel::platform::photo
