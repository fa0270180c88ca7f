#pragma once

namespace orvanel::resources {

// The maker's web address: on the settings dialog's panel and in the
// module's version information.
inline constexpr const char* kMakerAddress = "https://www.orvanel.example/";

}  // namespace orvanel::resources
