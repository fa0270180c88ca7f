// The presenter, called directly.
//   Fades: the dissolve's opacity history and pace; the opening fade on the first call only;
//          larger steps on a slow display.
//   Order: sequential cycles; random cycles, drawn from the clock at each picture.
//   Placement: the preview's corner; the free margin of a large monitor.
//   Blend off: the other monitors blank; the pointer parked.
//   Ways out: busy on entry, a quit in a fade, a missing picture; content kept over a repaint.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/forms/error.h"
#include "platform/sim/sim_drawing.h"
#include "slideshow/picture_source.h"
#include "slideshow/random_numbers.h"
#include "slideshow/showimg.h"
#include "support/slideshow_fixture.h"
#include "support/timer_window.h"

namespace orvanel::slideshow {
namespace {

using platform::Rect;
using testing::SlideshowFixture;

class Presenter : public SlideshowFixture {
 protected:
  bool ShowOn(int monitor) {
    auto* window = saver().PictureWindow(monitor);
    return ShowPicture(saver(), window->GetCanvas(), window->ClientRect(), saver().picturePool,
                       PictureCount, saver().pictureIndex, monitor);
  }
};

std::vector<int> Steps(int from, int to, int step) {
  std::vector<int> values;
  for (int v = from; step > 0 ? v <= to : v >= to; v += step) values.push_back(v);
  return values;
}

TEST_F(Presenter, TheFirstDissolveFadesEverythingInThenOutInStepsOfThree) {
  Start("/s", {8, true, true});
  ASSERT_TRUE(ShowOn(0));

  std::vector<int> opening{0};
  for (int v : Steps(3, 252, 3)) opening.push_back(v);
  opening.push_back(255);
  EXPECT_EQ(Opacities(main()), opening);

  std::vector<int> dissolve{0};
  for (int v : Steps(3, 252, 3)) dissolve.push_back(v);
  dissolve.push_back(255);
  for (int v : Steps(252, 3, -3)) dissolve.push_back(v);
  dissolve.push_back(0);
  EXPECT_EQ(Opacities(*saver().Overlay(0)), dissolve);

  // Every change of a fade follows a wait of 20.0448 ms, seen on the millisecond clock.
  const auto& history = desktop.Find(saver().Overlay(0)->Handle())->alphaHistory;
  for (std::size_t i = 2; i <= 84; ++i) {
    EXPECT_EQ(history[i].atMs - history[i - 1].atMs, 21) << i;
  }

  ASSERT_TRUE(ShowOn(0));
  EXPECT_EQ(Opacities(main()), opening);  // no second opening fade
  EXPECT_EQ(saver().presenterBusy, false);
  EXPECT_EQ(instance->process.FineTimerRequests(), 0);
}

TEST_F(Presenter, AMonitorWithoutItsWindowsShowsNothingAndTakesNoPicture) {
  Start("/s", {8, true, true});  // one monitor: no windows for monitor 2
  const auto pool = saver().picturePool;
  const auto index = saver().pictureIndex;
  auto* window = saver().PictureWindow(0);
  EXPECT_FALSE(ShowPicture(saver(), window->GetCanvas(), window->ClientRect(), saver().picturePool, PictureCount,
                           saver().pictureIndex, 2));
  EXPECT_EQ(saver().picturePool, pool);
  EXPECT_EQ(saver().pictureIndex, index);
  EXPECT_FALSE(saver().presenterBusy);
}

class SlowDisplay : public Presenter, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SlowDisplay, MakesTheStepsLargerForTheRestOfTheCall) {
  const auto [cost, step] = GetParam();
  Start("/s", {8, true, true});
  desktop.SetAlphaChangeCost(cost);
  ASSERT_TRUE(ShowOn(0));
  const auto main = Opacities(this->main());
  ASSERT_GE(main.size(), 4u);
  EXPECT_EQ(main[1], 3);
  EXPECT_EQ(main[2] - main[1], step);
  EXPECT_EQ(main[3] - main[2], step);
  // The next call starts again at 3 and grows again.
  const std::size_t before = Opacities(*saver().Overlay(0)).size();
  ASSERT_TRUE(ShowOn(0));
  const auto overlay = Opacities(*saver().Overlay(0));
  ASSERT_GE(overlay.size(), before + 2);
  EXPECT_EQ(overlay[before], 3);
  EXPECT_EQ(overlay[before + 1] - overlay[before], step);
}

INSTANTIATE_TEST_SUITE_P(Costs, SlowDisplay,
                         ::testing::Values(std::pair{150, 4}, std::pair{250, 7},
                                           std::pair{350, 10}, std::pair{60, 3}));

TEST_F(Presenter, SequentialOrderCyclesThroughTheFirstFiftyFourPictures) {
  Start("/s", {8, false, false});
  std::vector<int> shown;
  for (int i = 0; i < 56; ++i) {
    ASSERT_TRUE(ShowOn(0));
    shown.push_back(saver().pictureIndex);
  }
  std::vector<int> expected = Steps(0, 53, 1);
  expected.push_back(0);
  expected.push_back(1);
  EXPECT_EQ(shown, expected);
}

// The pictures of a random run without dissolves started at `start` (UTC),
// with the clock moved on by `pauseMs` just before the presentation numbered
// `pausedBefore`.
std::vector<int> RandomRun(const platform::DateTime& start, int count, int pausedBefore = -1,
                           std::int64_t pauseMs = 0) {
  platform::sim::SimDesktop desktop;
  desktop.SetStartTime(start);
  {
    platform::sim::SimProcess writer(desktop, "orvanel.scr");
    settings::SaveSettings(writer, {8, true, false});
  }
  testing::SimSaver instance(desktop, "/s");
  EXPECT_TRUE(instance.Start());
  auto& saver = instance.saver;
  std::vector<int> shown;
  for (int i = 0; i < count; ++i) {
    if (i == pausedBefore) desktop.Advance(pauseMs);
    auto* window = saver.PictureWindow(0);
    EXPECT_TRUE(ShowPicture(saver, window->GetCanvas(), window->ClientRect(), saver.picturePool, PictureCount,
                            saver.pictureIndex, 0));
    shown.push_back(saver.pictureIndex);
  }
  return shown;
}

// Random order shows each picture once a cycle, in an order the time of day
// decides afresh at each picture: the same moment gives the same order, a
// clock a millisecond on another, from that picture on.
TEST(PresenterRandomOrder, EachCycleIsAPermutationDrawnFromTheClockAtEachPicture) {
  const platform::DateTime nine{2026, 12, 7, 9, 0, 0, 0};
  const auto run = RandomRun(nine, 60);
  const std::set<int> firstCycle(run.begin(), run.begin() + 54);
  EXPECT_EQ(firstCycle.size(), 54u);
  EXPECT_EQ(*firstCycle.rbegin(), 53);
  EXPECT_EQ(std::set<int>(run.begin() + 54, run.end()).size(), 6u);  // a new cycle, no repeat in it
  std::vector<int> sequential = Steps(0, 53, 1);
  for (int n : Steps(0, 5, 1)) sequential.push_back(n);
  EXPECT_NE(run, sequential);

  // The first picture is the generator's first draw over the 54, seeded
  // with the milliseconds of the day.
  std::uint32_t seed = 9u * 3'600'000u;
  EXPECT_EQ(run[0], Random(seed, PictureCount));

  EXPECT_EQ(RandomRun(nine, 60), run);
  EXPECT_NE(RandomRun(platform::DateTime{2026, 12, 7, 9, 0, 0, 1}, 60), run);
  const auto paused = RandomRun(nine, 60, 10, 1);
  EXPECT_TRUE(std::equal(run.begin(), run.begin() + 10, paused.begin()));
  EXPECT_FALSE(std::equal(run.begin() + 10, run.end(), paused.begin() + 10));
}

// The fitted picture, to compare the window's pixels with.
std::unique_ptr<platform::Bitmap> Fitted(platform::Desktop& desktop, int number, int w, int h) {
  return FitPicture(desktop, LoadPicture(desktop, number), w, h).bitmap;
}

bool DrawnAt(platform::sim::SimDesktop& desktop, platform::WindowHandle window,
             const platform::Bitmap& picture, int x, int y) {
  const auto& pixels = static_cast<const platform::sim::SimBitmap&>(picture).Pixels();
  for (int py = 0; py < picture.Height(); py += 9) {
    for (int px = 0; px < picture.Width(); px += 7) {
      if (desktop.PixelAt(window, {x + px, y + py}) !=
          (pixels[static_cast<std::size_t>(py) * picture.Width() + px] & 0xFFFFFF)) {
        return false;
      }
    }
  }
  return true;
}

// The preview's picture, 149 x 112 in a 152 x 112 host, sits at a random
// column of the 3 free ones, on the top row; each job gives the host's
// drawing context back and leaves the pointer alone.
TEST_F(Presenter, APreviewPictureSitsInTheFreeMarginAndItsContextIsGivenBack) {
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(200, 300, 152, 112));
  Start("/p " + std::to_string(host), {4, true, false});
  std::set<int> columns;
  for (int job = 0; job < 8; ++job) {
    desktop.SetClockLimit(job * 4000);
    instance->saver.app.Run();  // the job of this tick, its closing wait included
    const auto fitted = Fitted(instance->process, saver().pictureIndex, 152, 112);
    ASSERT_EQ(fitted->Width(), 149);
    ASSERT_EQ(fitted->Height(), 112);
    std::vector<int> drawnAt;
    for (int x = 0; x <= 152 - 149; ++x) {
      if (DrawnAt(desktop, host, *fitted, x, 0)) drawnAt.push_back(x);
    }
    ASSERT_EQ(drawnAt.size(), 1u) << "job " << job;
    EXPECT_LT(drawnAt[0], 152 - 149) << "job " << job;  // R(3) gives 0, 1 or 2
    columns.insert(drawnAt[0]);
    EXPECT_EQ(desktop.openContexts, 0);
  }
  EXPECT_GT(columns.size(), 1u);  // the jobs used the margin, not one fixed column
  EXPECT_EQ(instance->process.CursorCounter(), 0);
}

