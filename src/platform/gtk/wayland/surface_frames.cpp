#include "platform/gtk/wayland/surface_frames.h"

#include <gdk/gdkwayland.h>

#include "platform/gtk/wayland/own_queue.h"
#include "platform/gtk/wayland/shm_buffer.h"
#include "platform/gtk/wayland/wayland_objects.h"

namespace orvanel::platform::gtk {
namespace {

// One where the compositor copies a buffer as it takes it (its renderer
// uses the graphics card); a second where it reads the buffer shown until
// the next one has been shown (a renderer in software). A frame that finds
// both read waits for one to be let go, within the next output refresh.
constexpr std::size_t kMostBuffers = 2;
// Between dissolves the frame holds still for seconds: a buffer the
// compositor let go is given back to the system after this long, and made
// again for the next dissolve.
constexpr guint kSpareKeptMs = 1000;

// Each buffer is read as XRGB where the frame is opaque, ARGB where not.
constexpr std::size_t kOpaque = 0;
constexpr std::size_t kTranslucent = 1;

struct Slot {
  std::unique_ptr<ShmBuffer> memory;
  bool read[2] = {false, false};  // by the compositor, in each format
};

void Released(void* data, wl_buffer* buffer) {
  auto& slot = *static_cast<Slot*>(data);
  for (std::size_t format : {kOpaque, kTranslucent}) {
    if (slot.memory->Buffer(format) == buffer) slot.read[format] = false;
  }
}

}  // namespace

struct SurfaceFrames::Parts {
  explicit Parts(OwnQueue& queue) : queue(queue) {}
  OwnQueue& queue;  // outlives what follows, which is on it
  wl_shm* shm = nullptr;
  WaylandOwned<wl_surface, wl_surface_destroy> surface;
  WaylandOwned<wl_subsurface, wl_subsurface_destroy> child;
  std::vector<std::unique_ptr<Slot>> slots;
  Slot* next = nullptr;  // the one NextFrame gave
  Slot* shown = nullptr;  // the one shown last
  guint spareTimer = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

std::unique_ptr<SurfaceFrames> SurfaceFrames::Over(OwnQueue& queue, GdkWindow* window, std::int32_t width,
                                                   std::int32_t height) {
  auto parts = std::make_unique<Parts>(queue);
  parts->width = width;
  parts->height = height;
  parts->shm = queue.Global(wl_shm_interface, 1, wl_shm_destroy);
  wl_subcompositor* children = queue.Global(wl_subcompositor_interface, 1, wl_subcompositor_destroy);
  wl_surface* parent = gdk_wayland_window_get_wl_surface(window);
  if (!parts->shm || !children || parent == nullptr) return nullptr;
  wl_compositor* compositor = queue.Wrapper(gdk_wayland_display_get_wl_compositor(gdk_window_get_display(window)));
  parts->surface.reset(wl_compositor_create_surface(compositor));
  // Pointer and keys go to the toolkit's window beneath.
  wl_region* nowhere = wl_compositor_create_region(compositor);
  wl_proxy_wrapper_destroy(compositor);
  wl_surface_set_input_region(parts->surface.get(), nowhere);
  wl_region_destroy(nowhere);
  parts->child.reset(wl_subcompositor_get_subsurface(children, parts->surface.get(), parent));
  wl_subsurface_set_position(parts->child.get(), 0, 0);
  // Its frames show as it commits them, not with the toolkit's.
  wl_subsurface_set_desync(parts->child.get());
  return std::unique_ptr<SurfaceFrames>(new SurfaceFrames(std::move(parts)));
}

SurfaceFrames::SurfaceFrames(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

SurfaceFrames::~SurfaceFrames() {
  if (parts_->spareTimer != 0) g_source_remove(parts_->spareTimer);
  // The surface goes before the buffers it may still show.
  parts_->child.reset();
  parts_->surface.reset();
  parts_->slots.clear();
}

std::uint8_t* SurfaceFrames::NextFrame(bool& fresh) {
  Parts& p = *parts_;
  p.queue.DispatchPending();
  fresh = false;
  for (const auto& slot : p.slots) {
    if (!slot->read[kOpaque] && !slot->read[kTranslucent]) {
      p.next = slot.get();
      return p.next->memory->Pixels();
    }
  }
  if (p.slots.size() == kMostBuffers) return nullptr;
  auto memory = ShmBuffer::Create(p.shm, p.width, p.height, p.width * 4,
                                  {WL_SHM_FORMAT_XRGB8888, WL_SHM_FORMAT_ARGB8888});
  if (!memory) return nullptr;
  auto slot = std::make_unique<Slot>();
  slot->memory = std::move(memory);
  static const wl_buffer_listener kListener{Released};
  for (std::size_t format : {kOpaque, kTranslucent}) {
    wl_buffer_add_listener(slot->memory->Buffer(format), &kListener, slot.get());
  }
  p.next = p.slots.emplace_back(std::move(slot)).get();
  fresh = true;
  return p.next->memory->Pixels();
}

void SurfaceFrames::Show(const std::vector<Rect>& changed, bool opaque) {
  Parts& p = *parts_;
  const std::size_t format = opaque ? kOpaque : kTranslucent;
  wl_surface_attach(p.surface.get(), p.next->memory->Buffer(format), 0, 0);
  for (const Rect& part : changed) wl_surface_damage(p.surface.get(), part.left, part.top, part.Width(), part.Height());
  wl_surface_commit(p.surface.get());
  p.next->read[format] = true;
  p.shown = p.next;
  wl_display_flush(p.queue.Display());
  if (p.spareTimer != 0) g_source_remove(p.spareTimer);
  p.spareTimer = g_timeout_add(kSpareKeptMs, [](gpointer data) -> gboolean {
    auto& parts = *static_cast<Parts*>(data);
    parts.spareTimer = 0;
    parts.queue.DispatchPending();
    std::erase_if(parts.slots, [&](const std::unique_ptr<Slot>& slot) {
      return slot.get() != parts.shown && !slot->read[kOpaque] && !slot->read[kTranslucent];
    });
    return G_SOURCE_REMOVE;
  }, &p);
}

}  // namespace orvanel::platform::gtk
