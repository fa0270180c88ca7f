#include "platform/photo/exif_date.h"

#include <algorithm>
#include <chrono>

#include "platform/photo/exif_block.h"

namespace orvanel::platform::photo {
namespace {

constexpr std::uint16_t kExifDirectoryTag = 0x8769;
constexpr std::uint16_t kDateTimeOriginalTag = 0x9003;

// Where the digits stand; every other character must be the one written here.
constexpr std::string_view kDatePattern = "0000:00:00 00:00:00";

// The original date in the Exif directory the first image directory points to.
std::optional<DateTime> DateIn(std::span<const std::uint8_t> tiff) {
  const auto block = ExifBlock::Open(tiff);
  const auto first = block ? block->FirstDirectory() : std::nullopt;
  const auto pointer = first ? block->Find(*first, kExifDirectoryTag) : std::nullopt;
  const auto exif = pointer ? block->Directory(*pointer) : std::nullopt;
  const auto entry = exif ? block->Find(*exif, kDateTimeOriginalTag) : std::nullopt;
  const auto text = entry ? block->Ascii(*entry) : std::nullopt;
  if (!text) return std::nullopt;
  return ParseExifDateText(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
}

}  // namespace

std::optional<DateTime> ExifDateTaken(std::span<const std::uint8_t> jpeg) { return DateIn(JpegExifBlock(jpeg)); }

std::optional<DateTime> ExifBlockDateTaken(std::span<const std::uint8_t> tiff) { return DateIn(tiff); }

std::optional<DateTime> ParseExifDateText(std::string_view text) {
  if (text.size() < kDatePattern.size()) return std::nullopt;
  for (std::size_t i = 0; i < kDatePattern.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kDatePattern[i] == '0' ? !digit : text[i] != kDatePattern[i]) return std::nullopt;
  }
  const auto rest = text.substr(kDatePattern.size());
  if (!std::all_of(rest.begin(), rest.end(), [](char c) { return c == '\0'; })) return std::nullopt;
  const auto number = [text](std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
  namespace chrono = std::chrono;
  const chrono::year_month_day date{chrono::year{year}, chrono::month{static_cast<unsigned>(month)},
                                    chrono::day{static_cast<unsigned>(day)}};
  if (year < 1 || !date.ok() || hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  DateTime taken;
  taken.year = static_cast<std::uint16_t>(year);
  taken.month = static_cast<std::uint16_t>(month);
  taken.day = static_cast<std::uint16_t>(day);
  taken.hour = static_cast<std::uint16_t>(hour);
  taken.minute = static_cast<std::uint16_t>(minute);
  taken.second = static_cast<std::uint16_t>(second);
  taken.millisecond = 0;
  return taken;
}

}  // namespace orvanel::platform::photo
