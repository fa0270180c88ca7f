#pragma once
// COM for the calling thread, and its interface pointers, each given back
// on every way out.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace orvanel::platform::win32 {

// COM on the calling thread for as long as the object lives; a thread that
// has it already, in whichever model, keeps it as it was.
class ScopedCom {
 public:
  ScopedCom() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~ScopedCom() {
    if (ok_) CoUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

 private:
  bool ok_;
};

// A COM interface pointer, released on every way out.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr& operator=(ComPtr&&) = delete;
  T* operator->() const { return pointer_; }
  T* get() const { return pointer_; }
  T** Out() { return &pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

}  // namespace orvanel::platform::win32
