#include "slideshow/picture_count.h"

#include <cstdint>
#include <span>

#include "platform/photo/photo_format.h"
#include "slideshow/clock.h"
#include "slideshow/picture_folder.h"

namespace orvanel::slideshow {

bool LooksLikePicture(platform::Desktop& desktop, const std::string& path) {
  std::uint8_t start[platform::photo::kProbeBytes];
  const auto read = desktop.ReadFilePart(path, 0, std::span<std::uint8_t>(start));
  return read && platform::photo::IsPhotoStart(std::span<const std::uint8_t>(start, *read));
}

FolderPictureCount::FolderPictureCount(platform::Desktop& desktop, const std::string& folder)
    : desktop_(desktop), files_(ListPictures(desktop, folder)) {}

bool FolderPictureCount::LookFurther() {
  const double began = Now(desktop_);
  // At least one file a slice, whatever the clock says.
  do {
    if (next_ == files_.size()) return true;
    if (LooksLikePicture(desktop_, files_[next_])) ++found_;
    ++next_;
  } while (MillisecondSpan(Now(desktop_), began) < kSliceMs);
  return next_ == files_.size();
}

}  // namespace orvanel::slideshow
