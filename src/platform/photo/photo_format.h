#pragma once
// The formats a photo of the user's folder may have. A file is known by the
// signature it starts with (its name is not asked) and decoded by its
// format's own decoder, which hands the photo to a target: first what its
// header says, then its rows. A format is a signature probe and a decoder in
// a file of their own, and a row of a table: the formats decoded here on
// every system in photo_format.cpp, those whose decoders each system has
// its own way to (libraries on Linux, the imaging codecs on Windows) in
// SystemFormats.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/date_time.h"
#include "platform/photo/byte_source.h"
#include "platform/photo/colour_description.h"
#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

struct PhotoSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// What a photo's header says, before any of its pixels is decoded.
struct PhotoHeader {
  std::int32_t width = 0;  // as stored
  std::int32_t height = 0;
  int orientation = 1;  // as ExifOrientation counts; 5 to 8 swap the sides
  // Decoded whole, every pixel held at once, rather than row by row.
  bool whole = false;
  std::optional<DateTime> taken = std::nullopt;  // Exif DateTimeOriginal, when the photo records one
  ColourDescription colour = {};  // none: sRGB
};

// Whoever takes a decoded photo, told its header first, then given its rows.
class PhotoTarget {
 public:
  virtual ~PhotoTarget() = default;
  // Once the header is read: the size the rows must at least have, as
  // stored (not turned) and no larger; nothing refuses the photo. A decoder
  // that can decode reduced decodes at the smallest of its sizes that still
  // covers it, any other at the stored size.
  virtual std::optional<PhotoSize> Plan(const PhotoHeader& header) = 0;
  // Just before the rows (for a decoder that holds the photo whole, once
  // it is decoded): where they go; null refuses the photo.
  virtual RowSink* Sink() = 0;
};

// One format: whether a file's first bytes are its signature, and its decoder,
// given those bytes too.
struct PhotoFormat {
  bool (*probe)(std::span<const std::uint8_t> start);
  bool (*decode)(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target);
};

// The formats this system decodes besides those of photo_format.cpp.
std::span<const PhotoFormat> SystemFormats();

// How much of a file's start the probes are given: every signature fits in it.
inline constexpr std::size_t kProbeBytes = 4096;

// Whether a file starting so is one of the formats decoded here: a file
// that is not costs this one look.
bool IsPhotoStart(std::span<const std::uint8_t> start);

// Decodes the photo in the format its first bytes say into the target, its
// start read once for every probe. False when no format knows the signature,
// or when the decoder fails: the data is damaged or ends early, or the
// target refused it.
bool DecodePhoto(const ByteSource& data, PhotoTarget& target);

}  // namespace orvanel::platform::photo
