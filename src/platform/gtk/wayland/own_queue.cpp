#include "platform/gtk/wayland/own_queue.h"

#include <gdk/gdkwayland.h>
#include <poll.h>

#include <cerrno>
#include <chrono>

namespace orvanel::platform::gtk {

OwnQueue::OwnQueue(GdkDisplay* display)
    : display_(gdk_wayland_display_get_wl_display(display)), queue_(wl_display_create_queue(display_)) {}

OwnQueue::~OwnQueue() {
  for (auto it = bound_.rbegin(); it != bound_.rend(); ++it) it->destroy();
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  wl_event_queue_destroy(queue_);
}

void OwnQueue::Announced(void* data, wl_registry*, std::uint32_t name, const char* interface,
                         std::uint32_t version) {
  static_cast<OwnQueue*>(data)->globals_.push_back(Listed{name, interface, version});
}

void* OwnQueue::Bind(const wl_interface& interface, std::uint32_t version) {
  if (registry_ == nullptr) {
    wl_display* onQueue = Wrapper(display_);
    registry_ = wl_display_get_registry(onQueue);
    wl_proxy_wrapper_destroy(onQueue);
    static const wl_registry_listener kListener{Announced, Withdrawn};
    wl_registry_add_listener(registry_, &kListener, this);
    wl_display_roundtrip_queue(display_, queue_);
  }
  for (const Listed& global : globals_) {
    if (global.interface == interface.name && global.version >= version) {
      return wl_registry_bind(registry_, global.name, &interface, version);
    }
  }
  return nullptr;
}

bool OwnQueue::DispatchUntil(const std::function<bool()>& done, int waitMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  // The toolkit's events read meanwhile wait on its own queue.
  while (!done()) {
    while (wl_display_prepare_read_queue(display_, queue_) != 0) {
      if (wl_display_dispatch_queue_pending(display_, queue_) < 0) return false;
    }
    if (done()) {
      wl_display_cancel_read(display_);
      break;
    }
    wl_display_flush(display_);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
    const int polled = left > 0 ? poll(&readable, 1, static_cast<int>(left)) : 0;
    if (polled <= 0) {
      wl_display_cancel_read(display_);
      if (polled < 0 && errno == EINTR) continue;
      return false;
    }
    if (wl_display_read_events(display_) < 0 || wl_display_dispatch_queue_pending(display_, queue_) < 0) {
      return false;
    }
  }
  return true;
}

void OwnQueue::DispatchPending() { wl_display_dispatch_queue_pending(display_, queue_); }

}  // namespace orvanel::platform::gtk
