// The slideshow run by its timer, through the message loop.
//   Timeline: the first picture at once, the others on whole periods; ticks
//             inside a presentation dropped, no backlog.
//   Rotation: over the monitors that have windows, for 1, 2, 4 and 6 monitors.
//   Quit: a presentation cut short leaves the turn where it was; the timer stops.
//   Preview: each job draws into the host and gives its context back; a job
//            that gets no context draws nothing and takes no picture.
//   Changes: a job posted mid-fade, monitors removed, a picture that fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "shell/startup.h"
#include "slideshow/showimg.h"
#include "support/slideshow_fixture.h"
#include "support/timer_window.h"

namespace orvanel::slideshow {
namespace {

using platform::Rect;
using testing::SlideshowFixture;

std::vector<Rect> Monitors(int count) {
  std::vector<Rect> monitors;
  for (int i = 0; i < count; ++i) monitors.push_back(Rect::FromBounds(i * 800, 0, 800, 600));
  return monitors;
}

struct Presentation {
  std::int64_t startMs;
  int monitor;
  bool operator<(const Presentation& other) const { return startMs < other.startMs; }
};

class Scheduler : public SlideshowFixture {
 protected:
  void RunUntil(std::int64_t ms) {
    desktop.SetClockLimit(ms);
    saver().app.Run();
  }

