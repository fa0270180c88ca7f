#pragma once
// Where a monitor's frames appear on Wayland: a surface over the whole output.
#include <memory>

#include "platform/gtk/screen_output.h"

namespace orvanel::platform::gtk {

std::unique_ptr<ScreenOutput> SurfaceOutputOver(GtkDesktop& desktop, const Rect& monitor);

}  // namespace orvanel::platform::gtk
