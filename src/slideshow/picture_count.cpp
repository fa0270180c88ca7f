#include "slideshow/picture_count.h"

#include <cstdint>
#include <span>

#include "platform/photo/photo_format.h"
#include "slideshow/clock.h"

namespace orvanel::slideshow {

bool LooksLikePicture(platform::Desktop& desktop, const std::string& path) {
  std::uint8_t start[platform::photo::kProbeBytes];
  const auto read = desktop.ReadFilePart(path, 0, std::span<std::uint8_t>(start));
  return read && platform::photo::IsPhotoStart(std::span<const std::uint8_t>(start, *read));
}

FolderPictureCount::FolderPictureCount(platform::Desktop& desktop, const std::string& folder)
    : desktop_(desktop), walk_(desktop, folder) {}

bool FolderPictureCount::LookFurther() {
  const double began = Now(desktop_);
  // At least one file a slice, whatever the clock says.
  while (!walked_) {
    const auto file = walk_.Next();
    if (!file) {
      walked_ = true;
      break;
    }
    if (LooksLikePicture(desktop_, *file)) ++found_;
    if (MillisecondSpan(Now(desktop_), began) >= kSliceMs) break;
  }
  return walked_;
}

}  // namespace orvanel::slideshow
