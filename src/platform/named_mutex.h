#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "platform/desktop.h"

namespace orvanel::platform {

// A handle on a named mutex, closed when the object goes.
class NamedMutex {
 public:
  NamedMutex() = default;
  NamedMutex(Desktop& desktop, std::uintptr_t handle) : desktop_(&desktop), handle_(handle) {}
  NamedMutex(NamedMutex&& other) noexcept
      : desktop_(other.desktop_), handle_(std::exchange(other.handle_, 0)) {}
  NamedMutex& operator=(NamedMutex&& other) noexcept {
    if (this != &other) {
      Close();
      desktop_ = other.desktop_;
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  ~NamedMutex() { Close(); }

  // A handle on an existing mutex of that name, or an empty one.
  static NamedMutex Open(Desktop& desktop, const std::string& name) {
    return NamedMutex(desktop, desktop.OpenNamedMutex(name));
  }
  // A new unowned mutex of that name (or the existing one), or an empty one;
  // `existed` tells whether the name was there already.
  static NamedMutex Create(Desktop& desktop, const std::string& name, bool& existed) {
    return NamedMutex(desktop, desktop.CreateNamedMutex(name, existed));
  }
  static NamedMutex Create(Desktop& desktop, const std::string& name) {
    bool existed = false;
    return Create(desktop, name, existed);
  }

  explicit operator bool() const { return handle_ != 0; }
  std::uintptr_t handle() const { return handle_; }

  void Release() {
    if (handle_ != 0) desktop_->ReleaseNamedMutex(handle_);
  }

 private:
  void Close() {
    if (handle_ != 0) desktop_->CloseNamedMutex(std::exchange(handle_, 0));
  }

  Desktop* desktop_ = nullptr;
  std::uintptr_t handle_ = 0;
};

}  // namespace orvanel::platform
