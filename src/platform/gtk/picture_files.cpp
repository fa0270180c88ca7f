// The user's picture files, through POSIX: paths as the user gave them (no
// backslash turned into a slash, as a Linux name may hold one), links
// followed, a folder known by its device and inode.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
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
    // that of the folder it leads to. A plain file needs no look of its own:
    // a library holds far more files than folders.
    struct stat info{};
    if (entry->d_type != DT_REG && stat(item.path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      item.folder = true;
      item.identity = IdentityOf(info);
    }
    listing.entries.push_back(std::move(item));
  }
  return listing;
}

std::optional<std::size_t> GtkDesktop::ReadFilePart(const std::string& path, std::uint64_t offset,
                                                   std::span<std::uint8_t> into) {
  const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  struct stat info{};
  if (fd.get() < 0 || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return 0;
  // Through short reads and signals, to the end of the file.
  std::size_t got = 0;
  while (got < into.size()) {
    const ssize_t n = pread(fd.get(), into.data() + got, into.size() - got, static_cast<off_t>(offset + got));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    got += static_cast<std::size_t>(n);
  }
  return got;
}

}  // namespace orvanel::platform::gtk
