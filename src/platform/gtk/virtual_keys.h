#pragma once
// Keys as the core counts them: the desktop's virtual-key codes, and the
// character a key types.
#include <cstdint>

namespace orvanel::platform::gtk {

struct KeyStroke {
  std::uint16_t virtualKey = 0;
  char character = 0;  // 0 when the key types nothing
};

// From a GDK key value.
KeyStroke KeyStrokeOf(unsigned keyval);

}  // namespace orvanel::platform::gtk
