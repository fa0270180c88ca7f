// The software compositor of the native desktop.
//   Blend: every byte value at every opacity against the exact rounded blend.
//   Composer: layers bottom first over the background, at their places and
//             opacities; the windows below the top one composed once per change;
//             a frame that would come out the same is not made again; the
//             desktop let go once a window covers it; every way of finding what
//             lies below the top window against a pixel-by-pixel reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "platform/compose/blend.h"
#include "platform/compose/screen_composer.h"

namespace orvanel::platform::compose {
namespace {

TEST(Blend, IsTheRoundedBlendForEveryValueAndOpacity) {
  // Every pair of byte values, plus a tail that is not a whole vector.
  std::vector<std::uint8_t> below(65536 + 7), top(below.size()), out(below.size());
  for (std::size_t i = 0; i < below.size(); ++i) {
    below[i] = static_cast<std::uint8_t>(i & 0xFF);
    top[i] = static_cast<std::uint8_t>((i >> 8) * 37 + i);
  }
  int wrong = 0;
  for (int alpha = 0; alpha <= 255; ++alpha) {
    BlendOver(below.data(), top.data(), out.data(), out.size(), static_cast<std::uint8_t>(alpha));
    for (std::size_t i = 0; i < out.size(); ++i) {
      const double exact = (top[i] * alpha + below[i] * (255.0 - alpha)) / 255.0;
      if (std::abs(out[i] - exact) > 0.5) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

std::vector<std::uint8_t> Filled(int width, int height, std::uint8_t value) {
  return std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, value);
}

std::uint8_t At(const std::uint8_t* frame, int width, int x, int y) { return frame[(y * width + x) * 4]; }

TEST(ScreenComposer, PutsEachLayerAtItsPlaceAndOpacity) {
  ScreenComposer composer(8, 4);
  const auto desktop = Filled(8, 4, 100);
  composer.SetBackground(desktop.data(), 8 * 4);
  EXPECT_EQ(At(composer.Compose({}), 8, 0, 0), 100);

  const auto white = Filled(4, 4, 255);
  const auto black = Filled(8, 4, 0);
  // A black window over all of it, half opaque; a white one over the right half on top.
  const std::vector<Layer> layers{{black.data(), 8 * 4, Rect{0, 0, 8, 4}, 128, 1},
                                  {white.data(), 4 * 4, Rect{4, 0, 8, 4}, 255, 2}};
  const std::uint8_t* frame = composer.Compose(layers);
  EXPECT_EQ(At(frame, 8, 0, 0), 50);   // 100 × 127/255 + 0 × 128/255, rounded
  EXPECT_EQ(At(frame, 8, 3, 3), 50);
  EXPECT_EQ(At(frame, 8, 4, 0), 255);
  EXPECT_EQ(At(frame, 8, 7, 3), 255);
}

TEST(ScreenComposer, AFadeStepBlendsTheTopWindowOverWhatIsBelowIt) {
  ScreenComposer composer(4, 2);
  const auto desktop = Filled(4, 2, 0);
  composer.SetBackground(desktop.data(), 4 * 4);
  auto picture = Filled(4, 2, 200);
  const auto overlay = Filled(4, 2, 20);
  for (int alpha : {0, 3, 126, 252, 255}) {
    const std::vector<Layer> layers{{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 7},
                                    {overlay.data(), 16, Rect{0, 0, 4, 2}, static_cast<std::uint8_t>(alpha), 9}};
    const int expected = static_cast<int>(std::lround((20.0 * alpha + 200.0 * (255 - alpha)) / 255.0));
    EXPECT_EQ(At(composer.Compose(layers), 4, 1, 1), expected) << alpha;
  }
  // Drawing on the window below (its version moves on) is seen at once.
  std::fill(picture.begin(), picture.end(), 40);
  const std::vector<Layer> drawn{{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 8}, {overlay.data(), 16, Rect{0, 0, 4, 2}, 1, 9}};
  EXPECT_EQ(At(composer.Compose(drawn), 4, 0, 0), 40);
}

TEST(ScreenComposer, AWindowPartlyOffTheAreaIsClipped) {
  ScreenComposer composer(4, 4);
  const auto desktop = Filled(4, 4, 10);
  composer.SetBackground(desktop.data(), 16);
  const auto window = Filled(4, 4, 90);
  const std::uint8_t* frame = composer.Compose({{window.data(), 16, Rect{-2, 2, 2, 6}, 255, 1}});
  EXPECT_EQ(At(frame, 4, 0, 2), 90);
  EXPECT_EQ(At(frame, 4, 1, 3), 90);
  EXPECT_EQ(At(frame, 4, 2, 2), 10);
  EXPECT_EQ(At(frame, 4, 0, 1), 10);
}

// A 4 x 2 picture window with an overlay over all of it, as in a dissolve,
// on a black desktop.
struct Dissolve {
  explicit Dissolve(std::uint8_t overlayLevel) : overlay(Filled(4, 2, overlayLevel)) {
    composer.SetBackground(desktop.data(), 16);
  }
  std::vector<Layer> Layers(std::uint8_t alpha, std::uint64_t pictureVersion, std::uint64_t overlayVersion) const {
    return {{picture.data(), 16, Rect{0, 0, 4, 2}, 255, pictureVersion},
            {overlay.data(), 16, Rect{0, 0, 4, 2}, alpha, overlayVersion}};
  }

  ScreenComposer composer{4, 2};
  std::vector<std::uint8_t> desktop = Filled(4, 2, 0);
  std::vector<std::uint8_t> picture = Filled(4, 2, 200);
  std::vector<std::uint8_t> overlay;
};

// A dissolve's second half: the window below has been given the picture the
// top one shows, and the top one fades out over it. No step changes the frame,
// and the frame is the picture exactly.
TEST(ScreenComposer, ATopWindowEqualToWhatIsBelowChangesNothingAtAnyOpacity) {
  Dissolve dissolve(77);
  auto& [composer, desktop, picture, overlay] = dissolve;
  composer.Compose(dissolve.Layers(255, 1, 2));
  std::fill(picture.begin(), picture.end(), 77);  // the new picture drawn below
  EXPECT_TRUE(composer.Differs(dissolve.Layers(255, 3, 2)));
  EXPECT_EQ(At(composer.Compose(dissolve.Layers(255, 3, 2)), 4, 0, 0), 77);
  for (int alpha = 252; alpha > 0; alpha -= 3) {
    EXPECT_FALSE(composer.Differs(dissolve.Layers(static_cast<std::uint8_t>(alpha), 3, 2))) << alpha;
    EXPECT_EQ(At(composer.Compose(dissolve.Layers(static_cast<std::uint8_t>(alpha), 3, 2)), 4, 3, 1), 77) << alpha;
  }
  // The top window gone at opacity 0 changes nothing either.
  EXPECT_FALSE(composer.Differs({dissolve.Layers(0, 3, 2).front()}));
}

// Over a desktop the display shows through, a black window fading in is a
// new frame at each step, though its pixels equal the black composed below
// it; over an opaque window of the same pixels it is not.
TEST(ScreenComposer, OverAnUnreadDesktopOpacityAloneMakesANewFrame) {
  ScreenComposer composer(4, 2);
  composer.SetOverUnreadDesktop();
  const auto black = Filled(4, 2, 0);
  const auto grey = Filled(4, 2, 77);
  const auto fading = [&](std::uint8_t alpha) {
    return std::vector<Layer>{{black.data(), 4 * 4, Rect{0, 0, 4, 2}, alpha, 1}};
  };
  composer.Compose(fading(10));
  EXPECT_TRUE(composer.Differs(fading(20)));
  composer.Compose(fading(20));
  EXPECT_FALSE(composer.Differs(fading(20)));
  const auto dissolving = [&](std::uint8_t alpha) {
    return std::vector<Layer>{{grey.data(), 4 * 4, Rect{0, 0, 4, 2}, 255, 2},
                              {grey.data(), 4 * 4, Rect{0, 0, 4, 2}, alpha, 3}};
  };
  composer.Compose(dissolving(100));
  EXPECT_FALSE(composer.Differs(dissolving(200)));
}

// Anything else that moves on is a new frame: the top window's opacity over
// other pixels, its drawing, the window below, the desktop.
TEST(ScreenComposer, AnyChangeThatShowsIsANewFrame) {
  Dissolve dissolve(20);
  auto& [composer, desktop, picture, overlay] = dissolve;
  composer.Compose(dissolve.Layers(10, 1, 2));
  EXPECT_FALSE(composer.Differs(dissolve.Layers(10, 1, 2)));
  EXPECT_TRUE(composer.Differs(dissolve.Layers(13, 1, 2)));
  overlay[5] = 21;
  EXPECT_TRUE(composer.Differs(dissolve.Layers(10, 1, 3)));
  EXPECT_TRUE(composer.Differs(dissolve.Layers(10, 4, 2)));
  // A rewritten desktop shows only where no opaque window covers it.
  composer.BackgroundWritten();
  EXPECT_FALSE(composer.Differs(dissolve.Layers(10, 1, 2)));
  const std::vector<Layer> faded{{picture.data(), 16, Rect{0, 0, 4, 2}, 128, 1}};
  composer.Compose(faded);
  composer.BackgroundWritten();
  EXPECT_TRUE(composer.Differs(faded));
  // One pixel of the top window unlike the one below is enough to show.
  ScreenComposer second(4, 2);
  second.SetBackground(desktop.data(), 16);
  auto same = Filled(4, 2, 200);
  same[4 * 7] = 199;
  second.Compose({{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 1}});
  EXPECT_TRUE(second.Differs({{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 1}, {same.data(), 16, Rect{0, 0, 4, 2}, 100, 5}}));
}

// A desktop that was never read (the saver never showed there) is black
// under the windows.
TEST(ScreenComposer, WithoutADesktopReadTheBackgroundIsBlack) {
  ScreenComposer composer(4, 2);
  const auto window = Filled(2, 2, 90);
  const std::uint8_t* frame = composer.Compose({{window.data(), 8, Rect{0, 0, 2, 2}, 255, 1}});
  EXPECT_EQ(At(frame, 4, 1, 1), 90);
  EXPECT_EQ(At(frame, 4, 3, 1), 0);
  EXPECT_EQ(At(composer.Compose({}), 4, 2, 0), 0);
}

// The desktop is kept only while it can show: once an opaque window covers
// the whole area its copy is let go, and should the area ever lie open again
// it is black there.
TEST(ScreenComposer, TheDesktopIsLetGoOnceAnOpaqueWindowCoversTheArea) {
  ScreenComposer composer(4, 2);
  const auto desktop = Filled(4, 2, 60);
  composer.SetBackground(desktop.data(), 16);
  const auto picture = Filled(4, 2, 200);
  // The opening fade: the desktop shows through until the last step.
  EXPECT_EQ(At(composer.Compose({{picture.data(), 16, Rect{0, 0, 4, 2}, 128, 1}}), 4, 0, 0),
            std::lround((200.0 * 128 + 60.0 * 127) / 255.0));
  EXPECT_TRUE(composer.HoldsBackground());
  EXPECT_TRUE(composer.Differs({{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 1}}));
  EXPECT_EQ(At(composer.Compose({{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 1}}), 4, 3, 1), 200);
  EXPECT_FALSE(composer.HoldsBackground());
  EXPECT_FALSE(composer.Differs({{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 1}}));
  // A window over half the area, over nothing any more.
  const std::uint8_t* frame = composer.Compose({{picture.data(), 16, Rect{0, 0, 2, 2}, 255, 1}});
  EXPECT_EQ(At(frame, 4, 1, 1), 200);
  EXPECT_EQ(At(frame, 4, 3, 1), 0);
}

// The desktop as the display read it, in memory the composer is handed: read
// where it lies (its rows may be longer than the area's), and let go once an
// opaque window covers the area.
TEST(ScreenComposer, AnAdoptedDesktopIsReadInPlaceAndLetGoWhenCovered) {
  struct Desktop : HeldPixels {
    explicit Desktop(bool& gone) : gone(gone) {}
    ~Desktop() override { gone = true; }
    const std::uint8_t* Pixels() const override { return rows.data(); }
    std::ptrdiff_t Stride() const override { return 6 * 4; }
    std::vector<std::uint8_t> rows = std::vector<std::uint8_t>(6 * 2 * 4, 60);
    bool& gone;
  };
  bool gone = false;
  ScreenComposer composer(4, 2);
  composer.AdoptBackground(std::make_unique<Desktop>(gone));
  const auto picture = Filled(4, 2, 200);
  EXPECT_EQ(At(composer.Compose({{picture.data(), 16, Rect{0, 0, 4, 2}, 128, 1}}), 4, 3, 1),
            std::lround((200.0 * 128 + 60.0 * 127) / 255.0));
  EXPECT_FALSE(gone);
  composer.Compose({{picture.data(), 16, Rect{0, 0, 4, 2}, 255, 1}});
  EXPECT_TRUE(gone);
  EXPECT_FALSE(composer.HoldsBackground());
}

// A dialog or a preview asks whether the monitors' frames change (the cursor
// is shown or hidden) but never shows there: asking allocates nothing.
TEST(ScreenComposer, AskingWhetherAFrameChangesHoldsNoFrame) {
  ScreenComposer composer(4, 2);
  composer.Differs({});
  composer.Differs({});
  EXPECT_FALSE(composer.HoldsBackground());
}

// What the frame must be, pixel by pixel: each layer in turn over what is
// below it, rounded to the nearest level.
std::vector<std::uint8_t> Reference(const std::vector<std::uint8_t>& desktop, int width, int height,
                                    const std::vector<Layer>& layers) {
  std::vector<std::uint8_t> frame = desktop;
  for (const Layer& layer : layers) {
    for (int y = std::max(layer.rect.top, 0); y < std::min(layer.rect.bottom, height); ++y) {
      for (int x = std::max(layer.rect.left, 0); x < std::min(layer.rect.right, width); ++x) {
        for (int c = 0; c < 4; ++c) {
          const int top = layer.pixels[(y - layer.rect.top) * layer.stride + (x - layer.rect.left) * 4 + c];
          std::uint8_t& out = frame[(static_cast<std::size_t>(y) * width + x) * 4 + c];
          out = static_cast<std::uint8_t>(std::lround((top * layer.alpha + out * (255.0 - layer.alpha)) / 255.0));
        }
      }
    }
  }
  return frame;
}

// Random stacks of one to three windows, some covering the area (some
// reaching past it), some not, at random opacities, composed one after
// another into the same frame as a slideshow would, often as fade steps of
// the stack before: the window below read in place, the lower windows
// composed once, a top window that changes nothing left out, a step blended
// only where it can change anything. Every frame equals the reference, and
// nothing outside the part said to have changed has changed.
TEST(ScreenComposer, EveryStackOfWindowsComposesAsThePixelByPixelReference) {
  constexpr int kWidth = 7;
  constexpr int kHeight = 5;
  std::mt19937 random(18);
  std::vector<std::uint8_t> desktop(static_cast<std::size_t>(kWidth) * kHeight * 4);
  for (auto& byte : desktop) byte = static_cast<std::uint8_t>(random());
  ScreenComposer composer(kWidth, kHeight);
  composer.SetBackground(desktop.data(), kWidth * 4);
  bool desktopHidden = false;
  std::vector<std::vector<std::uint8_t>> pixels(3);
  std::uint64_t version = 0;
  std::vector<std::uint8_t> target(desktop.size());
  std::vector<Layer> layers;
  int wrong = 0;
  int steps = 0;
  for (int frame = 0; frame < 4000; ++frame) {
    if (!layers.empty() && random() % 2 == 0) {
      // A fade step: the top window's opacity alone moves.
      layers.back().alpha = static_cast<std::uint8_t>(1 + random() % 255);
      ++steps;
    } else {
      layers.clear();
      const int count = 1 + static_cast<int>(random() % 3);
      for (int i = 0; i < count; ++i) {
        const bool covers = random() % 2 == 0;
        const Rect rect = covers ? Rect{-static_cast<int>(random() % 2), -static_cast<int>(random() % 2),
                                        kWidth + static_cast<int>(random() % 2), kHeight + static_cast<int>(random() % 2)}
                                 : Rect::FromBounds(static_cast<int>(random() % 9) - 2, static_cast<int>(random() % 7) - 2,
                                                    1 + static_cast<int>(random() % 5), 1 + static_cast<int>(random() % 4));
        auto& window = pixels[static_cast<std::size_t>(i)];
        window.resize(static_cast<std::size_t>(rect.Width()) * rect.Height() * 4);
        // Often mostly the same pixels as the window below, as in a dissolve.
        const std::uint8_t fill = static_cast<std::uint8_t>(random() % 4 == 0 ? 77 : random());
        for (auto& byte : window) byte = random() % 8 != 0 ? fill : static_cast<std::uint8_t>(random());
        const std::uint8_t alpha = static_cast<std::uint8_t>(random() % 3 == 0 ? 255 : 1 + random() % 254);
        layers.push_back(Layer{window.data(), rect.Width() * 4, rect, alpha, ++version});
      }
    }
    const std::vector<std::uint8_t> before = target;
    const std::vector<Rect> changed = composer.ComposeInto(layers, target.data());
    for (const Layer& layer : layers) {
      if (layer.alpha == 255 && layer.rect.left <= 0 && layer.rect.top <= 0 && layer.rect.right >= kWidth &&
          layer.rect.bottom >= kHeight) {
        desktopHidden = true;
      }
    }
    // Once let go, the desktop is black.
    if (desktopHidden) std::fill(desktop.begin(), desktop.end(), std::uint8_t{0});
    if (target != Reference(desktop, kWidth, kHeight, layers)) ++wrong;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 4;
        const bool inside = std::any_of(changed.begin(), changed.end(), [&](const Rect& part) {
          return x >= part.left && x < part.right && y >= part.top && y < part.bottom;
        });
        if (!inside && frame > 0 && std::memcmp(&before[at], &target[at], 4) != 0) ++wrong;
      }
    }
    // The same stack again is no new frame.
    if (composer.Differs(layers)) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(desktopHidden);
  EXPECT_GT(steps, 1000);
}

// A dissolve's step on a large screen touches only the pictures' part of it:
// the two windows are black around pictures of their own places.
TEST(ScreenComposer, AFadeStepChangesOnlyWhereTheTwoWindowsDiffer) {
  ScreenComposer composer(40, 30);
  auto picture = Filled(40, 30, 0);
  auto overlay = Filled(40, 30, 0);
  const auto paint = [](std::vector<std::uint8_t>& window, Rect where, std::uint8_t value) {
    for (int y = where.top; y < where.bottom; ++y) {
      for (int x = where.left; x < where.right; ++x) window[(static_cast<std::size_t>(y) * 40 + x) * 4] = value;
    }
  };
  paint(picture, Rect{10, 8, 30, 22}, 200);
  paint(overlay, Rect{5, 12, 25, 20}, 90);
  std::vector<std::uint8_t> frame(40 * 30 * 4);
  std::vector<Layer> layers{{picture.data(), 160, Rect{0, 0, 40, 30}, 255, 1}, {overlay.data(), 160, Rect{0, 0, 40, 30}, 3, 2}};
  using Parts = std::vector<Rect>;
  EXPECT_EQ(composer.ComposeInto(layers, frame.data()), (Parts{{0, 0, 40, 30}}));
  layers.back().alpha = 6;
  // The picture alone above the overlay's, the two side by side, the picture alone below.
  EXPECT_EQ(composer.ComposeInto(layers, frame.data()), (Parts{{10, 8, 30, 12}, {5, 12, 30, 20}, {10, 20, 30, 22}}));
  // Into another frame: made whole.
  std::vector<std::uint8_t> other(frame.size());
  layers.back().alpha = 9;
  EXPECT_EQ(composer.ComposeInto(layers, other.data()), (Parts{{0, 0, 40, 30}}));
  // Into the same memory, once told that it may hold anything now (new
  // memory mapped where the old lay): made whole again.
  composer.ForgetTarget();
  layers.back().alpha = 12;
  EXPECT_EQ(composer.ComposeInto(layers, other.data()), (Parts{{0, 0, 40, 30}}));
  // A difference of another span on every row: their bounds, not thirty requests.
  auto diagonal = Filled(40, 30, 0);
  for (int y = 0; y < 30; ++y) diagonal[(static_cast<std::size_t>(y) * 40 + y + 2) * 4 + 1] = 50;
  layers.back() = Layer{diagonal.data(), 160, Rect{0, 0, 40, 30}, 3, 3};
  composer.ComposeInto(layers, frame.data());
  layers.back().alpha = 6;
  EXPECT_EQ(composer.ComposeInto(layers, frame.data()), (Parts{{2, 0, 32, 30}}));
}

}  // namespace
}  // namespace orvanel::platform::compose
