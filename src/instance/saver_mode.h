#pragma once
#include <cstdint>

namespace orvanel::instance {

// The run mode, chosen from the command line.
enum class SaverMode : std::uint8_t {
  kPassword = 0,
  kPreview = 1,
  kConfig = 2,
  kActive = 3,
  kNone = 4,
  kDebug = 5,
};

}  // namespace orvanel::instance
