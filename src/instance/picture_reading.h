#pragma once
// The photos of the user's folder, read beside the slideshow: what the
// presenter asks of the reader, and what comes back. The reader walks the
// folder, looks at each file and frames the photos asked for on a work
// thread; the user-interface thread takes what is done when the reader's
// message (WM_PICTURESREAD) arrives, and never waits on a disk or a decoder.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "instance/photo_display.h"
#include "platform/date_time.h"
#include "platform/desktop.h"

namespace orvanel::instance {

// Posted to the main window when the reader has something for it; the
// first parameter tells up to which of its deliveries.
inline constexpr std::uint32_t WM_PICTURESREAD = platform::kMsgUser + 112;

// One file of the walk framed for one target's area.
struct PictureRequest {
  std::int32_t index = 0;  // in the walk's order
  std::int32_t target = 0;
  std::int32_t areaWidth = 0;
  std::int32_t areaHeight = 0;
  FitMode fit = FitMode::kFit;
  bool operator==(const PictureRequest&) const = default;
};

// The reader's answer to a request.
struct ReadPicture {
  PictureRequest request;
  bool usable = false;  // false: the file cannot be shown
  std::unique_ptr<platform::Bitmap> bitmap;  // null for an empty area
  std::int32_t width = 0;
  std::int32_t height = 0;
  // When the photo was taken as it records it, else when its file was changed.
  std::optional<platform::DateTime> taken;
};

class PictureReading {
 public:
  virtual ~PictureReading() = default;
  // Asks for file `path` framed as `request` says; the answer replaces any
  // that was not yet taken. One request is read at a time.
  virtual void Read(const PictureRequest& request, const std::string& path) = 0;
  // On the reader's message: moves what it has delivered, up to `delivery`,
  // into the saver's state.
  virtual void Deliver(std::uintptr_t delivery) = 0;
};

}  // namespace orvanel::instance
