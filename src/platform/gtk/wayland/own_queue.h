#pragma once
// The compositor's globals the saver binds itself, beside the toolkit's, on
// the toolkit's connection but an event queue of the saver's own: their
// events never reach the toolkit's handlers, and are dispatched only when the
// saver asks. One queue serves every output; the globals are listed when
// first asked for (a dialog never asks) and bound once. Objects made from
// them come to the same queue, and must go before it.
#include <gdk/gdk.h>
#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanel::platform::gtk {

class OwnQueue {
 public:
  explicit OwnQueue(GdkDisplay* display);
  ~OwnQueue();
  OwnQueue(const OwnQueue&) = delete;
  OwnQueue& operator=(const OwnQueue&) = delete;

  wl_display* Display() const { return display_; }
  // The first global of `interface`, bound at `version` when first asked
  // for and destroyed with the queue; null when the compositor offers none
  // at that version.
  template <typename T>
  T* Global(const wl_interface& interface, std::uint32_t version, void (*destroy)(T*)) {
    for (const Bound& bound : bound_) {
      if (bound.interface == &interface) return static_cast<T*>(bound.object);
    }
    auto* object = static_cast<T*>(Bind(interface, version));
    if (object != nullptr) bound_.push_back(Bound{&interface, object, [object, destroy] { destroy(object); }});
    return object;
  }
  // A stand-in for one of the toolkit's objects whose requests make objects
  // on this queue; destroyed with wl_proxy_wrapper_destroy.
  template <typename T>
  T* Wrapper(T* object) {
    auto* wrapper = static_cast<T*>(wl_proxy_create_wrapper(object));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue_);
    return wrapper;
  }
  // Reads and dispatches the queue's events until `done`; false when the
  // connection fails or the compositor does not answer within `waitMs`.
  bool DispatchUntil(const std::function<bool()>& done, int waitMs);
  // Dispatches the events read already, without waiting for any.
  void DispatchPending();

 private:
  struct Listed {
    std::uint32_t name;
    std::string interface;
    std::uint32_t version;
  };
  struct Bound {
    const wl_interface* interface;
    void* object;
    std::function<void()> destroy;
  };
  void* Bind(const wl_interface& interface, std::uint32_t version);
  static void Announced(void* data, wl_registry*, std::uint32_t name, const char* interface,
                        std::uint32_t version);
  static void Withdrawn(void*, wl_registry*, std::uint32_t) {}

  wl_display* display_;
  wl_event_queue* queue_;
  wl_registry* registry_ = nullptr;
  std::vector<Listed> globals_;
  std::vector<Bound> bound_;
};

}  // namespace orvanel::platform::gtk