// What the screen shows at each change of the overlay's opacity in a dissolve
// from picture 0 to picture 1 on a monitor they fill.
TEST_F(Presenter, ADissolveCoversThePictureWindowBeforeItIsRedrawn) {
  Start("/s", {8, false, true});
  ASSERT_TRUE(ShowOn(0));  // picture 0, with the opening fade
  const auto first = Fitted(instance->process, 0, 1024, 768);
  const auto second = Fitted(instance->process, 1, 1024, 768);
  const auto overlay = saver().Overlay(0)->Handle();
  const auto below = main().Handle();
  struct Moment {
    int alpha;
    bool overlayShowsSecond;
    bool belowShowsSecond;
    bool belowShowsFirst;
  };
  std::vector<Moment> moments;
  desktop.afterAlphaChange = [&](platform::WindowHandle window, std::uint8_t alpha) {
    if (window != overlay) return;
    moments.push_back({alpha, DrawnAt(desktop, overlay, *second, 0, 0),
                       DrawnAt(desktop, below, *second, 0, 0), DrawnAt(desktop, below, *first, 0, 0)});
  };
  ASSERT_TRUE(ShowOn(0));
  desktop.afterAlphaChange = nullptr;

  // The overlay is at 0 already: 84 changes up, 255, 84 changes down, 0.
  ASSERT_EQ(moments.size(), 84u + 1 + 84 + 1);
  for (std::size_t i = 0; i <= 84; ++i) {  // fading in, and full cover
    EXPECT_TRUE(moments[i].overlayShowsSecond) << i;
    EXPECT_TRUE(moments[i].belowShowsFirst) << i;
  }
  EXPECT_EQ(moments[0].alpha, 3);
  EXPECT_EQ(moments[84].alpha, 255);
  for (std::size_t i = 85; i < moments.size(); ++i) {  // fading out over the same picture
    EXPECT_TRUE(moments[i].overlayShowsSecond) << i;
    EXPECT_TRUE(moments[i].belowShowsSecond) << i;
  }
  EXPECT_EQ(moments.back().alpha, 0);
  // Cleared once it is transparent.
  EXPECT_EQ(desktop.PixelAt(overlay, {512, 384}), platform::kBlack);
  EXPECT_TRUE(DrawnAt(desktop, below, *second, 0, 0));
}

