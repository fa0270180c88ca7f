#include "platform/gtk/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include "platform/gtk/wayland/wayland_objects.h"

namespace orvanel::platform::gtk {
namespace {

// A file descriptor closed with its owner.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

std::unique_ptr<ShmBuffer> ShmBuffer::Create(wl_shm* shm, std::int32_t width, std::int32_t height,
                                             std::int32_t stride, std::initializer_list<std::uint32_t> formats) {
  if (width <= 0 || height <= 0 || stride < width * 4) return nullptr;
  const auto size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  // The compositor maps the memory by its descriptor; the buffer keeps the
  // mapping, and the descriptor is needed no longer once the pool is made.
  const FileDescriptor memory{memfd_create("orvanel-frame", MFD_CLOEXEC)};
  if (memory.fd < 0 || ftruncate(memory.fd, static_cast<off_t>(size)) != 0) return nullptr;
  void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, memory.fd, 0);
  if (pixels == MAP_FAILED) return nullptr;
  std::unique_ptr<ShmBuffer> made(new ShmBuffer(pixels, size, stride));
  const WaylandOwned<wl_shm_pool, wl_shm_pool_destroy> pool(
      wl_shm_create_pool(shm, memory.fd, static_cast<std::int32_t>(size)));
  for (const std::uint32_t format : formats) {
    made->buffers_.push_back(wl_shm_pool_create_buffer(pool.get(), 0, width, height, stride, format));
  }
  return made;
}

ShmBuffer::~ShmBuffer() {
  for (wl_buffer* buffer : buffers_) wl_buffer_destroy(buffer);
  munmap(pixels_, size_);
}

}  // namespace orvanel::platform::gtk
