#pragma once
// Move-only owners of the Windows handles the backend takes, each given back
// in its destructor.
#include <windows.h>

#include <utility>

namespace orvanel::platform::win32 {

// A window's device context from GetDC, given back with ReleaseDC.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ScopedWindowDC(ScopedWindowDC&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(ScopedWindowDC&&) = delete;
  ~ScopedWindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context, deleted with DeleteDC.
class ScopedMemoryDC {
 public:
  explicit ScopedMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ScopedMemoryDC(ScopedMemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(ScopedMemoryDC&&) = delete;
  ~ScopedMemoryDC() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A GDI object (brush, bitmap, font), deleted with DeleteObject.
template <typename T>
class ScopedGdiObject {
 public:
  ScopedGdiObject() = default;
  explicit ScopedGdiObject(T object) : object_(object) {}
  ScopedGdiObject(ScopedGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ~ScopedGdiObject() { reset(); }
  T get() const { return object_; }
  void reset() {
    if (object_ != nullptr) DeleteObject(std::exchange(object_, nullptr));
  }

 private:
  T object_ = nullptr;
};

// An object selected into a device context, the previous one put back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A kernel handle that may be INVALID_HANDLE_VALUE (files), closed with CloseHandle.
class ScopedFile {
 public:
  explicit ScopedFile(HANDLE file) : file_(file) {}
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  ~ScopedFile() {
    if (valid()) CloseHandle(file_);
  }
  HANDLE get() const { return file_; }
  bool valid() const { return file_ != INVALID_HANDLE_VALUE && file_ != nullptr; }

 private:
  HANDLE file_;
};

// A library loaded for a moment, freed with FreeLibrary.
class ScopedLibrary {
 public:
  explicit ScopedLibrary(HMODULE library) : library_(library) {}
  ScopedLibrary(const ScopedLibrary&) = delete;
  ScopedLibrary& operator=(const ScopedLibrary&) = delete;
  ~ScopedLibrary() {
    if (library_ != nullptr) FreeLibrary(library_);
  }
  HMODULE get() const { return library_; }

 private:
  HMODULE library_;
};

// A search of a folder's entries, ended with FindClose.
class ScopedFind {
 public:
  explicit ScopedFind(HANDLE find) : find_(find) {}
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  ~ScopedFind() {
    if (valid()) FindClose(find_);
  }
  HANDLE get() const { return find_; }
  bool valid() const { return find_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE find_;
};

}  // namespace orvanel::platform::win32
