// Any text as a stored integer: read or refused, and what is read reads the
// same again when written as the settings write it; a longer Speed never
// gives a shorter period, and a Speed of a second or more always ticks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto value = orvanel::settings::ParseInteger(text);
  if (value && orvanel::settings::ParseInteger(std::to_string(*value)) != value) __builtin_trap();
  if (!value) return 0;
  const auto interval = orvanel::settings::SlideshowInterval(*value);
  if (*value >= 1 && interval == 0) __builtin_trap();
  if (*value > INT32_MIN && interval < orvanel::settings::SlideshowInterval(*value - 1)) __builtin_trap();
  return 0;
}
