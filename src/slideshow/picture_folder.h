#pragma once
// The user's pictures folder: the files of the folder and of every folder
// below it, listed once when the slideshow starts, by name only (no file is
// opened), in the order a person reads names: letters regardless of case,
// runs of digits by their value (IMG_2 before IMG_10).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The files below `folder`, in name order, hidden ones left out, a folder
// reached twice (through a link) listed once. Empty when the folder cannot
// be read or holds no file.
std::vector<std::string> ListPictures(platform::Desktop& desktop, const std::string& folder);

// The file fitted to the area; nothing when it is not a picture that can be
// shown (not there, unreadable, in no format read here, damaged, too large).
std::optional<FittedPicture> LoadPhoto(platform::Desktop& desktop, const std::string& path,
                                       std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace orvanel::slideshow
