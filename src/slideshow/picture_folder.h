#pragma once
// The user's pictures folder: the files of the folder and of every folder
// below it, listed once when the slideshow starts, by name only (no file is
// opened), in the order a person reads names: letters regardless of case,
// runs of digits by their value (IMG_2 before IMG_10).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "instance/photo_display.h"
#include "platform/desktop.h"
#include "slideshow/picture_source.h"

namespace orvanel::slideshow {

// Beyond these a listing stops: a folder tree this large or deep is not one
// of photos to show.
inline constexpr std::size_t kMaxPictureFiles = 1'000'000;
inline constexpr int kMaxFolderDepth = 64;

// True when `a` comes before `b` in the order above; equal names in it are
// ordered by their bytes, so the order is total.
bool NameBefore(std::string_view a, std::string_view b);

// The files below a folder in name order, hidden ones left out, a folder
// reached twice (through a link) listed once, each folder listed only when
// the files before it have been given: a walk can be taken a step at a time.
class FolderWalk {
 public:
  FolderWalk(platform::Desktop& desktop, const std::string& folder);
  // The next file; nothing once every file has been given.
  std::optional<std::string> Next();
  // How many folders have been listed so far.
  std::size_t Listed() const { return listed_; }

 private:
  struct OpenFolder {
    std::vector<platform::FolderEntry> entries;  // in name order
    std::size_t next = 0;
    int depth = 0;
  };
  void Enter(const std::string& folder, const std::string& identity, int depth);

  platform::Desktop& desktop_;
  std::vector<OpenFolder> open_;  // the folder being walked last
  std::set<std::string> visited_;
  std::size_t given_ = 0;
  std::size_t listed_ = 0;
};

// Every file of the walk. Empty when the folder cannot be read or holds no file.
std::vector<std::string> ListPictures(platform::Desktop& desktop, const std::string& folder);

// The file framed in the area; nothing when it is not a picture that can be
// shown (not there, unreadable, in no format read here, damaged, too large),
// or once `stop` is set: the file then reads as one that ends early.
std::optional<FittedPicture> LoadPhoto(platform::Desktop& desktop, const std::string& path,
                                       std::int32_t areaWidth, std::int32_t areaHeight,
                                       instance::FitMode mode = instance::FitMode::kFit,
                                       const std::atomic<bool>* stop = nullptr);

}  // namespace orvanel::slideshow
