#include "platform/compose/screen_composer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/compose/blend.h"

namespace orvanel::platform::compose {

ScreenComposer::ScreenComposer(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

std::size_t ScreenComposer::Bytes() const { return static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height_); }

void ScreenComposer::Allocate(Buffer& buffer) const {
  if (buffer) return;
  // Fresh pages of zeros from the system: black, and no memory is touched
  // before it is drawn on.
  buffer.reset(static_cast<std::uint8_t*>(std::calloc(Bytes(), 1)));
  if (!buffer) throw std::bad_alloc();
}

std::uint8_t* ScreenComposer::Background() {
  adopted_.reset();
  Allocate(background_);
  return background_.get();
}

void ScreenComposer::CopyPlane(Plane from, std::uint8_t* to) const {
  for (std::int32_t y = 0; y < height_; ++y) {
    std::memcpy(to + y * Stride(), from.pixels + y * from.stride, static_cast<std::size_t>(Stride()));
  }
}

void ScreenComposer::SetBackground(const std::uint8_t* pixels, std::ptrdiff_t stride) {
  adopted_.reset();
  Allocate(background_);
  CopyPlane(Plane{pixels, stride}, background_.get());
  ++backgroundVersion_;
}

void ScreenComposer::AdoptBackground(std::unique_ptr<HeldPixels> pixels) {
  background_.reset();
  adopted_ = std::move(pixels);
  ++backgroundVersion_;
}

ScreenComposer::Plane ScreenComposer::BackgroundPlane() {
  if (adopted_) return Plane{adopted_->Pixels(), adopted_->Stride()};
  Allocate(background_);
  return Plane{background_.get(), Stride()};
}

void ScreenComposer::DropBackground() {
  background_.reset();
  adopted_.reset();
  ++backgroundVersion_;
}

bool ScreenComposer::CoversOpaquely(const Layer& layer) const {
  return layer.alpha == 255 && layer.rect.Contains(Rect{0, 0, width_, height_});
}

namespace {

// The part of a layer that covers the area, as a plane of the area's size.
const std::uint8_t* Origin(const Layer& layer) {
  return layer.pixels + static_cast<std::ptrdiff_t>(-layer.rect.top) * layer.stride +
         static_cast<std::ptrdiff_t>(-layer.rect.left) * 4;
}

}  // namespace

void ScreenComposer::BlendLayer(Plane from, std::uint8_t* to, const Layer& layer, const Rect& within) const {
  const Rect clip{std::max({layer.rect.left, within.left, 0}), std::max({layer.rect.top, within.top, 0}),
                  std::min({layer.rect.right, within.right, width_}),
                  std::min({layer.rect.bottom, within.bottom, height_})};
  // Where the window does not lie, what is below it shows; a window that
  // covers all of `within` writes every byte itself.
  if (from.pixels != to && clip != within) {
    const auto row = static_cast<std::size_t>(within.Width()) * 4;
    const auto start = static_cast<std::ptrdiff_t>(within.left) * 4;
    for (std::int32_t y = within.top; y < within.bottom; ++y) {
      std::memcpy(to + y * Stride() + start, from.pixels + y * from.stride + start, row);
    }
  }
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  const auto bytes = static_cast<std::size_t>(clip.Width()) * 4;
  const auto left = static_cast<std::ptrdiff_t>(clip.left) * 4;
  for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
    const std::uint8_t* source = layer.pixels + (y - layer.rect.top) * layer.stride +
                                 static_cast<std::ptrdiff_t>(clip.left - layer.rect.left) * 4;
    std::uint8_t* target = to + y * Stride() + left;
    if (layer.alpha == 255) {
      std::memcpy(target, source, bytes);
    } else {
      BlendOver(from.pixels + y * from.stride + left, source, target, bytes, layer.alpha);
    }
  }
}

ScreenComposer::Key ScreenComposer::KeyOf(const std::vector<Layer>& layers, std::size_t count) const {
  Key key{backgroundVersion_, {}};
  for (std::size_t i = 0; i < count; ++i) {
    // The desktop cannot show under an opaque window that covers the area.
    if (CoversOpaquely(layers[i])) key.backgroundVersion = kHidden;
    key.layers.push_back(Seen{layers[i].version, layers[i].rect, layers[i].alpha});
  }
  return key;
}

ScreenComposer::Plane ScreenComposer::UnderTop(const std::vector<Layer>& layers) {
  const std::size_t lower = layers.size() - 1;
  if (lower == 0) return BackgroundPlane();
  // The usual case, a dissolve: one window covers the area and another fades over it.
  if (CoversOpaquely(layers[lower - 1])) {
    below_.reset();
    belowKey_ = Key{};
    return Plane{Origin(layers[lower - 1]), layers[lower - 1].stride};
  }
  Key key = KeyOf(layers, lower);
  if (!(key == belowKey_) || !below_) {
    Allocate(below_);
    if (key.backgroundVersion == kHidden) {
      std::memset(below_.get(), 0, Bytes());
    } else {
      CopyPlane(BackgroundPlane(), below_.get());
    }
    for (std::size_t i = 0; i < lower; ++i) {
      BlendLayer(Plane{below_.get(), Stride()}, below_.get(), layers[i], Rect{0, 0, width_, height_});
    }
    belowKey_ = std::move(key);
  }
  return Plane{below_.get(), Stride()};
}

