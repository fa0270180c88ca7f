// The user's picture files, through the ANSI functions as the rest of the
// saver's paths: a name the ANSI code page cannot write is reached by its
// short name. A folder is known by its volume and file index, links and
// junctions followed.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_desktop.h"

namespace orvanel::platform::win32 {
namespace {

std::string Joined(const std::string& folder, const std::string& name) {
  return folder + (!folder.empty() && (folder.back() == '\\' || folder.back() == '/') ? "" : "\\") + name;
}

// Opens a file or folder for its information only; links are followed.
ScopedFile OpenForInformation(const std::string& path) {
  return ScopedFile(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::string IdentityOf(const std::string& path) {
  const ScopedFile file = OpenForInformation(path);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return {};
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
}

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, std::size_t most, bool whole) {
  const ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
      size.QuadPart < 0) {
    return std::nullopt;
  }
  const auto length = static_cast<unsigned long long>(size.QuadPart);
  if (whole && length > most) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<unsigned long long>(length, most)));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + got, ask, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // cut short since its size was asked
    got += read;
  }
  bytes.resize(got);
  return bytes;
}

// The shell's folder dialog opens at the folder given, once it is up.
int CALLBACK OnFolderDialog(HWND dialog, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, start);
  return 0;
}

// The new-style folder dialog needs OLE on the calling thread, for as long as it shows.
class ScopedOle {
 public:
  ScopedOle() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~ScopedOle() {
    if (ok_) OleUninitialize();
  }
  ScopedOle(const ScopedOle&) = delete;
  ScopedOle& operator=(const ScopedOle&) = delete;

 private:
  bool ok_;
};

}  // namespace

std::optional<std::string> Win32Desktop::ChooseFolder(WindowHandle owner, const std::string& title,
                                                      const std::string& start) {
  const ScopedOle ole;
  BROWSEINFOA info{};
  info.hwndOwner = reinterpret_cast<HWND>(static_cast<std::intptr_t>(owner));
  info.lpszTitle = title.c_str();
  // Folders of the file system only, with a box to type a path into.
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_USENEWUI;
  info.lpfn = OnFolderDialog;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  if (chosen == nullptr) return std::nullopt;
  std::array<char, MAX_PATH> path{};
  const bool named = SHGetPathFromIDListA(chosen, path.data()) != FALSE;
  CoTaskMemFree(chosen);
  if (!named) return std::nullopt;
  return std::string(path.data());
}

FolderListing Win32Desktop::ListFolder(const std::string& path) {
  FolderListing listing;
  WIN32_FIND_DATAA found{};
  const ScopedFind find(FindFirstFileExA(Joined(path, "*").c_str(), FindExInfoStandard, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find.valid()) return listing;
  listing.readable = true;
  listing.identity = IdentityOf(path);
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    // The code page's stand-in for a character it lacks makes a name that
    // opens nothing; the short name opens the same file.
    if (name.find('?') != std::string::npos && found.cAlternateFileName[0] != '\0') {
      name = found.cAlternateFileName;
    }
    FolderEntry item;
    item.name = name;
    item.path = Joined(path, name);
    item.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.hidden = (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    if (item.folder) item.identity = IdentityOf(item.path);
    listing.entries.push_back(std::move(item));
  } while (FindNextFileA(find.get(), &found));
  return listing;
}

std::optional<std::vector<std::uint8_t>> Win32Desktop::ReadFileStart(const std::string& path, std::size_t count) {
  return ReadFile(path, count, false);
}

std::optional<std::vector<std::uint8_t>> Win32Desktop::ReadWholeFile(const std::string& path, std::size_t limit) {
  return ReadFile(path, limit, true);
}

}  // namespace orvanel::platform::win32
