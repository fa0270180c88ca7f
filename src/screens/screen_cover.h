#pragma once
#include <cstdint>

#include "platform/forms/form.h"

namespace orvanel::screens {

// Places a screen window over monitor `monitor`, covering exactly that
// monitor's own area, paints black and shows it with SetWindowPos and
// `flags`. A monitor that no longer exists leaves the window where it is.
void CoverMonitor(forms::Form& window, int monitor, std::uint32_t flags);

}  // namespace orvanel::screens
