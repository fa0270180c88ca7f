// The user's picture files, through POSIX: paths as the user gave them (no
// backslash turned into a slash, as a Linux name may hold one), links
// followed, a folder known by its device and inode.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "platform/gtk/gtk_desktop.h"

namespace orvanel::platform::gtk {
namespace {

std::string IdentityOf(const struct stat& info) {
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// A descriptor closed on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads up to `count` bytes, through short reads and signals; false on an error.
bool ReadFully(int fd, std::uint8_t* into, std::size_t count, std::size_t& got) {
  got = 0;
  while (got < count) {
    const ssize_t n = read(fd, into + got, count - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, std::size_t most, bool whole) {
  const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  struct stat info{};
  if (fd.get() < 0 || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  if (whole && size > most) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uintmax_t>(size, most)));
  std::size_t got = 0;
  if (!ReadFully(fd.get(), bytes.data(), bytes.size(), got)) return std::nullopt;
  // A file cut short since its size was asked is read as far as it goes.
  bytes.resize(got);
  return bytes;
}

}  // namespace

FolderListing GtkDesktop::ListFolder(const std::string& path) {
  FolderListing listing;
  const std::unique_ptr<DIR, DirCloser> dir(opendir(path.c_str()));
  struct stat own{};
  if (!dir || fstat(dirfd(dir.get()), &own) != 0) return listing;
  listing.readable = true;
  listing.identity = IdentityOf(own);
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry item;
    item.name = name;
    item.path = path + (!path.empty() && path.back() == '/' ? "" : "/") + name;
    item.hidden = name.front() == '.';
    // Through links: a linked folder is listed as a folder, its identity
    // that of the folder it leads to.
    struct stat info{};
    if (stat(item.path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      item.folder = true;
      item.identity = IdentityOf(info);
    }
    listing.entries.push_back(std::move(item));
  }
  return listing;
}

std::optional<std::vector<std::uint8_t>> GtkDesktop::ReadFileStart(const std::string& path, std::size_t count) {
  return ReadFile(path, count, false);
}

std::optional<std::vector<std::uint8_t>> GtkDesktop::ReadWholeFile(const std::string& path, std::size_t limit) {
  return ReadFile(path, limit, true);
}

}  // namespace orvanel::platform::gtk
