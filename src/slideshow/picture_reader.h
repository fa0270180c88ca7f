#pragma once
// The reader of the user's folder: on a work thread of the desktop's, it
// walks the folder in name order and looks at the first bytes of each file,
// and frames the photos the presenter asks for, handing each finding over
// through one message to the main window. The user-interface thread takes
// the findings into the saver's state (Deliver) and never waits for them.
#include <cstdint>
#include <memory>
#include <string>

#include "instance/picture_reading.h"

namespace orvanel::instance {
struct Saver;
}

namespace orvanel::slideshow {

class PictureReader : public instance::PictureReading {
 public:
  // Starts the walk of `folder` at once; `notified` is the window its
  // messages go to.
  PictureReader(instance::Saver& saver, const std::string& folder, platform::WindowHandle notified);
  // Stops the work: a photo being read is given up at its next read.
  ~PictureReader() override;
  PictureReader(const PictureReader&) = delete;
  PictureReader& operator=(const PictureReader&) = delete;

  void Read(const instance::PictureRequest& request, const std::string& path) override;
  void Deliver(std::uintptr_t delivery) override;

  // Files the walk gives the work thread between two looks at the requests,
  // and how many of the first pictures found go one a step.
  static constexpr int kFilesPerStep = 64;
  static constexpr int kPromptPictures = 8;

 private:
  struct Work;
  instance::Saver& saver_;
  std::shared_ptr<Work> work_;
  std::unique_ptr<platform::WorkThread> thread_;
};

}  // namespace orvanel::slideshow
