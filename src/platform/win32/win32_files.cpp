// The user's picture files, through the ANSI functions as the rest of the
// saver's paths: a name the ANSI code page cannot write is reached by its
// short name. A folder is known by its volume and file index, links and
// junctions followed. The folder is chosen in the shell's own dialog.
#include <windows.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/win32/ansi_text.h"
#include "platform/win32/com.h"
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

// A string the shell allocated, freed with CoTaskMemFree.
class ShellString {
 public:
  ~ShellString() { CoTaskMemFree(text_); }
  PWSTR* Out() { return &text_; }
  const wchar_t* get() const { return text_; }

 private:
  PWSTR text_ = nullptr;
};

}  // namespace

std::optional<std::string> Win32Desktop::ChooseFolder(WindowHandle owner, const std::string& title,
                                                      const std::string& start) {
  // The shell's common item dialog, picking folders of the file system.
  const ScopedCom com;
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(dialog.Out())))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(Wide(title).c_str());
  if (!start.empty()) {
    ComPtr<IShellItem> startItem;
    if (SUCCEEDED(SHCreateItemFromParsingName(Wide(start).c_str(), nullptr, IID_PPV_ARGS(startItem.Out())))) {
      dialog->SetFolder(startItem.operator->());
    }
  }
  if (FAILED(dialog->Show(reinterpret_cast<HWND>(static_cast<std::intptr_t>(owner))))) return std::nullopt;
  ComPtr<IShellItem> chosen;
  ShellString path;
  if (FAILED(dialog->GetResult(chosen.Out())) || FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, path.Out()))) {
    return std::nullopt;
  }
  return Ansi(path.get());
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

std::optional<std::size_t> Win32Desktop::ReadFilePart(const std::string& path, std::uint64_t offset,
                                                     std::span<std::uint8_t> into) {
  const ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  std::size_t got = 0;
  while (got < into.size()) {
    // The position goes with each read: the handle is synchronous, so the
    // read ends before ReadFile returns.
    OVERLAPPED at{};
    const std::uint64_t position = offset + got;
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(into.size() - got, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file.get(), into.data() + got, ask, &read, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return std::nullopt;
    }
    if (read == 0) break;
    got += read;
  }
  return got;
}

}  // namespace orvanel::platform::win32
