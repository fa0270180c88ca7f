#pragma once
// The pictures of a folder counted as the slideshow would find them, a
// slice at a time: the settings dialog shows the count in its folder row
// and answers its user between the slices.
#include <cstddef>
#include <string>

#include "platform/desktop.h"
#include "slideshow/picture_folder.h"

namespace orvanel::slideshow {

// Whether the file starts as a picture the saver shows: one look at its
// first bytes, as the slideshow gives a file that is not one.
bool LooksLikePicture(platform::Desktop& desktop, const std::string& path);

class FolderPictureCount {
 public:
  // Nothing is listed or looked at yet.
  FolderPictureCount(platform::Desktop& desktop, const std::string& folder);

  // Walks the folders and looks at their files for about kSliceMs of the
  // clock; true once every file has been looked at.
  bool LookFurther();
  std::size_t Found() const { return found_; }

  static constexpr std::int64_t kSliceMs = 8;

 private:
  platform::Desktop& desktop_;
  FolderWalk walk_;
  bool walked_ = false;
  std::size_t found_ = 0;
};

}  // namespace orvanel::slideshow