TEST_F(Presenter, ALargeMonitorGetsThePictureAtItsSizeInTheFreeMargin) {
  Start("/s", {8, false, false}, {Rect{0, 0, 1280, 1024}});
  ASSERT_TRUE(ShowOn(0));
  // Sequential order never seeds the generator: it runs on from 0.
  std::uint32_t seed = 0;
  const int x = Random(seed, 256);
  const int y = Random(seed, 256);
  const auto picture = Fitted(instance->process, 0, 1280, 1024);
  ASSERT_EQ(picture->Width(), 1024);
  EXPECT_TRUE(DrawnAt(desktop, main().Handle(), *picture, x, y)) << x << "," << y;
  EXPECT_EQ(desktop.PixelAt(main().Handle(), {1279, 1023}), platform::kBlack);
  EXPECT_EQ(desktop.CursorPos(), (platform::Point{101, 101}));
  EXPECT_EQ(instance->process.CursorCounter(), -3);  // hidden twice at start, once per picture
}

// Each call also makes every picture window opaque; once they are, later
// calls leave their opacity untouched, which on a slow display would cost a
// fade step's time a window.
TEST_F(Presenter, WithoutTheDissolveOnlyTheLastMonitorShowsAPicture) {
  Start("/s", {8, false, false}, {Rect{0, 0, 1024, 768}, Rect::FromBounds(1024, 0, 1024, 768)});
  const auto centre = platform::Point{512, 384};
  const auto opacityChanges = [&] {
    return std::vector<std::size_t>{desktop.Find(saver().PictureWindow(0)->Handle())->alphaHistory.size(),
                                    desktop.Find(saver().PictureWindow(1)->Handle())->alphaHistory.size()};
  };
  std::vector<std::size_t> afterFirstRound;
  for (int round = 0; round < 3; ++round) {
    for (int monitor : {0, 1}) {
      ASSERT_TRUE(ShowOn(monitor));
      const auto other = saver().PictureWindow(1 - monitor)->Handle();
      EXPECT_EQ(desktop.PixelAt(other, centre), platform::kBlack);
      EXPECT_EQ(desktop.Find(other)->alpha, 255);
    }
    if (round == 0) afterFirstRound = opacityChanges();
  }
  EXPECT_EQ(opacityChanges(), afterFirstRound);
}

