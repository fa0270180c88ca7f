#pragma once
// Wayland objects a client made, destroyed with their owner. For use inside
// one source file: the protocols' destroy functions are each file's own.
#include <wayland-client.h>

#include <memory>

namespace orvanel::platform::gtk {

template <typename T, void (*Destroy)(T*)>
struct WaylandDestroyer {
  void operator()(T* object) const { Destroy(object); }
};

template <typename T, void (*Destroy)(T*)>
using WaylandOwned = std::unique_ptr<T, WaylandDestroyer<T, Destroy>>;

}  // namespace orvanel::platform::gtk