  // Every dissolve the overlays went through, by the time its fade in began.
  std::vector<Presentation> Dissolves() {
    std::vector<Presentation> found;
    for (int monitor = 0; monitor < instance::kMaxMonitors; ++monitor) {
      auto* overlay = saver().Overlay(monitor);
      if (overlay == nullptr) continue;
      const auto& history = desktop.Find(overlay->Handle())->alphaHistory;
      for (std::size_t i = 1; i < history.size(); ++i) {
        // The first step of a fade in follows a wait of 21 ms after the presentation began.
        if (history[i].alpha == 3 && history[i - 1].alpha == 0) {
          found.push_back({history[i].atMs - 21, monitor});
        }
      }
    }
    std::sort(found.begin(), found.end());
    return found;
  }
};

class Rotation : public Scheduler, public ::testing::WithParamInterface<int> {};

TEST_P(Rotation, GivesEachMonitorWithWindowsItsTurnOnWholePeriods) {
  const int count = GetParam();
  Start("/s", {8, true, true}, Monitors(count));
  RunUntil(75'000);
  const auto dissolves = Dissolves();
  ASSERT_EQ(dissolves.size(), 10u);  // at 0 and each 8 s up to 72 s
  const int turns = std::min(count, 4);
  for (std::size_t i = 0; i < dissolves.size(); ++i) {
    EXPECT_EQ(dissolves[i].monitor, static_cast<int>(i) % turns) << i;
    // The first one begins after the opening fade of 84 steps.
    const std::int64_t start = i == 0 ? 0 : static_cast<std::int64_t>(i) * 8000;
    EXPECT_EQ(dissolves[i].startMs, i == 0 ? start + 84 * 21 : start) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Monitors, Rotation, ::testing::Values(1, 2, 4, 6));

TEST_F(Scheduler, TicksDuringAPresentationAreDroppedNotQueued) {
  Start("/s", {1, true, true}, Monitors(2));
  RunUntil(30'000);
  const auto dissolves = Dissolves();
  ASSERT_GE(dissolves.size(), 4u);
  for (std::size_t i = 1; i < dissolves.size(); ++i) {
    // Each picture waits for the first whole second after the one before ended,
    // about 4 s later; none starts in between.
    EXPECT_EQ(dissolves[i].startMs % 1000, 0) << i;
    EXPECT_GE(dissolves[i].startMs - dissolves[i - 1].startMs, 3000) << i;
    EXPECT_LE(dissolves[i].startMs - dissolves[i - 1].startMs, 6000) << i;
    EXPECT_NE(dissolves[i].monitor, dissolves[i - 1].monitor);
  }
}

TEST_F(Scheduler, AJobPostedDuringAPresentationChangesNothing) {
  Start("/s", {8, true, true}, Monitors(2));
  RunUntil(7'000);
  ASSERT_EQ(saver().currentMonitor, 1);
  // At 9 s, inside the presentation on monitor 1 that began at 8 s.
  testing::TimerWindow extraJob(instance->process, [&] {
    instance->process.PostToWindow(main().Handle(), slideshow::WM_DOJOB, 0, 0);
  });
  extraJob.FireAfter(9'000 - desktop.NowMs());
  RunUntil(15'000);
  const auto dissolves = Dissolves();
  ASSERT_EQ(dissolves.size(), 2u);
  EXPECT_EQ(dissolves[1].monitor, 1);
  EXPECT_EQ(saver().currentMonitor, 0);
}

TEST_F(Scheduler, AMonitorRemovedDuringTheRunLosesItsTurn) {
  Start("/s", {8, true, true}, Monitors(3));
  RunUntil(15'000);
  ASSERT_EQ(saver().currentMonitor, 2);
  desktop.SetMonitors(Monitors(2), 0);
  RunUntil(31'000);
  const auto dissolves = Dissolves();
  ASSERT_EQ(dissolves.size(), 4u);
  EXPECT_EQ(dissolves[2].monitor, 0);  // the turn of monitor 2 went back to 0
  EXPECT_EQ(dissolves[3].monitor, 1);
}

TEST_F(Scheduler, APictureThatFailsIsReportedAndTheSameMonitorTriesAgain) {
  Start("/s", {8, false, true}, Monitors(2));
  instance->process.RemoveResource("PIC0", "JPEG");
  RunUntil(1'000);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text, "Resource pic0 not found.");
  EXPECT_EQ(desktop.messageBoxes[0].caption, "Orvanel Screensaver");
  EXPECT_EQ(saver().currentMonitor, 0);
  EXPECT_FALSE(saver().presenterBusy);
  RunUntil(15'000);
  EXPECT_EQ(saver().pictureIndex, 1);  // the next picture, on the same monitor
  EXPECT_EQ(saver().currentMonitor, 1);
  EXPECT_EQ(desktop.messageBoxes.size(), 1u);
}

TEST_F(Scheduler, AQuitDuringAPresentationKeepsTheTurnAndStopsTheTimer) {
  Start("/s", {8, true, true}, Monitors(2));
  RunUntil(7'000);
  EXPECT_EQ(saver().currentMonitor, 1);
  // At 9 s, inside the presentation that began at 8 s.
  testing::TimerWindow quitter(instance->process, [&] { saver().quitRequested = true; });
  quitter.FireAfter(9'000 - desktop.NowMs());
  RunUntil(60'000);
  EXPECT_EQ(saver().currentMonitor, 1);
  EXPECT_FALSE(main().tmrVISUAL.Enabled());
  EXPECT_EQ(Dissolves().size(), 2u);
  EXPECT_LT(desktop.NowMs(), 20'000);  // nothing happened after the tick of 16 s
}

// A desktop that cannot give a context for the host window for a while: on X
// the host can be gone while its child still has a job queued.
class NoHostContextProcess : public platform::sim::SimProcess {
 public:
  NoHostContextProcess(platform::sim::SimDesktop& desktop, const std::string& commandLine)
      : SimProcess(desktop, commandLine) {}
  std::unique_ptr<platform::DrawingContext> WindowContext(platform::WindowHandle window) override {
    if (window == host && refused > 0) {
      --refused;
      return nullptr;
    }
    return SimProcess::WindowContext(window);
  }
  platform::WindowHandle host = platform::kNoWindow;
  int refused = 0;
};

TEST_F(Scheduler, APreviewJobWithoutAContextDrawsNothingAndTakesNoPicture) {
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(10, 10, 152, 112));
  {
    platform::sim::SimProcess writer(desktop, "orvanel.scr");
    settings::SaveSettings(writer, settings::Settings{4, true, false});
  }
  NoHostContextProcess process(desktop, "orvanel.scr /p " + std::to_string(host));
  process.host = host;
  process.refused = 1;  // the first job, at the start
  instance::Saver saver(process);
  shell::CreateSaverWindows(saver);
  const auto before = desktop.PixelAt(host, {75, 56});
  desktop.SetClockLimit(3'999);
  saver.app.Run();
  EXPECT_EQ(process.refused, 0);
  EXPECT_EQ(saver.picturePool.size(), 0u);  // the pool is not even made yet
  EXPECT_EQ(desktop.PixelAt(host, {75, 56}), before);
  EXPECT_TRUE(desktop.messageBoxes.empty());
  EXPECT_EQ(desktop.openContexts, 0);
  desktop.SetClockLimit(7'999);  // the next job has its context
  saver.app.Run();
  EXPECT_EQ(saver.picturePool.size(), 53u);
  EXPECT_NE(desktop.PixelAt(host, {75, 56}), before);
}

TEST_F(Scheduler, EachPreviewJobDrawsIntoTheHostAndGivesItsContextBack) {
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(10, 10, 152, 112));
  Start("/p " + std::to_string(host), {4, true, false});
  std::set<int> shown;
  for (int period = 1; period <= 4; ++period) {
    RunUntil(period * 4000 - 1);
    shown.insert(saver().pictureIndex);
    EXPECT_EQ(desktop.openContexts, 0);
  }
  EXPECT_EQ(shown.size(), 4u);
  EXPECT_NE(desktop.PixelAt(host, {75, 56}), platform::kBlack);
}

}  // namespace
}  // namespace orvanel::slideshow
