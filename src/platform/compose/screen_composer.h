#pragma once
// One screen area's picture for a display without a compositing manager: the
// desktop as it was before the saver started, with the saver's windows on it,
// bottom first, each at its opacity. Buffers are made when first needed (a
// dialog or a preview never needs them). A fade changes only the top window's
// opacity, so each step blends one frame over what lies below it: the desktop,
// a window that covers the whole area (read in place), or else the lower
// windows composed once. Once a window covers the whole area opaquely the
// desktop can never show again, and its copy is let go.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "platform/geometry.h"

namespace orvanel::platform::compose {

// A window's client pixels (32 bits a pixel) where they lie on the area.
struct Layer {
  const std::uint8_t* pixels = nullptr;
  std::ptrdiff_t stride = 0;
  Rect rect;                 // in the area's coordinates
  std::uint8_t alpha = 255;  // layers at 0 are left out by the caller
  std::uint64_t version = 0;  // changes whenever the pixels do
};

// Pixels of a whole area held elsewhere (in memory shared with the display),
// handed over to be kept for as long as they are needed.
class HeldPixels {
 public:
  virtual ~HeldPixels() = default;
  virtual const std::uint8_t* Pixels() const = 0;
  virtual std::ptrdiff_t Stride() const = 0;
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
  // Or kept where they are.
  void AdoptBackground(std::unique_ptr<HeldPixels> pixels);
  // Or the frame goes over a desktop the saver never read, which the display
  // shows through wherever windows cover it only in part (see coverage.h):
  // there a window's opacity matters even where its pixels equal those below.
  void SetOverUnreadDesktop() { overUnreadDesktop_ = true; }
  // Whether memory for a copy of the desktop is held.
  bool HoldsBackground() const { return background_ != nullptr || adopted_ != nullptr; }

  // Writes the frame with these layers over the background, bottom first,
  // into `target`: Height() rows of Stride() bytes. Gives the parts of the
  // area that changed from what `target` held, when it holds the frame
  // composed last; the whole area otherwise.
  std::vector<Rect> ComposeInto(const std::vector<Layer>& layers, std::uint8_t* target);
  // Memory new to the composer may lie where a target it wrote lay before:
  // the next frame is written whole, wherever it goes.
  void ForgetTarget() { lastTarget_ = nullptr; }
  // The same frame, in a buffer kept here.
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
  // What a frame, or the part below its top layer, is made of.
  struct Key {
    std::uint64_t backgroundVersion = kUnseen;
    std::vector<Seen> layers;
    bool operator==(const Key&) const = default;
  };
  // Pixels of a whole area.
  struct Plane {
    const std::uint8_t* pixels;
    std::ptrdiff_t stride;
  };
  static constexpr std::uint64_t kUnseen = ~std::uint64_t{0};
  static constexpr std::uint64_t kHidden = kUnseen - 1;  // under an opaque window

  // A frame's worth of memory from the C library, given back when let go.
  struct Free {
    void operator()(std::uint8_t* pixels) const { std::free(pixels); }
  };
  using Buffer = std::unique_ptr<std::uint8_t[], Free>;

  std::size_t Bytes() const;
  // `to` := a whole area's pixels.
  void CopyPlane(Plane from, std::uint8_t* to) const;
  // The background as it is to be read: the adopted pixels, or black if none.
  Plane BackgroundPlane();
  void DropBackground();
  // Makes `buffer` a whole frame of black if it is not one yet.
  void Allocate(Buffer& buffer) const;
  bool CoversOpaquely(const Layer& layer) const;
  // `to` := `from` with the layer blended over it where it lies, inside `within`.
  void BlendLayer(Plane from, std::uint8_t* to, const Layer& layer, const Rect& within) const;
  // What lies below the top layer, brought up to date.
  Plane UnderTop(const std::vector<Layer>& layers);
  // Bands that hold every pixel where the top layer differs from `below`;
  // none where it equals it.
  const std::vector<Rect>& Differing(const Layer& top, Plane below, const Key& belowKey);
  // Whether `to` differs from `from` in the top layer's opacity alone.
  bool OnlyTopOpacityMoved(const Key& from, const Key& to) const;
  // The layers that make the frame: all of them, less a top layer that
  // changes nothing; and, when the top layer was compared with what lies
  // below it, the bands where they differ.
  struct Effective {
    Key key;
    const std::vector<Rect>* bands;
  };
  Effective EffectiveKey(const std::vector<Layer>& layers);
  Key KeyOf(const std::vector<Layer>& layers, std::size_t count) const;

  std::int32_t width_;
  std::int32_t height_;
  Buffer background_;
  std::unique_ptr<HeldPixels> adopted_;  // instead of background_
  Buffer below_;  // the background and lower layers, when no one layer covers them
  Buffer frame_;
  Key belowKey_;
  std::uint64_t backgroundVersion_ = 0;
  bool overUnreadDesktop_ = false;
  // The last answer of Differing, for the top layer's version and place
  // over the same layers below.
  struct Comparison {
    Seen top;
    Key below;
    std::vector<Rect> bands;
  };
  std::optional<Comparison> compared_;
  Key composed_;
  const std::uint8_t* lastTarget_ = nullptr;  // where composed_ was written
};

}  // namespace orvanel::platform::compose
