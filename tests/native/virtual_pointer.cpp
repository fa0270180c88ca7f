// A pointer for tests on a Wayland desktop that has no input device: puts
// the seat's pointer at desktop positions read from standard input, one
// "X Y" a line, and answers each with a line once the compositor has it.
//   virtual_pointer WIDTH HEIGHT   (the size of the whole output layout)
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "virtual_pointer_protocol.h"

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
  auto& globals = *static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals.seat) {
    globals.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    globals.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
}

void Withdrawn(void*, wl_registry*, std::uint32_t) {}

std::uint32_t NowMs() {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: virtual_pointer WIDTH HEIGHT\n";
    return 2;
  }
  const auto width = static_cast<std::uint32_t>(std::atoi(argv[1]));
  const auto height = static_cast<std::uint32_t>(std::atoi(argv[2]));
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::cerr << "virtual_pointer: no Wayland display\n";
    return 1;
  }
  Globals globals;
  static const wl_registry_listener listener{Announced, Withdrawn};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &globals);
  wl_display_roundtrip(display);
  if (!globals.pointers) {
    std::cerr << "virtual_pointer: the compositor offers no virtual pointer\n";
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  while (std::cin >> x >> y) {
    zwlr_virtual_pointer_v1_motion_absolute(pointer, NowMs(), x, y, width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) {
      std::cerr << "virtual_pointer: the compositor refused the move\n";
      return 1;
    }
    std::cout << "at " << x << ' ' << y << std::endl;
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(globals.pointers);
  if (globals.seat) wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return 0;
}
