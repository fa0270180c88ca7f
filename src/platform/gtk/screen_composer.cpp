#include "platform/gtk/screen_composer.h"

#include <algorithm>
#include <cstring>

#include "platform/gtk/blend.h"

namespace orvanel::platform::gtk {

ScreenComposer::ScreenComposer(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

void ScreenComposer::Allocate(std::vector<std::uint8_t>& buffer) const {
  if (buffer.empty()) buffer.assign(static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height_), 0);
}

std::uint8_t* ScreenComposer::Background() {
  Allocate(background_);
  return background_.data();
}

void ScreenComposer::SetBackground(const std::uint8_t* pixels, std::ptrdiff_t stride) {
  Allocate(background_);
  for (std::int32_t y = 0; y < height_; ++y) {
    std::memcpy(background_.data() + y * Stride(), pixels + y * stride, static_cast<std::size_t>(Stride()));
  }
  ++backgroundVersion_;
}

void ScreenComposer::BlendLayer(const std::uint8_t* from, std::uint8_t* to, const Layer& layer) const {
  const Rect clip{std::max(layer.rect.left, 0), std::max(layer.rect.top, 0),
                  std::min(layer.rect.right, width_), std::min(layer.rect.bottom, height_)};
  // A window that covers the whole area writes every byte itself.
  if (from != to && clip != Rect{0, 0, width_, height_}) std::memcpy(to, from, below_.size());
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

void ScreenComposer::ComposeBelow(const std::vector<Layer>& layers) {
  std::vector<Seen> lower;
  for (std::size_t i = 0; i + 1 < layers.size(); ++i) {
    lower.push_back(Seen{layers[i].version, layers[i].rect, layers[i].alpha});
  }
  if (lower == belowLayers_ && belowBackgroundVersion_ == backgroundVersion_ && !below_.empty()) return;
  // A desktop never read is black.
  Allocate(background_);
  Allocate(below_);
  std::memcpy(below_.data(), background_.data(), below_.size());
  for (std::size_t i = 0; i + 1 < layers.size(); ++i) BlendLayer(below_.data(), below_.data(), layers[i]);
  belowLayers_ = std::move(lower);
  belowBackgroundVersion_ = backgroundVersion_;
  comparedTop_.reset();
}

bool ScreenComposer::TopEqualsBelow(const Layer& top) {
  // Opacity plays no part: a pixel blended with itself is itself.
  const Seen seen{top.version, top.rect, 0};
  if (comparedTop_ == seen) return topEqualedBelow_;
  const Rect clip{std::max(top.rect.left, 0), std::max(top.rect.top, 0), std::min(top.rect.right, width_),
                  std::min(top.rect.bottom, height_)};
  bool equal = true;
  const auto bytes = static_cast<std::size_t>(std::max(clip.Width(), 0)) * 4;
  for (std::int32_t y = clip.top; equal && y < clip.bottom; ++y) {
    const std::uint8_t* source = top.pixels + (y - top.rect.top) * top.stride +
                                 static_cast<std::ptrdiff_t>(clip.left - top.rect.left) * 4;
    equal = std::memcmp(source, below_.data() + y * Stride() + static_cast<std::ptrdiff_t>(clip.left) * 4, bytes) == 0;
  }
  comparedTop_ = seen;
  topEqualedBelow_ = equal;
  return equal;
}

ScreenComposer::Key ScreenComposer::EffectiveKey(const std::vector<Layer>& layers) {
  Key key{backgroundVersion_, {}};
  if (layers.empty()) return key;
  ComposeBelow(layers);
  const std::size_t made = TopEqualsBelow(layers.back()) ? layers.size() - 1 : layers.size();
  for (std::size_t i = 0; i < made; ++i) key.layers.push_back(Seen{layers[i].version, layers[i].rect, layers[i].alpha});
  return key;
}

const std::uint8_t* ScreenComposer::Compose(const std::vector<Layer>& layers) {
  composed_ = EffectiveKey(layers);
  if (layers.empty()) return Background();
  if (composed_.layers.size() < layers.size()) return below_.data();
  Allocate(frame_);
  BlendLayer(below_.data(), frame_.data(), layers.back());
  return frame_.data();
}

bool ScreenComposer::Differs(const std::vector<Layer>& layers) { return !(EffectiveKey(layers) == composed_); }

}  // namespace orvanel::platform::gtk
