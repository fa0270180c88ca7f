#include "platform/photo/photo_format.h"

#include "platform/photo/jpeg_photo.h"
#include "platform/photo/png_photo.h"
#include "platform/photo/webp_photo.h"

namespace orvanel::platform::photo {
namespace {

// WebP is decoded here on every system: not every Windows has its codec.
constexpr PhotoFormat kFormats[] = {
    {HasJpegSignature, DecodeJpegPhoto},
    {HasPngSignature, DecodePngPhoto},
    {HasWebpSignature, DecodeWebpPhoto},
};

const PhotoFormat* FormatOf(std::span<const std::uint8_t> start) {
  for (const PhotoFormat& format : kFormats) {
    if (format.probe(start)) return &format;
  }
  for (const PhotoFormat& format : SystemFormats()) {
    if (format.probe(start)) return &format;
  }
  return nullptr;
}

}  // namespace

bool IsPhotoStart(std::span<const std::uint8_t> start) { return FormatOf(start) != nullptr; }

bool DecodePhoto(const ByteSource& data, PhotoTarget& target) {
  const auto start = ReadStart(data, kProbeBytes);
  const PhotoFormat* format = FormatOf(start);
  return format != nullptr && format->decode(data, start, target);
}

}  // namespace orvanel::platform::photo
