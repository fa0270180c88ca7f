#pragma once
// Pixels in memory shared with the compositor, as one buffer of its.
#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvanel::platform::gtk {

class ShmBuffer {
 public:
  // Height rows of `stride` bytes in `format` (one of wl_shm's); null when
  // the memory cannot be had.
  static std::unique_ptr<ShmBuffer> Create(wl_shm* shm, std::int32_t width, std::int32_t height,
                                           std::int32_t stride, std::uint32_t format);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  wl_buffer* Buffer() const { return buffer_; }
  std::uint8_t* Pixels() const { return static_cast<std::uint8_t*>(pixels_); }
  std::ptrdiff_t Stride() const { return stride_; }

 private:
  ShmBuffer(void* pixels, std::size_t size, std::ptrdiff_t stride) : pixels_(pixels), size_(size), stride_(stride) {}

  void* pixels_;
  std::size_t size_;
  std::ptrdiff_t stride_;
  wl_buffer* buffer_ = nullptr;
};

}  // namespace orvanel::platform::gtk
