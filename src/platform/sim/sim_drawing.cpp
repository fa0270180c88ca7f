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

void SimContext::StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode) {
  const auto surface = Target();
  const auto& source = static_cast<const SimBitmap&>(bitmap);
  if (surface.pixels == nullptr || target.Width() <= 0 || target.Height() <= 0) return;
  for (int y = std::max(0, target.top); y < std::min(surface.height, target.bottom); ++y) {
    const auto sy = static_cast<std::int64_t>(y - target.top) * source.Height() / target.Height();
    for (int x = std::max(0, target.left); x < std::min(surface.width, target.right); ++x) {
      const auto sx = static_cast<std::int64_t>(x - target.left) * source.Width() / target.Width();
      (*surface.pixels)[static_cast<std::size_t>(y) * surface.width + x] =
          source.Pixels()[static_cast<std::size_t>(sy) * source.Width() + sx];
    }
  }
}

}  // namespace orvanel::platform::sim
