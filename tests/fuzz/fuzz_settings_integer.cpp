// Any text as a stored integer: read or refused, and what is read reads the
// same again when written as the settings write it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto value = orvanel::settings::ParseInteger(text);
  if (value && orvanel::settings::ParseInteger(std::to_string(*value)) != value) __builtin_trap();
  const auto interval = orvanel::settings::SlideshowInterval(value.value_or(8));
  if (interval > orvanel::settings::kMaxTimerInterval) __builtin_trap();
  return 0;
}
