#include "platform/gtk/wayland/output_capture.h"

#include <gdk/gdkwayland.h>
#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/gtk/wayland/screencopy_protocol.h"
#include "platform/gtk/wayland/shm_buffer.h"
#include "platform/gtk/wayland/wayland_objects.h"

namespace orvanel::platform::gtk {
namespace {

using Clock = std::chrono::steady_clock;

// How long the compositor may take to answer; the saver shows from black
// rather than wait on one that does not.
constexpr std::chrono::milliseconds kAnswerWait{1000};

// The globals the copy needs, bound on a queue of the saver's own, so that
// their events never reach the toolkit's handlers.
struct Globals {
  wl_shm* shm = nullptr;
  zwlr_screencopy_manager_v1* copier = nullptr;
};

void Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
  auto& globals = *static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_shm_interface.name) == 0 && !globals.shm) {
    globals.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0 && !globals.copier) {
    globals.copier = static_cast<zwlr_screencopy_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_screencopy_manager_v1_interface, 1));
  }
}

void Withdrawn(void*, wl_registry*, std::uint32_t) {}

// What the compositor says of one copy.
struct Copy {
  std::uint32_t format = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t stride = 0;
  bool offered = false;
  bool upsideDown = false;
  bool ready = false;
  bool failed = false;
};

void Offered(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width,
             std::uint32_t height, std::uint32_t stride) {
  auto& copy = *static_cast<Copy*>(data);
  copy = Copy{format, width, height, stride, true};
}
void Flags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
  constexpr std::uint32_t kYInvert = 1;
  static_cast<Copy*>(data)->upsideDown = (flags & kYInvert) != 0;
}
void Ready(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
  static_cast<Copy*>(data)->ready = true;
}
void Failed(void* data, zwlr_screencopy_frame_v1*) { static_cast<Copy*>(data)->failed = true; }

// Reads and dispatches the queue's events until `done`; false when the
// connection fails or the compositor does not answer in time. The toolkit's
// events read meanwhile wait on its own queue.
bool DispatchUntil(wl_display* display, wl_event_queue* queue, const std::function<bool()>& done) {
  const auto deadline = Clock::now() + kAnswerWait;
  while (!done()) {
    while (wl_display_prepare_read_queue(display, queue) != 0) {
      if (wl_display_dispatch_queue_pending(display, queue) < 0) return false;
    }
    if (done()) {
      wl_display_cancel_read(display);
      break;
    }
    wl_display_flush(display);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd readable{wl_display_get_fd(display), POLLIN, 0};
    const int polled = left > 0 ? poll(&readable, 1, static_cast<int>(left)) : 0;
    if (polled <= 0) {
      wl_display_cancel_read(display);
      if (polled < 0 && errno == EINTR) continue;
      return false;
    }
    if (wl_display_read_events(display) < 0 || wl_display_dispatch_queue_pending(display, queue) < 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool CaptureOutput(GdkMonitor* monitor, compose::ScreenComposer& composer) {
  if (const char* off = std::getenv("ORVANEL_NO_SCREENCOPY"); off != nullptr && *off != '\0') return false;
  wl_output* output = gdk_wayland_monitor_get_wl_output(monitor);
  wl_display* display = gdk_wayland_display_get_wl_display(gdk_monitor_get_display(monitor));
  // The queue outlives every object on it.
  const WaylandOwned<wl_event_queue, wl_event_queue_destroy> queue(wl_display_create_queue(display));
  auto* onQueue = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(onQueue), queue.get());
  const WaylandOwned<wl_registry, wl_registry_destroy> registry(wl_display_get_registry(onQueue));
  wl_proxy_wrapper_destroy(onQueue);
  Globals globals;
  static const wl_registry_listener kRegistryListener{Announced, Withdrawn};
  wl_registry_add_listener(registry.get(), &kRegistryListener, &globals);
  const bool listed = wl_display_roundtrip_queue(display, queue.get()) >= 0;
  const WaylandOwned<wl_shm, wl_shm_destroy> shm(globals.shm);
  const WaylandOwned<zwlr_screencopy_manager_v1, zwlr_screencopy_manager_v1_destroy> copier(globals.copier);
  if (!listed || !shm || !copier) return false;

  const WaylandOwned<zwlr_screencopy_frame_v1, zwlr_screencopy_frame_v1_destroy> frame(
      zwlr_screencopy_manager_v1_capture_output(copier.get(), 0, output));
  Copy copy;
  static const zwlr_screencopy_frame_v1_listener kFrameListener{Offered, Flags, Ready, Failed};
  zwlr_screencopy_frame_v1_add_listener(frame.get(), &kFrameListener, &copy);
  if (!DispatchUntil(display, queue.get(), [&] { return copy.offered || copy.failed; }) || !copy.offered) {
    return false;
  }
  // 32-bit pixels laid out as the composer's; an output the compositor
  // scales has more pixels than the surface over it, and is not read.
  const bool sameLayout = copy.format == WL_SHM_FORMAT_XRGB8888 || copy.format == WL_SHM_FORMAT_ARGB8888;
  if (!sameLayout || copy.width != static_cast<std::uint32_t>(composer.Width()) ||
      copy.height != static_cast<std::uint32_t>(composer.Height())) {
    return false;
  }
  const auto pixels = ShmBuffer::Create(shm.get(), composer.Width(), composer.Height(),
                                        static_cast<std::int32_t>(copy.stride), copy.format);
  if (!pixels) return false;
  zwlr_screencopy_frame_v1_copy(frame.get(), pixels->Buffer());
  if (!DispatchUntil(display, queue.get(), [&] { return copy.ready || copy.failed; }) || !copy.ready) {
    return false;
  }
  std::uint8_t* to = composer.Background();
  const auto rowBytes = static_cast<std::size_t>(composer.Width()) * 4;
  for (std::int32_t y = 0; y < composer.Height(); ++y) {
    const std::int32_t from = copy.upsideDown ? composer.Height() - 1 - y : y;
    std::memcpy(to + y * composer.Stride(), pixels->Pixels() + from * pixels->Stride(), rowBytes);
  }
  composer.BackgroundWritten();
  return true;
}

}  // namespace orvanel::platform::gtk
