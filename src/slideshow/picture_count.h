#pragma once
// The pictures of a folder counted as the slideshow finds them: the settings
// dialog shows the count in its folder row. The same walk and the same
// looks as the slideshow's run on the reader's work thread; the dialog
// takes what they found so far at each of its ticks, never waiting on them.
#include <cstddef>
#include <string>

#include "instance/saver.h"
#include "platform/desktop.h"

namespace orvanel::slideshow {

// Whether the file starts as a picture the saver shows: one look at its
// first bytes, for its format and, where they hold it, its header's size.
bool LooksLikePicture(platform::Desktop& desktop, const std::string& path);

class FolderPictureCount {
 public:
  // Starts the walk of `folder`, in place of any walk the instance had; its
  // findings come with the reader's messages to `notified`.
  FolderPictureCount(instance::Saver& saver, const std::string& folder, platform::WindowHandle notified);

  // Counts what was delivered since the last call; true once the walk is over.
  bool LookFurther();
  std::size_t Found() const { return found_; }

 private:
  instance::Saver& saver_;
  std::size_t seen_ = 0;
  std::size_t found_ = 0;
};

}  // namespace orvanel::slideshow
