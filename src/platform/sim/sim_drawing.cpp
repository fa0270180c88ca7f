#include "platform/sim/sim_drawing.h"

#include <algorithm>

namespace orvanel::platform::sim {
SimContext::SimContext(SimDesktop& desktop, WindowHandle window)
    : desktop_(&desktop), window_(window), bits_(desktop.DisplayBitsPerPixel()) {
  ++desktop_->openContexts;
}

SimContext::SimContext(SimDesktop& desktop, SimBitmap& bitmap)
    : desktop_(&desktop), bitmap_(&bitmap), bits_(bitmap.BitsPerPixel()) {
  ++desktop_->openContexts;
}

SimContext::~SimContext() { --desktop_->openContexts; }

SimContext::Surface SimContext::Target() {
  if (bitmap_ != nullptr) return {&bitmap_->Pixels(), bitmap_->Width(), bitmap_->Height()};
  auto* window = desktop_->Find(window_);
  if (window == nullptr) return {nullptr, 0, 0};
  return {&window->pixels, window->pixelWidth, window->pixelHeight};
}

void SimContext::FillRect(const Rect& area, ColorRef colour) {
  const auto surface = Target();
  if (surface.pixels == nullptr) return;
  for (int y = std::max(0, area.top); y < std::min(surface.height, area.bottom); ++y) {
    for (int x = std::max(0, area.left); x < std::min(surface.width, area.right); ++x) {
      (*surface.pixels)[static_cast<std::size_t>(y) * surface.width + x] = colour;
    }
  }
}

void SimContext::DrawBitmap(const Bitmap& bitmap, Point at) {
  StretchBitmap(bitmap, Rect::FromBounds(at.x, at.y, bitmap.Width(), bitmap.Height()),
                StretchMode::kColorOnColor);
}

// Whole source pixels, no smoothing; a copy when the sizes match.
void SimContext::StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode) {
  const auto surface = Target();
  const auto& source = static_cast<const SimBitmap&>(bitmap);
  if (surface.pixels == nullptr || target.Width() <= 0 || target.Height() <= 0) return;
  const int left = std::max(0, target.left);
  const int right = std::min(surface.width, target.right);
  if (left >= right) return;
  std::vector<std::int32_t> column(static_cast<std::size_t>(right - left));
  for (int x = left; x < right; ++x) {
    column[static_cast<std::size_t>(x - left)] = static_cast<std::int32_t>(
        static_cast<std::int64_t>(x - target.left) * source.Width() / target.Width());
  }
  const bool sameWidth = target.Width() == source.Width();
  for (int y = std::max(0, target.top); y < std::min(surface.height, target.bottom); ++y) {
    const auto sy = static_cast<std::int64_t>(y - target.top) * source.Height() / target.Height();
    const ColorRef* from = source.Pixels().data() + static_cast<std::size_t>(sy) * source.Width();
    ColorRef* to = surface.pixels->data() + static_cast<std::size_t>(y) * surface.width;
    if (sameWidth) {
      std::copy(from + (left - target.left), from + (right - target.left), to + left);
      continue;
    }
    for (int x = left; x < right; ++x) to[x] = from[column[static_cast<std::size_t>(x - left)]];
  }
}

}  // namespace orvanel::platform::sim
