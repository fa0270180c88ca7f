#pragma once
// The module's own resources for desktops without resource sections: the
// same names, types and bytes as the Windows module carries, compiled into
// the program.
#include <cstdint>
#include <span>

namespace orvanel::resources {

struct EmbeddedResource {
  const char* name;  // as stored, in upper case
  const char* type;
  std::span<const std::uint8_t> bytes;
};

// Pictures "PIC0" to "PIC54" of type "JPEG", and "DESCRIPTION".
std::span<const EmbeddedResource> EmbeddedResources();

}  // namespace orvanel::resources
