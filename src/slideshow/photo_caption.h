#pragma once
// The caption of a photo of the user's folder: the date it was taken, and
// the folder it is in, drawn into the picture in one of its corners so that
// it comes and goes with the picture. The corner moves on with each picture
// a monitor shows, so that no caption stays long enough to burn in.
#include <cstdint>
#include <optional>
#include <string>

#include "instance/photo_display.h"
#include "platform/desktop.h"
#include "slideshow/picture_source.h"

namespace orvanel::instance {
struct Saver;
}

namespace orvanel::slideshow {

// The corners in the order a caption visits them, clockwise.
enum class CaptionCorner : int { kBottomRight = 0, kBottomLeft = 1, kTopLeft = 2, kTopRight = 3 };
inline constexpr int kCaptionCorners = 4;

// The folder a caption names: the photo's folder below the chosen folder,
// or the chosen folder's own name for a photo at its top.
std::string CaptionFolder(const std::string& chosenFolder, const std::string& photo);

// The caption's text: the date as the desktop writes it, then the folder
// when the caption has one; empty when there is nothing to say.
std::string CaptionText(instance::CaptionKind kind, const std::string& date, const std::string& folder);

// The caption's line height in an area of this height: about 2.5 % of it,
// readable from across a room, and a few pixels at least in a preview.
std::int32_t CaptionLineHeight(std::int32_t areaHeight);
inline constexpr std::int32_t kSmallestCaptionLine = 6;

// The caption's space from the picture's edges, for a line height.
std::int32_t CaptionInset(std::int32_t lineHeight);

// Where the top-left pixel of a caption of this size goes in a picture of
// this size, in the corner; nothing when it does not fit.
std::optional<platform::Point> PlaceCaption(PictureSize picture, PictureSize caption, std::int32_t inset,
                                            CaptionCorner corner);

// Draws the photo's caption into its picture when the settings ask for one,
// in the target's next corner; the picture of an area `areaHeight` high.
void CaptionPhoto(instance::Saver& saver, const std::string& photo, FittedPicture& picture,
                  std::int32_t areaHeight, std::int32_t target);

}  // namespace orvanel::slideshow
