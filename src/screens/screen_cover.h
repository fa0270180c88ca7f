#pragma once
#include <cstdint>

#include "platform/forms/form.h"

namespace orvanel::screens {

// Places a screen window over the monitor `area`, covering exactly that
// monitor's own area, paints black and shows it with SetWindowPos and `flags`.
void CoverMonitor(forms::Form& window, const platform::Rect& area, std::uint32_t flags);

}  // namespace orvanel::screens
