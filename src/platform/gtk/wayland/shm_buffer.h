#pragma once
// Pixels in memory shared with the compositor, as buffers of its: one for
// each pixel format the memory is to be read in.
#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace orvanel::platform::gtk {

class ShmBuffer {
 public:
  // Height rows of `stride` bytes, read in each of `formats` (wl_shm's);
  // null when the memory cannot be had.
  static std::unique_ptr<ShmBuffer> Create(wl_shm* shm, std::int32_t width, std::int32_t height,
                                           std::int32_t stride, std::initializer_list<std::uint32_t> formats);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  // The buffer that reads the memory in the nth of the formats.
  wl_buffer* Buffer(std::size_t format = 0) const { return buffers_[format]; }
  std::uint8_t* Pixels() const { return static_cast<std::uint8_t*>(pixels_); }
  std::ptrdiff_t Stride() const { return stride_; }

 private:
  ShmBuffer(void* pixels, std::size_t size, std::ptrdiff_t stride) : pixels_(pixels), size_(size), stride_(stride) {}

  void* pixels_;
  std::size_t size_;
  std::ptrdiff_t stride_;
  std::vector<wl_buffer*> buffers_;
};

}  // namespace orvanel::platform::gtk
