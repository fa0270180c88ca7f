#include "slideshow/picture_count.h"

#include <cstdint>
#include <span>

#include "platform/photo/photo_format.h"
#include "slideshow/picture_reader.h"

namespace orvanel::slideshow {

bool LooksLikePicture(platform::Desktop& desktop, const std::string& path) {
  std::uint8_t start[platform::photo::kProbeBytes];
  const auto read = desktop.ReadFilePart(path, 0, std::span<std::uint8_t>(start));
  return read && platform::photo::IsPhotoStart(std::span<const std::uint8_t>(start, *read));
}

FolderPictureCount::FolderPictureCount(instance::Saver& saver, const std::string& folder,
                                       platform::WindowHandle notified)
    : saver_(saver) {
  saver.pictureReading.reset();
  saver.pictureFiles.clear();
  saver.unusablePictures.clear();
  saver.pictureWalkDone = false;
  saver.pictureReading = std::make_unique<PictureReader>(saver, folder, notified);
}

bool FolderPictureCount::LookFurther() {
  const auto& unusable = saver_.unusablePictures;
  for (; seen_ < unusable.size(); ++seen_) {
    if (!unusable[seen_]) ++found_;
  }
  return saver_.pictureWalkDone;
}

}  // namespace orvanel::slideshow
