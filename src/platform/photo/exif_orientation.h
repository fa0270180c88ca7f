#pragma once
// The orientation a camera records in a JPEG file's Exif block: how the
// stored pixels must be turned to stand the way the photo was taken.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

// 1 as stored; 2 mirrored left to right; 3 turned half a turn; 4 mirrored
// top to bottom; 5 mirrored along the main diagonal; 6 turned a quarter
// clockwise; 7 mirrored along the other diagonal; 8 turned a quarter
// anticlockwise. 1 when the file has no Exif block, or a damaged one.
int ExifOrientation(std::span<const std::uint8_t> jpeg);

// The same from the TIFF structure an Exif block holds after its "Exif"
// header, as formats other than JPEG store it; a leading "Exif\0\0" is
// passed over.
int ExifBlockOrientation(std::span<const std::uint8_t> tiff);

// How much of a file's start holds its Exif block: the block follows the
// start marker, after a JFIF block at most, and neither exceeds 64 KiB.
inline constexpr std::size_t kExifSearchBytes = 2 + 2 * (2 + 65535);

// The photo handed to the sink row by row, turned by an orientation (1 to 8)
// so that it stands as taken; 5 to 8 swap its sides. Only one turned row is
// held at a time.
void WriteOriented(const RgbImage& image, int orientation, RowSink& sink);

}  // namespace orvanel::platform::photo
