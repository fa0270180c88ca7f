#include "platform/photo/photo_format.h"

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/photo/exif_orientation.h"
#include "platform/photo/jpeg_photo.h"
#include "platform/photo/png_photo.h"

namespace orvanel::platform::photo {
namespace {

// One format: whether a file's first bytes are its signature, and its decoder.
struct PhotoFormat {
  bool (*probe)(std::span<const std::uint8_t> start);
  bool (*decode)(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);
};

constexpr PhotoFormat kFormats[] = {
    {HasJpegSignature, DecodeJpegPhoto},
    {HasPngSignature, DecodePngPhoto},
};

// The start the probes and decoders are given: enough for every signature,
// and for the Exif block of a JPEG.
constexpr std::size_t kStartBytes = kExifSearchBytes;

}  // namespace

bool DecodePhoto(const ByteSource& data, PhotoTarget& target) {
  const auto start = ReadStart(data, kStartBytes);
  for (const PhotoFormat& format : kFormats) {
    if (format.probe(start)) return format.decode(data, start, target);
  }
  return false;
}

}  // namespace orvanel::platform::photo