TEST_F(Presenter, TheOpeningFadeTakesEveryMonitorsPictureWindowAlong) {
  Start("/s", {8, true, true},
        {Rect{0, 0, 1024, 768}, Rect::FromBounds(1024, 0, 1024, 768), Rect::FromBounds(2048, 0, 800, 600)});
  ASSERT_TRUE(ShowOn(0));
  const auto main = Opacities(this->main());
  EXPECT_EQ(Opacities(*saver().PictureWindow(1)), main);
  EXPECT_EQ(Opacities(*saver().PictureWindow(2)), main);
  // Their overlays take no part.
  EXPECT_EQ(Opacities(*saver().Overlay(1)), std::vector<int>{0});
}

TEST_F(Presenter, AQuitInTheOpeningFadeLeavesThePoolAlone) {
  Start("/s", {8, true, true});
  testing::TimerWindow quitter(instance->process, [&] { saver().quitRequested = true; });
  quitter.FireAfter(500);
  EXPECT_FALSE(ShowOn(0));
  EXPECT_TRUE(saver().picturePool.empty());
  const int opacity = main().AlphaBlendValue();
  EXPECT_GT(opacity, 0);
  EXPECT_LT(opacity, 255);
  EXPECT_FALSE(saver().presenterBusy);
}

TEST_F(Presenter, WithoutTheDissolveMonitorsOfOtherSizesAreBlankedWhole) {
  Start("/s", {8, false, false},
        {Rect{0, 0, 1920, 1080}, Rect::FromBounds(1920, 0, 800, 600)});
  ASSERT_TRUE(ShowOn(0));
  ASSERT_TRUE(ShowOn(1));
  // Anywhere on monitor 0, also beyond the 800 x 600 of the target's area.
  for (const platform::Point at : {platform::Point{10, 10}, {1500, 900}, {1919, 1079}}) {
    EXPECT_EQ(desktop.PixelAt(main().Handle(), at), platform::kBlack);
  }
}

