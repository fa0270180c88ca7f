// A pointer and a keyboard for tests on a Wayland desktop that has no input
// device, as a user's would be: the keyboard has a whole US layout, so that
// the toolkit's mnemonics and key bindings find their keys. Reads commands
// from standard input and answers each with a line once the compositor has
// taken it:
//   move X Y      the pointer to a desktop position
//   key COMBO     press and release, e.g. "Return", "alt+c", "ctrl+l"
//   type TEXT     the rest of the line, character by character
//   virtual_input WIDTH HEIGHT   (the size of the whole output layout)
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "virtual_keyboard_protocol.h"
#include "virtual_pointer_protocol.h"

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* pointers = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
};

void Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
  auto& globals = *static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals.seat) {
    globals.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    globals.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    globals.keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  }
}

void Withdrawn(void*, wl_registry*, std::uint32_t) {}

std::uint32_t NowMs() {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

// A key of the layout, and whether Shift gives the symbol asked for.
struct Stroke {
  xkb_keycode_t keycode;
  bool shifted;
};

class Keyboard {
 public:
  explicit Keyboard(zwp_virtual_keyboard_v1* keyboard) : keyboard_(keyboard) {
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    keymap_ = xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    state_ = xkb_state_new(keymap_);
    char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    const std::size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) std::abort();
    std::free(text);
    zwp_virtual_keyboard_v1_keymap(keyboard_, XKB_KEYMAP_FORMAT_TEXT_V1, fd, static_cast<std::uint32_t>(size));
    close(fd);
  }
  ~Keyboard() {
    zwp_virtual_keyboard_v1_destroy(keyboard_);
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
  }

  // The key that types `symbol`, if the layout has one.
  std::optional<Stroke> Find(xkb_keysym_t symbol) const {
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap_); key <= xkb_keymap_max_keycode(keymap_); ++key) {
      for (xkb_level_index_t level = 0; level < 2; ++level) {
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap_, key, 0, level, &syms);
        for (int i = 0; i < count; ++i) {
          if (syms[i] == symbol) return Stroke{key, level == 1};
        }
      }
    }
    return std::nullopt;
  }

  // Holds the modifiers down, presses and releases the key, lets them go.
  void Press(const std::vector<xkb_keycode_t>& modifiers, xkb_keycode_t key) {
    for (const xkb_keycode_t modifier : modifiers) Send(modifier, true);
    Send(key, true);
    Send(key, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) Send(*it, false);
  }

 private:
  void Send(xkb_keycode_t key, bool down) {
    // The protocol counts keys as the kernel does, eight below X's numbers.
    zwp_virtual_keyboard_v1_key(keyboard_, NowMs(), key - 8, down ? 1 : 0);
    xkb_state_update_key(state_, key, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
                                      xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
                                      xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
                                      xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE));
  }

  zwp_virtual_keyboard_v1* keyboard_;
  xkb_context* context_;
  xkb_keymap* keymap_;
  xkb_state* state_;
};

xkb_keysym_t SymbolNamed(const std::string& name) {
  if (name == "alt") return XKB_KEY_Alt_L;
  if (name == "ctrl") return XKB_KEY_Control_L;
  if (name == "shift") return XKB_KEY_Shift_L;
  return xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
}

// Presses one combination, "alt+c"; false when the layout lacks a key of it.
bool PressCombo(Keyboard& keyboard, const std::string& combo) {
  std::vector<xkb_keycode_t> held;
  std::stringstream parts(combo);
  std::string part;
  std::vector<std::string> names;
  while (std::getline(parts, part, '+')) names.push_back(part);
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    const auto modifier = keyboard.Find(SymbolNamed(names[i]));
    if (!modifier) return false;
    held.push_back(modifier->keycode);
  }
  const auto key = keyboard.Find(SymbolNamed(names.back()));
  if (!key) return false;
  if (key->shifted) held.push_back(keyboard.Find(XKB_KEY_Shift_L)->keycode);
  keyboard.Press(held, key->keycode);
  return true;
}

bool Type(Keyboard& keyboard, const std::string& text) {
  for (const char c : text) {
    const auto key = keyboard.Find(xkb_utf32_to_keysym(static_cast<unsigned char>(c)));
    if (!key) return false;
    std::vector<xkb_keycode_t> held;
    if (key->shifted) held.push_back(keyboard.Find(XKB_KEY_Shift_L)->keycode);
    keyboard.Press(held, key->keycode);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: virtual_input WIDTH HEIGHT\n";
    return 2;
  }
  const auto width = static_cast<std::uint32_t>(std::atoi(argv[1]));
  const auto height = static_cast<std::uint32_t>(std::atoi(argv[2]));
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::cerr << "virtual_input: no Wayland display\n";
    return 1;
  }
  Globals globals;
  static const wl_registry_listener listener{Announced, Withdrawn};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &globals);
  wl_display_roundtrip(display);
  if (!globals.seat || !globals.pointers || !globals.keyboards) {
    std::cerr << "virtual_input: the compositor offers no virtual pointer or keyboard\n";
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
  int status = 0;
  {
    Keyboard keyboard(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.keyboards, globals.seat));
    std::string line;
    while (status == 0 && std::getline(std::cin, line)) {
      std::stringstream words(line);
      std::string command;
      words >> command;
      bool done = false;
      if (command == "move") {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        if (words >> x >> y) {
          zwlr_virtual_pointer_v1_motion_absolute(pointer, NowMs(), x, y, width, height);
          zwlr_virtual_pointer_v1_frame(pointer);
          done = true;
        }
      } else if (command == "key") {
        std::string combo;
        done = (words >> combo) && PressCombo(keyboard, combo);
      } else if (command == "type") {
        done = Type(keyboard, line.size() > 5 ? line.substr(5) : "");
      }
      if (!done) {
        std::cerr << "virtual_input: cannot do \"" << line << "\"\n";
        status = 1;
      } else if (wl_display_roundtrip(display) < 0) {
        std::cerr << "virtual_input: the compositor refused \"" << line << "\"\n";
        status = 1;
      } else {
        std::cout << "done " << line << std::endl;
      }
    }
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(globals.pointers);
  zwp_virtual_keyboard_manager_v1_destroy(globals.keyboards);
  wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return status;
}
