#pragma once
// The date a photo was taken, as the camera records it in the Exif block:
// the original date and time, local to where it was taken, to the second.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/date_time.h"

namespace orvanel::platform::photo {

// From a JPEG file's start, as far as ExifOrientation reads. Nothing when
// the file has no Exif block, the block records no original date, or the
// date is damaged or no real day and time.
std::optional<DateTime> ExifDateTaken(std::span<const std::uint8_t> jpeg);

// The same from the TIFF structure an Exif block holds after its "Exif"
// header, as formats other than JPEG store it; a leading "Exif\0\0" is
// passed over.
std::optional<DateTime> ExifBlockDateTaken(std::span<const std::uint8_t> tiff);

// A date as Exif writes it, "YYYY:MM:DD HH:MM:SS", followed by nothing but
// its terminating NULs: nothing unless it is a real day of years 1 to 9999
// and a real time of that day.
std::optional<DateTime> ParseExifDateText(std::string_view text);

}  // namespace orvanel::platform::photo
