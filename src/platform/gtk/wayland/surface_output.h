#pragma once
// Where a monitor's frames appear on Wayland: a surface over the whole output.
#include <memory>

#include "platform/gtk/screen_output.h"

namespace orvanel::platform::gtk {

class OwnQueue;

// The surface's objects of its own are on `queue`, which outlives it.
std::unique_ptr<ScreenOutput> SurfaceOutputOver(GtkDesktop& desktop, const Rect& monitor, OwnQueue& queue);

}  // namespace orvanel::platform::gtk
