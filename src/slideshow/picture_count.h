#pragma once
// The pictures of a folder counted as the slideshow would find them, a
// slice at a time: the settings dialog shows the count in its folder row
// and answers its user between the slices.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace orvanel::slideshow {

// Whether the file starts as a picture the saver shows: one look at its
// first bytes, as the slideshow gives a file that is not one.
bool LooksLikePicture(platform::Desktop& desktop, const std::string& path);

class FolderPictureCount {
 public:
  // Lists the folder as the slideshow does; nothing is looked at yet.
  FolderPictureCount(platform::Desktop& desktop, const std::string& folder);

  // Looks at the next files for about kSliceMs of the clock; true once every
  // file has been looked at.
  bool LookFurther();
  std::size_t Found() const { return found_; }

  static constexpr std::int64_t kSliceMs = 8;

 private:
  platform::Desktop& desktop_;
  std::vector<std::string> files_;
  std::size_t next_ = 0;
  std::size_t found_ = 0;
};

}  // namespace orvanel::slideshow
