#pragma once
// One screen area's picture for a display without a compositing manager: the
// desktop as it was before the saver started, with the saver's windows on it,
// bottom first, each at its opacity. Buffers are made when first needed (a
// dialog or a preview never needs them); a fade changes only the top window's
// opacity, so the windows below it are composed once and each step blends one
// frame over them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/geometry.h"

namespace orvanel::platform::gtk {

// A window's client pixels (32 bits a pixel) where they lie on the area.
struct Layer {
  const std::uint8_t* pixels = nullptr;
  std::ptrdiff_t stride = 0;
  Rect rect;                 // in the area's coordinates
  std::uint8_t alpha = 255;  // layers at 0 are left out by the caller
  std::uint64_t version = 0;  // changes whenever the pixels do
};

class ScreenComposer {
 public:
  ScreenComposer(std::int32_t width, std::int32_t height);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::ptrdiff_t Stride() const { return static_cast<std::ptrdiff_t>(width_) * 4; }

  // What lies under every window; rows of `stride` bytes.
  void SetBackground(const std::uint8_t* pixels, std::ptrdiff_t stride);
  // Or written in place, then told.
  std::uint8_t* Background();
  void BackgroundWritten() { ++backgroundVersion_; }

  // The frame with these layers over the background, bottom first.
  const std::uint8_t* Compose(const std::vector<Layer>& layers);

  // Whether these layers make a frame other than the one composed last. A
  // top layer whose pixels equal those below it changes nothing at any
  // opacity (a dissolve's second half, where the window below has been given
  // the same picture), so such a step needs no painting.
  bool Differs(const std::vector<Layer>& layers);

 private:
  struct Seen {
    std::uint64_t version;
    Rect rect;
    std::uint8_t alpha;
    bool operator==(const Seen&) const = default;
  };
  // What a frame is made of, as far as its pixels go.
  struct Key {
    std::uint64_t backgroundVersion = ~std::uint64_t{0};
    std::vector<Seen> layers;
    bool operator==(const Key&) const = default;
  };
  // Makes `buffer` a whole frame of black if it is not one yet.
  void Allocate(std::vector<std::uint8_t>& buffer) const;
  // `to` := `from` with the layer blended over it where it lies.
  void BlendLayer(const std::uint8_t* from, std::uint8_t* to, const Layer& layer) const;
  // Brings `below_` up to date with every layer but the top one.
  void ComposeBelow(const std::vector<Layer>& layers);
  // Whether the top layer's pixels equal those of `below_` where it lies.
  bool TopEqualsBelow(const Layer& top);
  // The layers that make the frame: all of them, less a top layer that
  // changes nothing.
  Key EffectiveKey(const std::vector<Layer>& layers);

  std::int32_t width_;
  std::int32_t height_;
  std::vector<std::uint8_t> background_;
  std::vector<std::uint8_t> below_;  // the background and every layer but the top one
  std::vector<std::uint8_t> frame_;
  std::vector<Seen> belowLayers_;
  std::uint64_t backgroundVersion_ = 0;
  std::uint64_t belowBackgroundVersion_ = ~std::uint64_t{0};
  // The last answer of TopEqualsBelow, for the top layer's version and place
  // over the same layers below.
  std::optional<Seen> comparedTop_;
  bool topEqualedBelow_ = false;
  Key composed_;
};

}  // namespace orvanel::platform::gtk
