#include "platform/gtk/virtual_keys.h"

#include <gdk/gdkkeysyms.h>

namespace orvanel::platform::gtk {

KeyStroke KeyStrokeOf(unsigned keyval) {
  if (keyval >= 'a' && keyval <= 'z') {
    return {static_cast<std::uint16_t>(keyval - 'a' + 'A'), static_cast<char>(keyval)};
  }
  if ((keyval >= 'A' && keyval <= 'Z') || (keyval >= '0' && keyval <= '9')) {
    return {static_cast<std::uint16_t>(keyval), static_cast<char>(keyval)};
  }
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) {
    return {static_cast<std::uint16_t>(0x70 + (keyval - GDK_KEY_F1)), 0};
  }
  switch (keyval) {
    case GDK_KEY_BackSpace: return {0x08, 8};
    case GDK_KEY_Tab: return {0x09, 9};
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter: return {0x0D, 13};
    case GDK_KEY_Escape: return {0x1B, 27};
    case GDK_KEY_space: return {0x20, ' '};
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R: return {0x10, 0};
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R: return {0x11, 0};
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R: return {0x12, 0};
    case GDK_KEY_Left: return {0x25, 0};
    case GDK_KEY_Up: return {0x26, 0};
    case GDK_KEY_Right: return {0x27, 0};
    case GDK_KEY_Down: return {0x28, 0};
    case GDK_KEY_Delete: return {0x2E, 0};
    default: break;
  }
  // Any other printable character keeps its character; its key has no code here.
  if (keyval >= 0x20 && keyval < 0x7F) return {0xFF, static_cast<char>(keyval)};
  return {0xFF, 0};
}

}  // namespace orvanel::platform::gtk
