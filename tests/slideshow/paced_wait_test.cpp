// The paced wait and its message pump, on the virtual clock.
//   Span: 20 and 500 units end at the first millisecond past 20.0448 and 501.12 ms.
//   Quit: met during a wait ends it and reaches the main loop; pending before, it does not.
//   Sleep: only an alertable sleep ends on an I/O completion.
//   Clock: setting the wall clock forward shortens a wait.
#include "slideshow/paced_wait.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "support/timer_window.h"

namespace orvanel::slideshow {
namespace {

using platform::sim::SimDesktop;
using platform::sim::SimProcess;

using testing::TimerWindow;

class PacedWaitTest : public ::testing::Test {
 protected:
  PacedWaitTest() : process(desktop, "o.scr"), app(process) { app.Initialize(); }
  SimDesktop desktop;
  SimProcess process;
  forms::Application app;
};

TEST_F(PacedWaitTest, LastsItsSpanInWaitUnitsOnTheMillisecondClock) {
  PacedWait(app, 20, false);
  EXPECT_EQ(desktop.NowMs(), 21);  // 20.0448 ms, seen at the next millisecond
  PacedWait(app, 500, false);
  EXPECT_EQ(desktop.NowMs(), 21 + 502);  // 501.12 ms
  PacedWait(app, 0, false);
  EXPECT_EQ(desktop.NowMs(), 21 + 502);
}

TEST_F(PacedWaitTest, AZeroWaitStillHandlesWhatIsPending) {
  int handled = 0;
  TimerWindow window(process, [&] { ++handled; });
  window.FireAfter(10);
  desktop.Advance(10);
  PacedWait(app, 0, false);
  EXPECT_EQ(handled, 1);
}

TEST_F(PacedWaitTest, AQuitDuringTheWaitEndsItAndReachesTheMainLoop) {
  TimerWindow window(process, [&] { process.PostQuit(7); });
  window.FireAfter(100);
  PacedWait(app, 500, false);
  EXPECT_EQ(desktop.NowMs(), 100);
  EXPECT_FALSE(app.Terminated());
  const auto quit = process.TakeMessage();
  ASSERT_TRUE(quit);
  EXPECT_EQ(quit->id, platform::kMsgQuit);
  EXPECT_EQ(quit->wParam, 7u);
}

TEST_F(PacedWaitTest, AQuitPendingBeforeTheWaitLetsItRunItsSpan) {
  process.PostQuit(0);
  PacedWait(app, 500, false);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(desktop.NowMs(), 502);
}

TEST_F(PacedWaitTest, OnlyAnAlertableSleepEndsOnAnIoCompletion) {
  process.QueueIoCompletion();
  PacedWait(app, 50, false);
  EXPECT_EQ(desktop.NowMs(), 51);
  PacedWait(app, 50, true);
  EXPECT_EQ(desktop.NowMs(), 52);
}

TEST_F(PacedWaitTest, SettingTheClockForwardShortensTheWaitAndBackLengthensIt) {
  TimerWindow forward(process, [&] { desktop.ShiftWallClock(300); });
  forward.FireAfter(100);
  PacedWait(app, 500, false);
  EXPECT_EQ(desktop.NowMs(), 202);
  TimerWindow back(process, [&] { desktop.ShiftWallClock(-300); });
  back.FireAfter(100);
  const auto start = desktop.NowMs();
  PacedWait(app, 500, false);
  EXPECT_EQ(desktop.NowMs() - start, 802);
}

}  // namespace
}  // namespace orvanel::slideshow
