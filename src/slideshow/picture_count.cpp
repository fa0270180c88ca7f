#include "slideshow/picture_count.h"

#include <cstdint>
#include <span>

#include "platform/photo/photo_format.h"
#include "slideshow/photo_fit.h"
#include "slideshow/picture_reader.h"

namespace orvanel::slideshow {

namespace {

// The header of a photo, when its first bytes hold it, taken from its own
// decoder: given only those bytes, the decoder reads no further, and the
// photo is refused once its header is known.
class HeaderGlance : public platform::photo::PhotoTarget {
 public:
  std::optional<platform::photo::PhotoSize> Plan(const platform::photo::PhotoHeader& header) override {
    shown_ = PhotoSizeShown(header);
    return std::nullopt;
  }
  platform::photo::RowSink* Sink() override { return nullptr; }
  // False only for a header the saver would refuse.
  bool Shown() const { return shown_; }

 private:
  bool shown_ = true;
};

}  // namespace

bool LooksLikePicture(platform::Desktop& desktop, const std::string& path) {
  std::uint8_t start[platform::photo::kProbeBytes];
  const auto read = desktop.ReadFilePart(path, 0, std::span<std::uint8_t>(start));
  if (!read) return false;
  const std::span<const std::uint8_t> first(start, *read);
  if (!platform::photo::IsPhotoStart(first)) return false;
  // A photo larger than the saver decodes is not one it shows: the count
  // leaves it out, and the slideshow never reads it.
  HeaderGlance glance;
  platform::photo::DecodePhoto(platform::photo::MemorySource(first), glance);
  return glance.Shown();
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