const std::vector<Rect>& ScreenComposer::Differing(const Layer& top, Plane below, const Key& belowKey) {
  // Opacity plays no part: a pixel blended with itself is itself.
  const Seen seen{top.version, top.rect, 0};
  if (compared_ && compared_->top == seen && compared_->below == belowKey) return compared_->bands;
  // A fade step needs only a few requests to the display: beyond this many
  // bands, their bounds.
  constexpr std::size_t kMostBands = 16;
  const Rect clip{std::max(top.rect.left, 0), std::max(top.rect.top, 0), std::min(top.rect.right, width_),
                  std::min(top.rect.bottom, height_)};
  const auto pixelAt = [](const std::uint8_t* row, std::int32_t x) {
    std::uint32_t pixel;
    std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * 4, 4);
    return pixel;
  };
  std::vector<Rect> bands;
  Rect bounds;
  for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
    // Both rows from the area's left edge.
    const std::uint8_t* source = top.pixels + (y - top.rect.top) * top.stride +
                                 static_cast<std::ptrdiff_t>(-top.rect.left) * 4;
    const std::uint8_t* under = below.pixels + y * below.stride;
    const auto bytes = static_cast<std::size_t>(std::max(clip.Width(), 0)) * 4;
    if (std::memcmp(source + static_cast<std::ptrdiff_t>(clip.left) * 4,
                    under + static_cast<std::ptrdiff_t>(clip.left) * 4, bytes) == 0) {
      continue;
    }
    std::int32_t left = clip.left;
    while (pixelAt(source, left) == pixelAt(under, left)) ++left;
    std::int32_t right = clip.right;
    while (pixelAt(source, right - 1) == pixelAt(under, right - 1)) --right;
    bounds = bands.empty() ? Rect{left, y, right, y + 1}
                           : Rect{std::min(bounds.left, left), bounds.top, std::max(bounds.right, right), y + 1};
    // Rows with the same span next to each other make one band.
    if (!bands.empty() && bands.back().bottom == y && bands.back().left == left && bands.back().right == right) {
      bands.back().bottom = y + 1;
    } else {
      bands.push_back(Rect{left, y, right, y + 1});
    }
  }
  if (bands.size() > kMostBands) bands = {bounds};
  compared_ = Comparison{seen, belowKey, std::move(bands)};
  return compared_->bands;
}

ScreenComposer::Effective ScreenComposer::EffectiveKey(const std::vector<Layer>& layers) {
  Key key = KeyOf(layers, layers.size());
  if (key.backgroundVersion == kHidden && HoldsBackground()) DropBackground();
  if (layers.empty()) return {std::move(key), nullptr};
  // An opaque top window that covers the area is the frame; it is compared
  // with what lies below only where that is a window read in place, so that
  // the desktop is not made again for it.
  if (CoversOpaquely(layers.back()) && (layers.size() < 2 || !CoversOpaquely(layers[layers.size() - 2]))) {
    return {std::move(key), nullptr};
  }
  Key lowerKey = KeyOf(layers, layers.size() - 1);
  const std::vector<Rect>& bands = Differing(layers.back(), UnderTop(layers), lowerKey);
  const bool opacityShows = overUnreadDesktop_ && lowerKey.backgroundVersion != kHidden;
  if (bands.empty() && !opacityShows) return {std::move(lowerKey), &bands};
  return {std::move(key), &bands};
}

bool ScreenComposer::OnlyTopOpacityMoved(const Key& from, const Key& to) const {
  if (from.backgroundVersion != to.backgroundVersion || from.layers.size() != to.layers.size() || to.layers.empty()) {
    return false;
  }
  const Seen& a = from.layers.back();
  const Seen& b = to.layers.back();
  return a.version == b.version && a.rect == b.rect &&
         std::equal(from.layers.begin(), from.layers.end() - 1, to.layers.begin());
}

std::vector<Rect> ScreenComposer::ComposeInto(const std::vector<Layer>& layers, std::uint8_t* target) {
  const Rect area{0, 0, width_, height_};
  Effective effective = EffectiveKey(layers);
  // A fade step over the same frame: only where the top window differs from
  // what lies below it can the frame change.
  const bool stepOnly =
      target == lastTarget_ && effective.bands != nullptr && OnlyTopOpacityMoved(composed_, effective.key);
  composed_ = std::move(effective.key);
  lastTarget_ = target;
  if (stepOnly) {
    const Plane below = UnderTop(layers);
    for (const Rect& band : *effective.bands) BlendLayer(below, target, layers.back(), band);
    return *effective.bands;
  }
  if (layers.empty() || composed_.layers.size() < layers.size()) {
    // The frame is one plane as it stands: the desktop, or what lies under a
    // top window that changes nothing.
    CopyPlane(layers.empty() ? BackgroundPlane() : UnderTop(layers), target);
    return {area};
  }
  // An opaque top window that covers the area writes every byte itself.
  const Plane below = CoversOpaquely(layers.back()) ? Plane{target, Stride()} : UnderTop(layers);
  BlendLayer(below, target, layers.back(), area);
  return {area};
}

const std::uint8_t* ScreenComposer::Compose(const std::vector<Layer>& layers) {
  Allocate(frame_);
  ComposeInto(layers, frame_.get());
  return frame_.get();
}

bool ScreenComposer::Differs(const std::vector<Layer>& layers) { return !(EffectiveKey(layers).key == composed_); }

}  // namespace orvanel::platform::compose
