#include "platform/gtk/wayland/output_capture.h"

#include <gdk/gdkwayland.h>

#include <cstdlib>
#include <cstring>

#include "platform/gtk/wayland/own_queue.h"
#include "platform/gtk/wayland/screencopy_protocol.h"
#include "platform/gtk/wayland/shm_buffer.h"
#include "platform/gtk/wayland/wayland_objects.h"

namespace orvanel::platform::gtk {
namespace {

// How long the compositor may take to answer; the saver goes on without the
// copy rather than wait on one that does not.
constexpr int kAnswerWaitMs = 1000;

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

}  // namespace

bool CaptureOutput(OwnQueue& queue, GdkMonitor* monitor, compose::ScreenComposer& composer) {
  if (const char* off = std::getenv("ORVANEL_NO_SCREENCOPY"); off != nullptr && *off != '\0') return false;
  wl_shm* shm = queue.Global(wl_shm_interface, 1, wl_shm_destroy);
  auto* copier = queue.Global(zwlr_screencopy_manager_v1_interface, 1, zwlr_screencopy_manager_v1_destroy);
  if (!shm || !copier) return false;

  // Made before the copy, so that it goes after it: the compositor may
  // still be writing it when the saver stops waiting.
  std::unique_ptr<ShmBuffer> pixels;
  const WaylandOwned<zwlr_screencopy_frame_v1, zwlr_screencopy_frame_v1_destroy> frame(
      zwlr_screencopy_manager_v1_capture_output(copier, 0, gdk_wayland_monitor_get_wl_output(monitor)));
  Copy copy;
  static const zwlr_screencopy_frame_v1_listener kFrameListener{Offered, Flags, Ready, Failed};
  zwlr_screencopy_frame_v1_add_listener(frame.get(), &kFrameListener, &copy);
  if (!queue.DispatchUntil([&] { return copy.offered || copy.failed; }, kAnswerWaitMs) || !copy.offered) {
    return false;
  }
  // 32-bit pixels laid out as the composer's; an output the compositor
  // scales has more pixels than the surface over it, and is not read.
  const bool sameLayout = copy.format == WL_SHM_FORMAT_XRGB8888 || copy.format == WL_SHM_FORMAT_ARGB8888;
  if (!sameLayout || copy.width != static_cast<std::uint32_t>(composer.Width()) ||
      copy.height != static_cast<std::uint32_t>(composer.Height())) {
    return false;
  }
  pixels = ShmBuffer::Create(shm, composer.Width(), composer.Height(),
                             static_cast<std::int32_t>(copy.stride), {copy.format});
  if (!pixels) return false;
  zwlr_screencopy_frame_v1_copy(frame.get(), pixels->Buffer());
  if (!queue.DispatchUntil([&] { return copy.ready || copy.failed; }, kAnswerWaitMs) || !copy.ready) {
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
