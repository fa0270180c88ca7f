#include "platform/gtk/screen_composer.h"

#include <algorithm>
#include <cstring>

#include "platform/gtk/blend.h"

namespace orvanel::platform::gtk {

ScreenComposer::ScreenComposer(std::int32_t width, std::int32_t height)
    : width_(width),
      height_(height),
      background_(static_cast<std::size_t>(Stride()) * height),
      below_(background_.size()),
      frame_(background_.size()) {}

void ScreenComposer::SetBackground(const std::uint8_t* pixels, std::ptrdiff_t stride) {
  for (std::int32_t y = 0; y < height_; ++y) {
    std::memcpy(background_.data() + y * Stride(), pixels + y * stride, static_cast<std::size_t>(Stride()));
  }
  ++backgroundVersion_;
}

void ScreenComposer::BlendLayer(const std::uint8_t* from, std::uint8_t* to, const Layer& layer) const {
  const Rect clip{std::max(layer.rect.left, 0), std::max(layer.rect.top, 0),
                  std::min(layer.rect.right, width_), std::min(layer.rect.bottom, height_)};
  // A window that covers the whole area writes every byte itself.
  if (from != to && clip != Rect{0, 0, width_, height_}) std::memcpy(to, from, frame_.size());
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  const auto bytes = static_cast<std::size_t>(clip.Width()) * 4;
  for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
    const std::uint8_t* source = layer.pixels + (y - layer.rect.top) * layer.stride +
                                 static_cast<std::ptrdiff_t>(clip.left - layer.rect.left) * 4;
    std::uint8_t* target = to + y * Stride() + static_cast<std::ptrdiff_t>(clip.left) * 4;
    if (layer.alpha == 255) {
      std::memcpy(target, source, bytes);
    } else {
      BlendOver(from + (target - to), source, target, bytes, layer.alpha);
    }
  }
}

const std::uint8_t* ScreenComposer::Compose(const std::vector<Layer>& layers) {
  if (layers.empty()) return background_.data();
  std::vector<Seen> lower;
  for (std::size_t i = 0; i + 1 < layers.size(); ++i) {
    lower.push_back(Seen{layers[i].version, layers[i].rect, layers[i].alpha});
  }
  if (lower != belowLayers_ || belowBackgroundVersion_ != backgroundVersion_) {
    std::memcpy(below_.data(), background_.data(), below_.size());
    for (std::size_t i = 0; i + 1 < layers.size(); ++i) BlendLayer(below_.data(), below_.data(), layers[i]);
    belowLayers_ = std::move(lower);
    belowBackgroundVersion_ = backgroundVersion_;
  }
  BlendLayer(below_.data(), frame_.data(), layers.back());
  return frame_.data();
}

}  // namespace orvanel::platform::gtk
