#include "slideshow/picture_reader.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "instance/saver.h"
#include "slideshow/picture_count.h"
#include "slideshow/picture_folder.h"

namespace orvanel::slideshow {
namespace {

// What one step of the work found, numbered in the order of the steps.
struct Delivery {
  std::uintptr_t number = 0;
  std::vector<std::string> files;  // of the walk, in its order
  std::vector<bool> pictures;      // whether each starts as a picture the saver shows
  bool walkDone = false;
  std::optional<instance::ReadPicture> read;
};

}  // namespace

// The state the work thread shares with the user-interface thread. The walk
// is the work thread's alone; the rest is guarded by `mutex`.
struct PictureReader::Work {
  Work(platform::Desktop& desktop, const std::string& folder) : desktop(desktop), walk(desktop, folder) {}

  platform::WorkStep Step();
  instance::ReadPicture Frame(const instance::PictureRequest& request, const std::string& path);

  platform::Desktop& desktop;
  FolderWalk walk;
  bool walked = false;
  int pictures = 0;  // found so far
  std::atomic<bool> stopping = false;

  std::mutex mutex;
  std::optional<std::pair<instance::PictureRequest, std::string>> asked;
  std::deque<Delivery> done;
  std::uintptr_t steps = 0;
};

platform::WorkStep PictureReader::Work::Step() {
  std::optional<std::pair<instance::PictureRequest, std::string>> request;
  {
    const std::lock_guard lock(mutex);
    request.swap(asked);
  }
  // A photo asked for goes before the rest of the walk: it is due on a screen.
  Delivery found;
  if (request) {
    found.read = Frame(request->first, request->second);
  } else if (!walked) {
    // A step lists one folder at most: a listing may be slow (a network
    // share), and a photo asked for waits for the step under way.
    const std::size_t listed = walk.Listed();
    for (int i = 0; i < kFilesPerStep && !stopping && walk.Listed() <= listed + 1; ++i) {
      auto file = walk.Next();
      if (!file) {
        walked = found.walkDone = true;
        break;
      }
      const bool picture = LooksLikePicture(desktop, *file);
      found.pictures.push_back(picture);
      found.files.push_back(std::move(*file));
      // The first pictures go to the slideshow at once, which may be waiting for them.
      if (picture && ++pictures <= kPromptPictures) break;
    }
  } else {
    return {};
  }
  if (stopping) return {};
  const std::lock_guard lock(mutex);
  found.number = ++steps;
  done.push_back(std::move(found));
  return platform::WorkStep{asked.has_value() || !walked, steps};
}

instance::ReadPicture PictureReader::Work::Frame(const instance::PictureRequest& request, const std::string& path) {
  instance::ReadPicture read;
  read.request = request;
  auto photo = LoadPhoto(desktop, path, request.areaWidth, request.areaHeight, request.fit, &stopping);
  if (!photo) return read;
  read.usable = true;
  read.bitmap = std::move(photo->bitmap);
  read.width = photo->width;
  read.height = photo->height;
  // A photo that does not say when it was taken is dated by its file.
  read.taken = photo->taken ? photo->taken : desktop.FileModifiedTime(path);
  return read;
}

PictureReader::PictureReader(instance::Saver& saver, const std::string& folder, platform::WindowHandle notified)
    : saver_(saver), work_(std::make_shared<Work>(saver.desktop, folder)) {
  thread_ = saver.desktop.StartWorkThread([work = work_] { return work->Step(); }, notified,
                                          instance::WM_PICTURESREAD);
}

PictureReader::~PictureReader() {
  work_->stopping = true;
  thread_.reset();
}

void PictureReader::Read(const instance::PictureRequest& request, const std::string& path) {
  {
    const std::lock_guard lock(work_->mutex);
    work_->asked.emplace(request, path);
  }
  thread_->Wake();
}

void PictureReader::Deliver(std::uintptr_t delivery) {
  std::deque<Delivery> taken;
  {
    const std::lock_guard lock(work_->mutex);
    while (!work_->done.empty() && work_->done.front().number <= delivery) {
      taken.push_back(std::move(work_->done.front()));
      work_->done.pop_front();
    }
  }
  auto& files = saver_.pictureFiles;
  for (Delivery& found : taken) {
    for (std::size_t i = 0; i < found.files.size(); ++i) {
      // New pictures join the cycle under way: each is shown once in it.
      if (found.pictures[i]) saver_.picturePool.push_back(std::to_string(files.size()));
      files.push_back(std::move(found.files[i]));
      saver_.unusablePictures.push_back(!found.pictures[i]);
    }
    if (found.walkDone) saver_.pictureWalkDone = true;
    // An answer to a request since given up is dropped.
    if (found.read && saver_.pictureAsked == found.read->request) {
      saver_.pictureAsked.reset();
      saver_.pictureRead = std::move(found.read);
    }
    ++saver_.pictureDeliveries;
  }
}

}  // namespace orvanel::slideshow
