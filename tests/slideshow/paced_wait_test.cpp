// The paced wait and its message pump, on the virtual clock.
//   Span: 20 and 500 units end at the first millisecond past 20.0448 and 501.12 ms.
//   Quit: met during a wait ends it and reaches the main loop; pending before, it does not.
//   Sleep: until there is something to do: one sleep for a fade step's wait;
//          input arriving mid-sleep is handled then; only an alertable sleep
//          ends on an I/O completion.
//   Clock: setting the wall clock forward shortens a wait, back lengthens it;
//          a change with nothing else happening is seen within kClockCheckMs.
#include "slideshow/paced_wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "platform/window_styles.h"
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
  EXPECT_EQ(desktop.NowMs(), 51);  // the completion was waiting: the first sleep ends at once
  desktop.At(81, [&] { process.QueueIoCompletion(); });
  PacedWait(app, 50, true);
  EXPECT_EQ(desktop.NowMs(), 81);  // and one that comes mid-sleep ends it then
}

// Waking every millisecond to look at an empty queue costs a machine more
// than the whole of the dissolve's drawing.
TEST_F(PacedWaitTest, SleepsUntilThereIsSomethingToDo) {
  PacedWait(app, 20, false);
  EXPECT_EQ(process.Sleeps(), 1);
  PacedWait(app, 500, false);
  EXPECT_EQ(process.Sleeps(), 1 + 11);  // 502 ms in sleeps of at most kClockCheckMs
  int ticks = 0;
  TimerWindow window(process, [&] { ++ticks; });
  window.FireAfter(10);
  const auto start = desktop.NowMs();
  PacedWait(app, 20, false);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(desktop.NowMs() - start, 21);
  EXPECT_EQ(process.Sleeps(), 12 + 2);  // woken once by the tick
}

// A window that notes when its keys come.
class KeyWindow : public platform::WindowProcedure {
 public:
  KeyWindow(SimProcess& process, const SimDesktop& desktop) : desktop_(desktop) {
    platform::WindowRequest request;
    request.className = "TestKeys";
    request.style = platform::kStylePopup;
    request.procedure = this;
    handle = process.CreateNativeWindow(request);
  }
  bool HandleMessage(const platform::Message& message, std::intptr_t& result) override {
    result = 0;
    if (message.id != platform::kMsgKeyDown) return false;
    keysAt.push_back(desktop_.NowMs());
    return true;
  }
  platform::WindowHandle handle = platform::kNoWindow;
  std::vector<std::int64_t> keysAt;

 private:
  const SimDesktop& desktop_;
};

TEST_F(PacedWaitTest, InputArrivingInASleepIsHandledAtOnceAndTheWaitGoesOn) {
  KeyWindow window(process, desktop);
  for (const std::int64_t at : {3, 7, 8, 19}) desktop.At(at, [&] { desktop.PressKey(window.handle, 'A', 'a'); });
  PacedWait(app, 20, false);
  EXPECT_EQ(window.keysAt, (std::vector<std::int64_t>{3, 7, 8, 19}));
  EXPECT_EQ(desktop.NowMs(), 21);
}

// The user sets the clock while the saver sleeps, with no message to wake
// it: the wait ends when the clock as set reaches the deadline (501.12 ms
// after the start, read at 502), seen at most kClockCheckMs late.
TEST_F(PacedWaitTest, AClockSetInASleepIsSeenWithinTheCheckSpan) {
  struct Row {
    std::int64_t at, shift, ends;
  };
  for (const Row row : {Row{120, 300, 202}, Row{120, 10'000, 150}, Row{120, -300, 802}, Row{499, 2, 500}}) {
    SimDesktop clock;
    SimProcess sleeper(clock, "o.scr");
    forms::Application waiter(sleeper);
    waiter.Initialize();
    clock.At(row.at, [&] { clock.ShiftWallClock(row.shift); });
    PacedWait(waiter, 500, false);
    const std::int64_t reached = std::max(row.at, 502 - row.shift);
    EXPECT_EQ(clock.NowMs(), row.ends) << "clock set by " << row.shift << " ms at " << row.at;
    EXPECT_GE(clock.NowMs(), reached);
    EXPECT_LE(clock.NowMs(), reached + kClockCheckMs);
  }
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
