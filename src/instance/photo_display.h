#pragma once
// How the photos of the user's folder are shown, beyond the built-in
// pictures' design: a caption drawn into each, and fitting or filling the
// monitor.
#include <cstdint>

namespace orvanel::instance {

// The caption's content; the values are those the settings file stores.
enum class CaptionKind : std::int32_t {
  kNone = 0,
  kDate = 1,           // the date the photo was taken
  kDateAndFolder = 2,  // that date and the folder the photo is in
};

// Fit: the whole photo, never enlarged, as the built-in pictures are shown.
// Fill: the photo covers the monitor, cropped, enlarged when smaller.
enum class FitMode : std::int32_t { kFit = 0, kFill = 1 };

}  // namespace orvanel::instance
