// Ending the saver on input, through the windows' own message handling.
//   Mouse: the first position, 10 versus 11 pixels per axis, small moves,
//          clicks, positions compared across windows.
//   Keys: any key on any window ends the run; nothing outside Active mode.
//   Close lists: each acting window closes its list, the main window last.
//   During a dissolve: a key ends the run at the next fade step, in either fade,
//   and one as the overlay leaves skips the pause that closes a presentation.
#include <gtest/gtest.h>

#include "slideshow/showimg.h"
#include "support/slideshow_fixture.h"
#include "support/timer_window.h"

namespace orvanel::screens {
namespace {

using platform::Point;
using platform::Rect;
using testing::SlideshowFixture;

std::vector<Rect> FourMonitors() {
  return {Rect{0, 0, 1024, 768}, Rect::FromBounds(1024, 0, 1024, 768),
          Rect::FromBounds(2048, 0, 1024, 768), Rect::FromBounds(3072, 0, 1024, 768)};
}

class Dismissal : public SlideshowFixture {
 protected:
  void Move(forms::Form& window, Point at) {
    desktop.MoveMouse(window.Handle(), at);
    saver().app.ProcessMessages();
  }
  void Click(forms::Form& window, Point at) {
    desktop.PressMouse(window.Handle(), at);
    saver().app.ProcessMessages();
  }
  void Key(forms::Form& window) {
    desktop.PressKey(window.Handle(), 'A', 'a');
    saver().app.ProcessMessages();
  }
  bool Ended() { return saver().quitRequested && saver().app.TerminateRequested(); }
};

TEST_F(Dismissal, AFirstEventAtTheOriginTakesNoPosition) {
  Start("/s", {8, true, true});
  Move(main(), {0, 0});
  EXPECT_EQ(saver().firstMousePos, (Point{0, 0}));
  Move(main(), {300, 300});  // recorded, not compared
  EXPECT_FALSE(Ended());
  EXPECT_EQ(saver().firstMousePos, (Point{300, 300}));
}

// Only the origin itself means "no position yet": a first event anywhere on
// the left or top edge is a position like any other.
TEST_F(Dismissal, AFirstEventOnTheLeftOrTopEdgeIsComparedWith) {
  for (const Point first : {Point{0, 300}, Point{300, 0}}) {
    Start("/s", {8, true, true});
    Move(main(), first);
    EXPECT_EQ(saver().firstMousePos, first);
    // Along the same edge: a small move, then a large one.
    const Point along = first.x == 0 ? Point{0, 1} : Point{1, 0};
    Move(main(), {first.x + 5 * along.x, first.y + 5 * along.y});
    EXPECT_FALSE(Ended());
    Move(main(), {first.x + 100 * along.x, first.y + 100 * along.y});
    EXPECT_TRUE(Ended()) << first.x << "," << first.y;
  }
}

struct MoveRow {
  Point to;
  bool ends;
};

class MouseThreshold : public Dismissal, public ::testing::WithParamInterface<MoveRow> {};

TEST_P(MouseThreshold, EndsBeyondTenPixelsOnEitherAxis) {
  Start("/s", {8, true, true});
  Move(main(), {101, 101});
  Move(main(), GetParam().to);
  EXPECT_EQ(Ended(), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MouseThreshold,
    ::testing::Values(MoveRow{{111, 101}, false}, MoveRow{{112, 101}, true},
                      MoveRow{{91, 101}, false}, MoveRow{{90, 101}, true},
                      MoveRow{{101, 111}, false}, MoveRow{{101, 89}, true},
                      MoveRow{{111, 111}, false}, MoveRow{{91, 91}, false},
                      MoveRow{{102, 102}, false}));

TEST_F(Dismissal, ManySmallMovesNeverEndTheSaver) {
  Start("/s", {8, true, true});
  Move(main(), {500, 500});
  for (int i = 0; i < 200; ++i) Move(main(), {500 + (i % 21) - 10, 500 + (i % 7) - 3});
  EXPECT_FALSE(Ended());
  EXPECT_EQ(saver().firstMousePos, (Point{500, 500}));
}

TEST_F(Dismissal, AClickCountsLikeAMove) {
  Start("/s", {8, true, true});
  Click(main(), {400, 300});  // the very first event only records
  EXPECT_FALSE(Ended());
  Click(main(), {405, 310});
  EXPECT_FALSE(Ended());
  Click(main(), {400, 320});
  EXPECT_TRUE(Ended());
}

TEST_F(Dismissal, AClickOnAnyMonitorsWindowCountsLikeAMove) {
  Start("/s", {8, true, true}, FourMonitors());
  Click(*saver().PictureWindow(1), {400, 300});
  Click(*saver().Overlay(2), {405, 310});
  EXPECT_FALSE(Ended());
  Click(*saver().PictureWindow(3), {400, 320});
  EXPECT_TRUE(Ended());
}

TEST_F(Dismissal, PositionsFromDifferentWindowsAreComparedAsTheyCome) {
  Start("/s", {8, true, true}, FourMonitors());
  Move(*saver().Overlay(2), {500, 500});
  Move(main(), {505, 495});
  EXPECT_FALSE(Ended());
  Move(*saver().PictureWindow(1), {520, 500});
  EXPECT_TRUE(Ended());
}

TEST_F(Dismissal, KeysAndMovesDoNothingOutsideActiveMode) {
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 152, 112));
  for (const std::string& arguments : {"/p " + std::to_string(host), "/c:" + std::to_string(host),
                                      std::string("/a")}) {
    Start(arguments, {8, true, true});
    Key(main());
    Move(main(), {1, 1});
    Move(main(), {200, 200});
    EXPECT_FALSE(saver().quitRequested) << arguments;
    EXPECT_EQ(saver().firstMousePos, (Point{0, 0})) << arguments;
  }
}

struct CloseRow {
  int monitor;
  bool overlay;       // else the picture window (the main window for monitor 0)
  int overlaysShut;   // overlays of monitors 0 .. overlaysShut-1 closed
  int picturesShut;   // picture windows of monitors 1 .. picturesShut closed
};

class CloseLists : public Dismissal, public ::testing::WithParamInterface<CloseRow> {};

TEST_P(CloseLists, AKeyClosesTheActingWindowsListAndEndsTheRun) {
  const auto& row = GetParam();
  Start("/s", {8, true, true}, FourMonitors());
  auto* acting = row.overlay ? saver().Overlay(row.monitor) : saver().PictureWindow(row.monitor);
  Key(*acting);
  EXPECT_TRUE(Ended());
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(desktop.Find(saver().Overlay(k)->Handle())->visible, k >= row.overlaysShut)
        << "overlay " << k;
    if (k == 0) continue;
    EXPECT_EQ(desktop.Find(saver().PictureWindow(k)->Handle())->visible, k > row.picturesShut)
        << "picture window " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, CloseLists,
                         ::testing::Values(CloseRow{0, false, 0, 0}, CloseRow{0, true, 1, 0},
                                           CloseRow{1, false, 2, 1}, CloseRow{1, true, 2, 1},
                                           CloseRow{2, true, 3, 2}, CloseRow{3, false, 4, 3},
                                           CloseRow{3, true, 4, 3}));

TEST_F(Dismissal, AKeyDuringADissolveEndsItAtTheNextFadeStep) {
  Start("/s", {8, true, true});
  auto& main = this->main();
  ASSERT_TRUE(slideshow::ShowPicture(saver(), main.GetCanvas(), main.ClientRect(),
                                     saver().picturePool, slideshow::PictureCount,
                                     saver().pictureIndex, 0));
  testing::TimerWindow typist(instance->process, [&] { desktop.PressKey(main.Handle(), 'A', 'a'); });
  typist.FireAfter(900);
  EXPECT_FALSE(slideshow::ShowPicture(saver(), main.GetCanvas(), main.ClientRect(),
                                      saver().picturePool, slideshow::PictureCount,
                                      saver().pictureIndex, 0));
  const int overlay = saver().Overlay(0)->AlphaBlendValue();
  EXPECT_GT(overlay, 0);
  EXPECT_LT(overlay, 255);
  EXPECT_TRUE(Ended());
  // The run ends: the loop meets the quit message and no picture follows.
  const auto shown = saver().pictureIndex;
  desktop.SetClockLimit(desktop.NowMs() + 60'000);
  saver().app.Run();
  EXPECT_TRUE(saver().app.Terminated());
  EXPECT_EQ(saver().pictureIndex, shown);
}

// The same key once the new picture is on screen and the overlay fades out.
TEST_F(Dismissal, AKeyDuringTheFadeOutEndsItAtTheNextFadeStep) {
  Start("/s", {8, true, true});
  auto& main = this->main();
  const auto overlay = saver().Overlay(0)->Handle();
  bool opaque = false;
  int changesAfterKey = -1;
  desktop.afterAlphaChange = [&](platform::WindowHandle window, std::uint8_t alpha) {
    if (window != overlay) return;
    if (changesAfterKey >= 0) ++changesAfterKey;
    if (alpha == 255) opaque = true;
    if (opaque && alpha < 255 && changesAfterKey < 0) {
      desktop.PressKey(main.Handle(), 'A', 'a');
      changesAfterKey = 0;
    }
  };
  EXPECT_FALSE(slideshow::ShowPicture(saver(), main.GetCanvas(), main.ClientRect(),
                                      saver().picturePool, slideshow::PictureCount,
                                      saver().pictureIndex, 0));
  // The key is read in the wait of the step under way; no step follows it.
  ASSERT_GE(changesAfterKey, 0);
  EXPECT_LE(changesAfterKey, 1);
  const int alpha = saver().Overlay(0)->AlphaBlendValue();
  EXPECT_GT(alpha, 0);
  EXPECT_LT(alpha, 255);
  EXPECT_TRUE(Ended());
}

// A key that falls as the overlay is cleared is taken by the message step
// before the closing pause; that pause would hold the ending saver on the
// screen for another half second.
TEST_F(Dismissal, AKeyAsTheOverlayLeavesEndsThePresentationWithoutItsPause) {
  Start("/s", {8, true, true});
  auto& main = this->main();
  const auto overlay = saver().Overlay(0)->Handle();
  bool opaque = false;
  std::int64_t keyAtMs = -1;
  desktop.afterAlphaChange = [&](platform::WindowHandle window, std::uint8_t alpha) {
    if (window != overlay) return;
    if (alpha == 255) opaque = true;
    if (opaque && alpha == 0 && keyAtMs < 0) {
      desktop.PressKey(main.Handle(), 'A', 'a');
      keyAtMs = desktop.NowMs();
    }
  };
  slideshow::ShowPicture(saver(), main.GetCanvas(), main.ClientRect(), saver().picturePool,
                         slideshow::PictureCount, saver().pictureIndex, 0);
  ASSERT_GE(keyAtMs, 0);
  EXPECT_TRUE(Ended());
  EXPECT_LT(desktop.NowMs() - keyAtMs, 50);
}

}  // namespace
}  // namespace orvanel::screens
