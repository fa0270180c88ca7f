#include "slideshow/photo_caption.h"

#include <algorithm>

#include "instance/saver.h"
#include "platform/folder_names.h"
#include "slideshow/caption_drawing.h"

namespace orvanel::slideshow {
namespace {

// Between the date and the folder: plain ASCII, the same in every
// desktop's encoding of text.
constexpr const char* kCaptionSeparator = "  |  ";

}  // namespace

std::string CaptionFolder(const std::string& chosenFolder, const std::string& photo) {
  using platform::FolderName;
  using platform::IsPathSeparator;
  const std::string chosen = platform::WithoutTrailingSeparators(chosenFolder);
  const auto photoSlash = photo.find_last_of("\\/");
  if (photoSlash == std::string::npos) return FolderName(chosen);
  const std::string photoFolder = photo.substr(0, photoSlash);
  // A root ("/", "C:\") ends in its separator; any other folder is followed by one.
  const std::size_t below = chosen.size() + (!chosen.empty() && IsPathSeparator(chosen.back()) ? 0 : 1);
  if (photoFolder.size() > below && photoFolder.compare(0, chosen.size(), chosen) == 0 &&
      IsPathSeparator(photoFolder[below - 1])) {
    return photoFolder.substr(below);
  }
  // At the top of the chosen folder, or (a path the walk cannot give)
  // somewhere else: the folder's own name.
  return FolderName(photoFolder.empty() || photoFolder == chosen ? chosen : photoFolder);
}

std::string CaptionText(instance::CaptionKind kind, const std::string& date, const std::string& folder) {
  if (kind == instance::CaptionKind::kNone) return "";
  if (kind == instance::CaptionKind::kDate || folder.empty()) return date;
  if (date.empty()) return folder;
  return date + kCaptionSeparator + folder;
}

std::int32_t CaptionLineHeight(std::int32_t areaHeight) {
  return std::max(kSmallestCaptionLine, (areaHeight * 25 + 500) / 1000);
}

std::int32_t CaptionInset(std::int32_t lineHeight) { return std::max(2, lineHeight / 2); }

std::optional<platform::Point> PlaceCaption(PictureSize picture, PictureSize caption, std::int32_t inset,
                                            CaptionCorner corner) {
  if (caption.width + 2 * inset > picture.width || caption.height + 2 * inset > picture.height) return std::nullopt;
  const bool left = corner == CaptionCorner::kBottomLeft || corner == CaptionCorner::kTopLeft;
  const bool top = corner == CaptionCorner::kTopLeft || corner == CaptionCorner::kTopRight;
  return platform::Point{left ? inset : picture.width - inset - caption.width,
                         top ? inset : picture.height - inset - caption.height};
}

void CaptionPhoto(instance::Saver& saver, const std::string& photo, FittedPicture& picture,
                  std::int32_t areaHeight, std::int32_t target) {
  if (saver.caption == instance::CaptionKind::kNone || !picture.bitmap) return;
  const platform::PixelRows rows = picture.bitmap->Rows();
  if (rows.first == nullptr) return;
  auto& desktop = saver.desktop;
  const auto& taken = picture.taken;
  const std::string text = CaptionText(saver.caption, taken ? desktop.LongDate(*taken) : "",
                                       CaptionFolder(saver.picturesFolder, photo));
  if (text.empty()) return;

  std::int32_t lineHeight = CaptionLineHeight(areaHeight);
  platform::TextMask mask = desktop.RenderText(text, lineHeight);
  // A caption wider than a small picture is written smaller, down to the
  // smallest line; below that the picture goes without.
  const std::int32_t room = picture.width - 2 * CaptionInset(lineHeight);
  if (mask.width > room && room > 0) {
    lineHeight = static_cast<std::int32_t>(std::int64_t{lineHeight} * room / mask.width);
    if (lineHeight < kSmallestCaptionLine) return;
    mask = desktop.RenderText(text, lineHeight);
  }
  int& corner = saver.captionCorners[target];
  const auto at = PlaceCaption({picture.width, picture.height}, {mask.width, mask.height}, CaptionInset(lineHeight),
                               static_cast<CaptionCorner>(corner));
  if (!at) return;
  DrawCaption(rows, picture.width, picture.height, mask, *at);
  corner = (corner + 1) % kCaptionCorners;
}

}  // namespace orvanel::slideshow
