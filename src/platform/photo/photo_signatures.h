#pragma once
// The signatures of the formats each system decodes its own way, known
// here once for all of them: a file is one of these by its first bytes.
#include <cstdint>
#include <span>

namespace orvanel::platform::photo {

// A file-type box naming one of HEIF's image brands (HEVC coded, or the
// generic mif1), or of AVIF's, as its major brand or a compatible one.
bool HasHeifSignature(std::span<const std::uint8_t> start);
bool HasAvifSignature(std::span<const std::uint8_t> start);

// The byte order mark and 42 (or BigTIFF's 43).
bool HasTiffSignature(std::span<const std::uint8_t> start);

// "GIF87a" or "GIF89a".
bool HasGifSignature(std::span<const std::uint8_t> start);

// "BM" and one of the sizes of the header that follows the file's.
bool HasBmpSignature(std::span<const std::uint8_t> start);

}  // namespace orvanel::platform::photo
