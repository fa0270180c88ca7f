#include "platform/compose/window_stack.h"

#include <algorithm>
#include <utility>

namespace orvanel::platform::compose {

void WindowStack::Add(WindowHandle window) {
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(topmost_.size()), window);
  restack_ = true;
}

void WindowStack::Remove(WindowHandle window) {
  std::erase(order_, window);
  std::erase(topmost_, window);
}

void WindowStack::BringToTop(WindowHandle window, bool topmost) {
  std::erase(order_, window);
  const bool inBand = std::find(topmost_.begin(), topmost_.end(), window) != topmost_.end();
  if (topmost && !inBand) topmost_.push_back(window);
  const std::size_t band = topmost || inBand ? 0 : topmost_.size();
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(band), window);
  restack_ = true;
}

bool WindowStack::TakeRestack() { return std::exchange(restack_, false); }

bool WindowStack::ShowsOver(const Rect& area) const {
  return std::any_of(order_.begin(), order_.end(), [&](WindowHandle handle) {
    const StackedWindow window = lookup_(handle);
    return window.shown && window.composed && window.alpha > 0 && window.bounds.Overlaps(area);
  });
}

std::vector<Layer> WindowStack::LayersOver(const Rect& area, const PixelsLookup& pixelsOf) const {
  std::vector<Layer> layers;
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const StackedWindow window = lookup_(*it);
    if (!window.shown || !window.composed || window.alpha == 0 || !window.bounds.Overlaps(area)) continue;
    const WindowPixels pixels = pixelsOf(*it);
    layers.push_back(Layer{pixels.pixels, pixels.stride,
                           Rect::FromBounds(window.bounds.left - area.left, window.bounds.top - area.top,
                                            pixels.width, pixels.height),
                           window.alpha, (static_cast<std::uint64_t>(*it) << 32) ^ window.version});
  }
  return layers;
}

WindowHandle WindowStack::TopAt(Point screen) const {
  for (const auto handle : order_) {
    const StackedWindow window = lookup_(handle);
    if (window.shown && window.composed && window.bounds.Contains(screen)) return handle;
  }
  return kNoWindow;
}

WindowHandle WindowStack::KeyTarget(WindowHandle active, Point pointer) const {
  if (active != kNoWindow && lookup_(active).shown) return active;
  const WindowHandle under = TopAt(pointer);
  if (under != kNoWindow) return under;
  return order_.empty() ? kNoWindow : order_.front();
}

}  // namespace orvanel::platform::compose
