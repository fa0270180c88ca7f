#pragma once
// The settings file: an INI file in a folder of the saver's own under the
// user's local application-data folder (else the common one):
//
//   <base>\vorlanthix\<module name>.ini
//   [Config]
//   Speed=8      seconds per picture
//   Random=1     random order, else ascending
//   Blend=1      each change as a dissolve
//   Folder=...   a folder of the user's photos; missing or empty: the
//                built-in pictures
//   Caption=0    in a corner of each photo of the folder: 0 nothing, 1 the
//                date it was taken, 2 that date and its folder
//   Fill=0       the folder's photos fitted (0) or filling the monitor (1)
//
// It is read once at start in every mode and written only by the settings
// dialog's OK.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "instance/photo_display.h"
#include "platform/desktop.h"

namespace orvanel::settings {

struct Settings {
  Settings() = default;
  Settings(std::int32_t speed, bool random, bool blend, std::string folder = {},
           instance::CaptionKind caption = instance::CaptionKind::kNone,
           instance::FitMode fit = instance::FitMode::kFit)
      : speed(speed), random(random), blend(blend), folder(std::move(folder)), caption(caption), fit(fit) {}

  std::int32_t speed = 8;
  bool random = true;
  bool blend = true;
  std::string folder;  // empty: the built-in pictures
  instance::CaptionKind caption = instance::CaptionKind::kNone;
  instance::FitMode fit = instance::FitMode::kFit;
  bool operator==(const Settings&) const = default;
};

// The folder of a special-folder number; empty text when the desktop has none.
std::string GetSpecialFolder(platform::Desktop& desktop, int folder);

// The settings folder: local, else common application data, then "\vorlanthix".
std::string SettingsFolder(platform::Desktop& desktop);
// The settings file's full path; the file is named after the running module.
std::string SettingsPath(platform::Desktop& desktop);

// The same path from a lookup of the special folders that answers as
// Desktop::SpecialFolder does, for a program that has no desktop yet (its
// usage text).
using SpecialFolderLookup = std::function<std::string(int folder)>;
std::string SettingsPathFrom(const SpecialFolderLookup& specialFolder, const std::string& moduleFileName);
// The running module's file name with its extension replaced by ".ini".
std::string SettingsFileName(const std::string& moduleFileName);

// Creates the folder with every missing parent; false when one cannot be made.
bool ForceFolders(platform::Desktop& desktop, const std::string& folder);

// Reads an integer as the settings store it: optional leading blanks and
// sign, then decimal digits, or up to 8 hexadecimal digits after "$", "x",
// "X", "0x" or "0X". Nothing when the text is anything else or the value
// does not fit 32 signed bits.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// Creates the settings folder when missing and reads the settings, each
// missing or unreadable one taking its default.
Settings LoadSettings(platform::Desktop& desktop);

// Writes Speed, Random and Blend in that order, then each of Folder,
// Caption and Fill when it is set (not empty, not 0) or the file has one to
// clear; raises "Unable to write to %s" with the
// file's path at the first write that fails.
void SaveSettings(platform::Desktop& desktop, const Settings& settings);

// The slideshow timer's interval for a Speed in seconds. A Speed below 1
// gives no ticks, as 0 does; a product with 1000 beyond what the timer takes
// gives the longest interval it takes.
std::uint32_t SlideshowInterval(std::int32_t speedSeconds);

// The longest interval the desktop's timer takes, in milliseconds.
inline constexpr std::uint32_t kMaxTimerInterval = 0x7FFFFFFF;

}  // namespace orvanel::settings
