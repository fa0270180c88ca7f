// The services that are not windows: sleeping and clocks, named mutexes as
// file locks, folders and the saver's INI files, the shell, the resources
// compiled into the program, and error reports.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/gtk/captions.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/host_folders.h"
#include "platform/ini/ini_file.h"
#include "resources/embedded_resources.h"

namespace orvanel::platform::gtk {
namespace {

DateTime DateTimeOf(const std::tm& t, long milliseconds) {
  return DateTime{static_cast<std::uint16_t>(t.tm_year + 1900), static_cast<std::uint16_t>(t.tm_mon + 1),
                  static_cast<std::uint16_t>(t.tm_mday),        static_cast<std::uint16_t>(t.tm_hour),
                  static_cast<std::uint16_t>(t.tm_min),         static_cast<std::uint16_t>(t.tm_sec),
                  static_cast<std::uint16_t>(milliseconds)};
}

std::string Upper(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A handle is a read lock on the whole file, owned by its open file
// description (not by the process, and so not shared with the process's other
// handles), and dropped by the system when the process ends however it ends.
bool TakeReadLock(int fd) {
  struct flock lock{};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Some handle holds a lock on the file: the named mutex exists. Asked
// without taking anything, so that asking never disturbs a creation.
bool Held(int fd) {
  struct flock probe{};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  return fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

}  // namespace

// --- Process -------------------------------------------------------------------

std::uint32_t GtkDesktop::ProcessId() { return static_cast<std::uint32_t>(getpid()); }

// --- Sleep and clocks ---------------------------------------------------------

DateTime GtkDesktop::LocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  lastClockReadingMs_ = static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
  std::tm t{};
  localtime_r(&now.tv_sec, &t);
  return DateTimeOf(t, now.tv_nsec / 1'000'000);
}

DateTime GtkDesktop::SystemTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm t{};
  gmtime_r(&now.tv_sec, &t);
  return DateTimeOf(t, now.tv_nsec / 1'000'000);
}

// --- Named mutexes ---------------------------------------------------------------
// A mutex is a lock file in the user's runtime folder; every handle holds a
// read lock on it. The name becomes the file's name, a slash made harmless.

std::string GtkDesktop::LockPath(const std::string& name) const {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = runtime != nullptr && *runtime != '\0' ? runtime : "/tmp";
  std::string file = name;
  for (auto& c : file) {
    if (c == '/') c = '_';
  }
  return folder + "/orvanel-" + std::to_string(getuid()) + "-" + file + ".lock";
}

std::uintptr_t GtkDesktop::OpenNamedMutex(const std::string& name) {
  const int fd = open(LockPath(name).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return 0;
  if (!Held(fd) || !TakeReadLock(fd)) {
    close(fd);
    return 0;
  }
  mutexes_[nextMutex_] = {fd, LockPath(name)};
  return nextMutex_++;
}

std::uintptr_t GtkDesktop::CreateNamedMutex(const std::string& name, bool& existed) {
  const std::string path = LockPath(name);
  // Testing and taking happen under a lock of their own, so that of two
  // processes making the same name at once, one finds it made.
  const int guard = open((path + ".guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (guard < 0) return 0;
  flock(guard, LOCK_EX);
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  std::uintptr_t handle = 0;
  if (fd >= 0) {
    existed = Held(fd);
    if (TakeReadLock(fd)) {
      mutexes_[nextMutex_] = {fd, path};
      handle = nextMutex_++;
    } else {
      close(fd);
    }
  }
  flock(guard, LOCK_UN);
  close(guard);
  return handle;
}

void GtkDesktop::ReleaseNamedMutex(std::uintptr_t) {}

void GtkDesktop::CloseNamedMutex(std::uintptr_t mutex) {
  const auto it = mutexes_.find(mutex);
  if (it == mutexes_.end()) return;
  close(it->second.fd);
  // The last handle of a name takes its files along, under the guard that
  // creation takes too.
  const std::string path = it->second.path;
  mutexes_.erase(it);
  const int guard = open((path + ".guard").c_str(), O_RDWR | O_CLOEXEC);
  if (guard < 0) return;
  flock(guard, LOCK_EX);
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd >= 0) {
    if (!Held(fd)) {
      unlink(path.c_str());
      unlink((path + ".guard").c_str());
    }
    close(fd);
  }
  flock(guard, LOCK_UN);
  close(guard);
}

// --- Folders, INI files, the shell -------------------------------------------------

std::string GtkDesktop::SpecialFolder(int folder) { return SpecialFolderPath(folder); }

bool GtkDesktop::FolderExists(const std::string& path) {
  struct stat info{};
  return stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool GtkDesktop::CreateFolder(const std::string& path) { return mkdir(NativePath(path).c_str(), 0755) == 0; }

std::string GtkDesktop::ReadIniString(const std::string& path, const std::string& section,
                                      const std::string& key) {
  return ini::ReadValue(NativePath(path), section, key);
}

bool GtkDesktop::WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                                const std::string& value) {
  return ini::WriteValue(NativePath(path), section, key, value);
}

void GtkDesktop::ShellOpen(const std::string& address) {
  try {
    Glib::spawn_async("", std::vector<std::string>{"xdg-open", address}, Glib::SPAWN_SEARCH_PATH);
  } catch (const Glib::SpawnError& error) {
    // No opener on this system: the click does nothing, as a failed open does on Windows.
    std::fprintf(stderr, "orvanel: cannot open %s: %s\n", address.c_str(), error.what().c_str());
  }
}

// --- Captions ------------------------------------------------------------------------

TextMask GtkDesktop::RenderText(const std::string& text, std::int32_t lineHeight) {
  return RenderCaptionText(text, lineHeight);
}

std::string GtkDesktop::LongDate(const DateTime& date) { return LongDateIn(DateLocale(), date); }

// A picture's path as the user gave it, as ReadFilePart takes it.
std::optional<DateTime> GtkDesktop::FileModifiedTime(const std::string& path) {
  struct stat info{};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  std::tm t{};
  if (localtime_r(&info.st_mtim.tv_sec, &t) == nullptr) return std::nullopt;
  return DateTimeOf(t, info.st_mtim.tv_nsec / 1'000'000);
}

// --- Resources and reports -----------------------------------------------------------

std::optional<std::span<const std::uint8_t>> GtkDesktop::FindModuleResource(const std::string& name,
                                                                           const std::string& type) {
  const std::string wantedName = Upper(name);
  const std::string wantedType = Upper(type);
  for (const auto& resource : resources::EmbeddedResources()) {
    if (wantedName == resource.name && wantedType == resource.type) return resource.bytes;
  }
  return std::nullopt;
}

void GtkDesktop::WriteToHostLog(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

void GtkDesktop::ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t,
                                WhileBoxShows& whileShown) {
  // Above the full-screen outputs, and modal: the saver's messages go on
  // through `whileShown` between the toolkit's passes.
  Gtk::MessageDialog box(text, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK, true);
  box.set_title(caption);
  box.set_keep_above(true);
  bool answered = false;
  box.signal_response().connect([&answered](int) { answered = true; });
  box.show();
  box.present();
  while (!answered) {
    g_main_context_iteration(nullptr, TRUE);
    if (!answered && !whileShown.DispatchWaiting()) break;
  }
}

}  // namespace orvanel::platform::gtk