TEST_F(Presenter, ClosingTheScreenWindowsHidesThem) {
  Start("/s", {8, true, true}, {Rect{0, 0, 1024, 768}, Rect::FromBounds(1024, 0, 1024, 768)});
  for (auto* window : {saver().Overlay(1), saver().PictureWindow(1), saver().Overlay(0)}) {
    ASSERT_TRUE(desktop.Find(window->Handle())->visible);
    window->Close();
    EXPECT_FALSE(desktop.Find(window->Handle())->visible);
  }
  EXPECT_TRUE(saver().quitRequested);
}

TEST_F(Presenter, ACallWhileBusyChangesNothing) {
  Start("/s", {8, true, true});
  saver().presenterBusy = true;
  EXPECT_FALSE(ShowOn(0));
  EXPECT_TRUE(saver().picturePool.empty());
  EXPECT_EQ(Opacities(main()), std::vector<int>{0});
  EXPECT_TRUE(saver().presenterBusy);
}

TEST_F(Presenter, AQuitDuringTheDissolveLeavesTheOverlayWhereItWas) {
  Start("/s", {8, true, true});
  ASSERT_TRUE(ShowOn(0));
  // The quit comes halfway through the next dissolve's fade in.
  bool quit = false;
  testing::TimerWindow quitter(instance->process, [&] { saver().quitRequested = quit = true; });
  quitter.FireAfter(900);

  const auto poolBefore = saver().picturePool.size();
  EXPECT_FALSE(ShowOn(0));
  EXPECT_TRUE(quit);
  const int overlay = saver().Overlay(0)->AlphaBlendValue();
  EXPECT_GT(overlay, 0);
  EXPECT_LT(overlay, 255);
  EXPECT_EQ(saver().picturePool.size(), poolBefore - 1);  // the picture is lost for this cycle
  EXPECT_FALSE(saver().presenterBusy);
  EXPECT_EQ(instance->process.FineTimerRequests(), 0);
  EXPECT_EQ(desktop.liveBitmaps, 2);  // only the two windows' kept content
}

TEST_F(Presenter, AMissingPictureIsReportedAfterEverythingIsReleased) {
  Start("/s", {8, false, false});
  instance->process.RemoveResource("PIC0", "JPEG");
  try {
    ShowOn(0);
    FAIL() << "no error";
  } catch (const forms::SaverError& error) {
    EXPECT_STREQ(error.what(), "Resource pic0 not found");
  }
  EXPECT_FALSE(saver().presenterBusy);
  EXPECT_EQ(instance->process.FineTimerRequests(), 0);
  EXPECT_EQ(desktop.openContexts, 0);
}

TEST_F(Presenter, APictureSurvivesARepaint) {
  Start("/s", {8, false, true});
  ASSERT_TRUE(ShowOn(0));
  const auto picture = Fitted(instance->process, 0, 1024, 768);
  EXPECT_TRUE(DrawnAt(desktop, main().Handle(), *picture, 0, 0));
  desktop.Repaint(main().Handle());
  EXPECT_TRUE(DrawnAt(desktop, main().Handle(), *picture, 0, 0));
}

}  // namespace
}  // namespace orvanel::slideshow
