#pragma once
// The message vocabulary shared by the core and every backend. The numbers are
// the desktop's own, so a backend passes native messages through unchanged and
// the simulated desktop speaks the same language.
#include <cstdint>

#include "platform/geometry.h"
#include "platform/window_handle.h"

namespace orvanel::platform {

enum MessageId : std::uint32_t {
  kMsgDestroy = 0x0002,
  kMsgClose = 0x0010,
  kMsgQuit = 0x0012,
  kMsgPaint = 0x000F,
  kMsgEraseBackground = 0x0014,
  kMsgKeyDown = 0x0100,
  kMsgChar = 0x0102,
  kMsgSysKeyDown = 0x0104,
  kMsgSysChar = 0x0106,
  kMsgSysDeadChar = 0x0107,
  kMsgCommand = 0x0111,
  kMsgTimer = 0x0113,
  kMsgMouseMove = 0x0200,
  kMsgLButtonDown = 0x0201,
  kMsgRButtonDown = 0x0204,
  kMsgMButtonDown = 0x0207,
  // Sent to a top-level window when most of it has come onto a monitor of
  // another DPI: the new DPI in each half of wParam's low 32 bits, and in
  // lParam a `const Rect*`, the bounds the desktop suggests at that DPI.
  kMsgDpiChanged = 0x02E0,
  kMsgUser = 0x0400,
  // Posted by the desktop to each of the saver's top-level windows: the
  // program that started the saver asks it to end (a termination signal,
  // its try-out window closed). The application's own window acts on it.
  kMsgCloseRequest = 0x8001,
  // Posted by the desktop to each of the saver's top-level windows: the
  // window another program gave the saver to show in is gone.
  kMsgHostWindowGone = 0x8002,
};

// Notification code of a clicked button or panel, carried in the high word of
// a command message's first parameter.
inline constexpr std::uint32_t kNotifyClicked = 0;

struct Message {
  WindowHandle window = kNoWindow;
  std::uint32_t id = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::uint32_t time = 0;
  Point cursor;
};

// Client coordinates packed into a mouse message's second parameter as two
// signed 16-bit halves.
constexpr std::intptr_t PackPoint(std::int32_t x, std::int32_t y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                    static_cast<std::uint32_t>(x & 0xFFFF));
}
constexpr Point UnpackPoint(std::intptr_t lParam) {
  return Point{static_cast<std::int16_t>(lParam & 0xFFFF),
               static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
}

}  // namespace orvanel::platform
