#include "slideshow/picture_folder.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/photo/byte_source.h"
#include "slideshow/photo_fit.h"

namespace orvanel::slideshow {
namespace {

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// -1, 0 or 1 as `a` comes before, with, or after `b`, case and the zeros
// before a number aside.
int CompareNames(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      std::size_t ei = i, ej = j;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      // The longer run without leading zeros is the larger number.
      if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
      if (const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j)); c != 0) return c < 0 ? -1 : 1;
      i = ei;
      j = ej;
      continue;
    }
    const char x = Folded(a[i]);
    const char y = Folded(b[j]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// A photo file read through the desktop a piece at a time, each piece
// opened afresh: a file removed or cut short meanwhile reads as one that
// ends early, which the decoders refuse.
class PhotoFile : public platform::photo::ByteSource {
 public:
  PhotoFile(platform::Desktop& desktop, const std::string& path, const std::atomic<bool>* stop)
      : desktop_(desktop), path_(path), stop_(stop) {}
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override {
    if (stop_ != nullptr && *stop_) return 0;
    return desktop_.ReadFilePart(path_, offset, std::span<std::uint8_t>(into, count)).value_or(0);
  }

 private:
  platform::Desktop& desktop_;
  const std::string& path_;
  const std::atomic<bool>* stop_;
};

}  // namespace

bool NameBefore(std::string_view a, std::string_view b) {
  const int c = CompareNames(a, b);
  return c != 0 ? c < 0 : a < b;
}

FolderWalk::FolderWalk(platform::Desktop& desktop, const std::string& folder) : desktop_(desktop) {
  if (!folder.empty()) Enter(folder, "", 0);
}

void FolderWalk::Enter(const std::string& folder, const std::string& identity, int depth) {
  if (depth > kMaxFolderDepth) return;
  auto listing = desktop_.ListFolder(folder);
  ++listed_;
  if (!listing.readable) return;
  const std::string& own = identity.empty() ? listing.identity : identity;
  if (!own.empty() && !visited_.insert(own).second) return;
  auto& entries = listing.entries;
  std::sort(entries.begin(), entries.end(),
            [](const platform::FolderEntry& a, const platform::FolderEntry& b) { return NameBefore(a.name, b.name); });
  open_.push_back(OpenFolder{std::move(entries), 0, depth});
}

std::optional<std::string> FolderWalk::Next() {
  while (!open_.empty() && given_ < kMaxPictureFiles) {
    OpenFolder& folder = open_.back();
    if (folder.next == folder.entries.size()) {
      open_.pop_back();
      continue;
    }
    const platform::FolderEntry& entry = folder.entries[folder.next++];
    if (entry.hidden) continue;
    if (entry.folder) {
      // Copied first: entering pushes onto the stack that holds the entry.
      const std::string path = entry.path;
      const std::string identity = entry.identity;
      Enter(path, identity, folder.depth + 1);
      continue;
    }
    ++given_;
    return entry.path;
  }
  return std::nullopt;
}

std::vector<std::string> ListPictures(platform::Desktop& desktop, const std::string& folder) {
  std::vector<std::string> files;
  FolderWalk walk(desktop, folder);
  while (auto file = walk.Next()) files.push_back(std::move(*file));
  return files;
}

std::optional<FittedPicture> LoadPhoto(platform::Desktop& desktop, const std::string& path,
                                       std::int32_t areaWidth, std::int32_t areaHeight, instance::FitMode mode,
                                       const std::atomic<bool>* stop) {
  return FitPhoto(desktop, PhotoFile(desktop, path, stop), areaWidth, areaHeight, mode);
}

}  // namespace orvanel::slideshow
