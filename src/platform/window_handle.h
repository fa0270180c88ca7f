#pragma once
#include <cstdint>

namespace orvanel::platform {

// A window as the desktop names it. Desktop window handles carry 32
// significant bits, which is also how the screen-saver host writes them on the
// command line, so the core keeps them in a signed 32-bit integer.
using WindowHandle = std::int32_t;

inline constexpr WindowHandle kNoWindow = 0;

}  // namespace orvanel::platform
