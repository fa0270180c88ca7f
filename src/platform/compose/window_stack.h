#pragma once
// The saver's top-level windows from the top down, and what the compositor
// asks of them: which lie over a screen area and how, and which is on top at
// a point. Top-most windows form a band above the others; a window brought
// to the top goes to the top of its band.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/compose/screen_composer.h"
#include "platform/geometry.h"
#include "platform/window_handle.h"

namespace orvanel::platform::compose {

// One window as the compositor sees it.
struct StackedWindow {
  Rect bounds;               // on the screen
  std::uint8_t alpha = 255;  // the opacity it shows at
  bool shown = false;
  // Drawn by the compositor: a full-screen window, not a dialog, which the
  // desktop shows on its own.
  bool composed = false;
  std::uint64_t version = 0;  // moves on with every change of its pixels
};

// A window's client pixels, 32 bits a pixel.
struct WindowPixels {
  const std::uint8_t* pixels = nullptr;
  std::ptrdiff_t stride = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class WindowStack {
 public:
  using Lookup = std::function<StackedWindow(WindowHandle)>;
  using PixelsLookup = std::function<WindowPixels(WindowHandle)>;

  explicit WindowStack(Lookup lookup) : lookup_(std::move(lookup)) {}

  // A new window goes to the top of the ordinary band, below the top-most ones.
  void Add(WindowHandle window);
  void Remove(WindowHandle window);
  // `topmost` moves the window into the top-most band for good.
  void BringToTop(WindowHandle window, bool topmost);
  const std::vector<WindowHandle>& TopFirst() const { return order_; }
  // The order changed since the last call.
  bool TakeRestack();

  // Whether some composed window shows anything over `area`: until one does,
  // the desktop itself is seen there.
  bool ShowsOver(const Rect& area) const;
  // The composed windows that show over `area`, bottom first, in the area's
  // coordinates.
  std::vector<Layer> LayersOver(const Rect& area, const PixelsLookup& pixelsOf) const;
  // The top composed window at a point of the screen, or kNoWindow.
  WindowHandle TopAt(Point screen) const;
  // The window a key goes to: the active one while it shows, else the top
  // composed window under the pointer, else the top window.
  WindowHandle KeyTarget(WindowHandle active, Point pointer) const;

 private:
  Lookup lookup_;
  std::vector<WindowHandle> order_;  // the top one first
  std::vector<WindowHandle> topmost_;
  bool restack_ = false;
};

}  // namespace orvanel::platform::compose
