// The simulated desktop keeps the desktop's rules that the saver relies on.
//   Queue: posted messages before the quit message before timers; quit carries its code;
//          input from outside wakes a waiting loop when it comes.
//   Timers: fixed period on the virtual clock; missed ticks collapse; stopped timers stay quiet.
//   Windows: destroying a parent destroys its children and tells each; z-order bands.
//   Mutexes: shared by processes, gone with the last handle.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "platform/window_styles.h"

namespace orvanel::platform::sim {
namespace {

class Recorder : public WindowProcedure {
 public:
  bool HandleMessage(const Message& message, std::intptr_t& result) override {
    messages.push_back(message.id);
    result = 0;
    return true;
  }
  std::vector<std::uint32_t> messages;
};

WindowRequest Popup(WindowProcedure* procedure, bool topmost = false) {
  WindowRequest request;
  request.className = "Test";
  request.style = kStylePopup;
  request.exStyle = topmost ? kExStyleTopmost : 0;
  request.bounds = Rect::FromBounds(0, 0, 10, 10);
  request.procedure = procedure;
  return request;
}

TEST(SimQueue, PostedMessagesComeBeforeQuitAndQuitBeforeTimers) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  Recorder recorder;
  const auto window = process.CreateNativeWindow(Popup(&recorder));
  ASSERT_TRUE(process.StartTimer(window, 1, 10));
  desktop.Advance(10);
  process.PostQuit(7);
  process.PostToWindow(window, kMsgUser, 0, 0);
  EXPECT_EQ(process.TakeMessage()->id, kMsgUser);
  const auto quit = process.TakeMessage();
  EXPECT_EQ(quit->id, kMsgQuit);
  EXPECT_EQ(quit->wParam, 7u);
  EXPECT_EQ(process.TakeMessage()->id, kMsgTimer);
}

TEST(SimTimers, TickOnAFixedPeriodAndCollapseMissedTicks) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  Recorder recorder;
  const auto window = process.CreateNativeWindow(Popup(&recorder));
  ASSERT_TRUE(process.StartTimer(window, 1, 100));
  EXPECT_FALSE(process.TakeMessage());
  ASSERT_TRUE(process.WaitForMessage());
  EXPECT_EQ(desktop.NowMs(), 100);
  EXPECT_EQ(process.TakeMessage()->id, kMsgTimer);
  desktop.Advance(350);  // 450: the ticks of 200, 300 and 400 are one message
  EXPECT_EQ(process.TakeMessage()->id, kMsgTimer);
  EXPECT_FALSE(process.TakeMessage());
  ASSERT_TRUE(process.WaitForMessage());
  EXPECT_EQ(desktop.NowMs(), 500);
  process.StopTimer(window, 1);
  EXPECT_FALSE(process.WaitForMessage());
}

// Input from outside comes when it comes: a loop waiting for the next tick
// wakes for it sooner, and one with no timer still waits for it.
TEST(SimQueue, InputFromOutsideWakesAWaitingLoopWhenItComes) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  Recorder recorder;
  const auto window = process.CreateNativeWindow(Popup(&recorder));
  desktop.At(40, [&] { desktop.PressKey(window, 'A', 'a'); });
  ASSERT_TRUE(process.WaitForMessage());
  EXPECT_EQ(desktop.NowMs(), 40);
  EXPECT_EQ(process.TakeMessage()->id, kMsgKeyDown);
  ASSERT_TRUE(process.StartTimer(window, 1, 100));
  desktop.At(70, [] {});  // nothing for the process: the loop sleeps on
  desktop.At(90, [&] { desktop.PressKey(window, 'B', 'b'); });
  ASSERT_TRUE(process.WaitForMessage());
  EXPECT_EQ(desktop.NowMs(), 90);
  EXPECT_EQ(process.TakeMessage()->id, kMsgKeyDown);
  ASSERT_TRUE(process.WaitForMessage());
  EXPECT_EQ(desktop.NowMs(), 140);
  EXPECT_EQ(process.TakeMessage()->id, kMsgTimer);
}

TEST(SimTimers, ExhaustedTimersRefuseToStart) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  Recorder recorder;
  const auto window = process.CreateNativeWindow(Popup(&recorder));
  desktop.SetTimersExhausted(true);
  EXPECT_FALSE(process.StartTimer(window, 1, 100));
}

TEST(SimWindows, DestroyingAParentDestroysItsChildrenAndTellsEach) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(50, 60, 152, 112));
  Recorder recorder;
  WindowRequest child = Popup(&recorder);
  child.style = kStyleChild | kStyleVisible;
  child.parent = host;
  child.bounds = Rect::FromBounds(5, 6, 20, 20);
  const auto window = process.CreateNativeWindow(child);
  EXPECT_EQ(process.WindowRect(window), Rect::FromBounds(55, 66, 20, 20));
  desktop.DestroyWindow(host);
  EXPECT_FALSE(process.IsWindow(window));
  EXPECT_EQ(recorder.messages, std::vector<std::uint32_t>{kMsgDestroy});
}

TEST(SimWindows, TopMostWindowsStayAboveOrdinaryOnes) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  Recorder recorder;
  const auto topmost = process.CreateNativeWindow(Popup(&recorder, true));
  const auto ordinary = process.CreateNativeWindow(Popup(&recorder));
  process.ShowWindow(ordinary, true);
  EXPECT_TRUE(desktop.IsAbove(topmost, ordinary));
  process.SetWindowPos(ordinary, kInsertTopmost, Rect{}, kPosNoMove | kPosNoSize);
  EXPECT_TRUE(desktop.IsAbove(ordinary, topmost));
}

TEST(SimWindows, OpacityChangesNeedTheLayeredStyleAndAreRecordedWithTheirTime) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  Recorder recorder;
  const auto window = process.CreateNativeWindow(Popup(&recorder));
  EXPECT_FALSE(process.SetLayeredAlpha(window, 10));
  process.SetExStyle(window, kExStyleLayered);
  desktop.SetAlphaChangeCost(150);
  EXPECT_TRUE(process.SetLayeredAlpha(window, 10));
  EXPECT_TRUE(process.SetLayeredAlpha(window, 20));
  EXPECT_EQ(desktop.Find(window)->alphaHistory,
            (std::vector<AlphaChange>{{0, 10}, {150, 20}}));
}

TEST(SimMutexes, AreSharedAndVanishWithTheLastHandle) {
  SimDesktop desktop;
  auto first = std::make_unique<SimProcess>(desktop, "a.exe");
  SimProcess second(desktop, "b.exe");
  EXPECT_EQ(second.OpenNamedMutex("M"), 0u);
  bool existed = true;
  const auto created = first->CreateNamedMutex("M", existed);
  ASSERT_NE(created, 0u);
  EXPECT_FALSE(existed);
  const auto again = second.CreateNamedMutex("M", existed);
  EXPECT_TRUE(existed);
  second.CloseNamedMutex(again);
  const auto opened = second.OpenNamedMutex("M");
  ASSERT_NE(opened, 0u);
  first.reset();  // the process ends
  EXPECT_TRUE(desktop.MutexExists("M"));
  second.CloseNamedMutex(opened);
  EXPECT_FALSE(desktop.MutexExists("M"));
}

TEST(SimFolders, DesktopPathsMapBelowTheRoot) {
  SimDesktop desktop;
  SimProcess process(desktop, "p.exe");
  const auto local = process.SpecialFolder(kFolderLocalAppData);
  EXPECT_TRUE(process.FolderExists(local));
  EXPECT_FALSE(process.CreateFolder(local + "\\a\\b"));  // the parent is missing
  EXPECT_FALSE(process.FolderExists(local + "\\a"));
  EXPECT_TRUE(process.CreateFolder(local + "\\a"));
  EXPECT_TRUE(process.FolderExists(local + "\\a"));
  EXPECT_FALSE(process.CreateFolder(local + "\\a"));  // it exists already
  EXPECT_EQ(desktop.HostPath("\\vorlanthix"), desktop.Root() / "C" / "vorlanthix");
}

TEST(SimClock, WallClockShiftsWithoutMovingVirtualTime) {
  SimDesktop desktop;
  desktop.SetStartTime(DateTime{2026, 12, 31, 23, 59, 59, 900}, 3'600'000);
  desktop.Advance(200);
  EXPECT_EQ(desktop.LocalTime(), (DateTime{2027, 1, 1, 0, 0, 0, 100}));
  EXPECT_EQ(desktop.SystemTime(), (DateTime{2026, 12, 31, 23, 0, 0, 100}));
  desktop.ShiftWallClock(-1000);
  EXPECT_EQ(desktop.NowMs(), 200);
  EXPECT_EQ(desktop.LocalTime(), (DateTime{2026, 12, 31, 23, 59, 59, 100}));
}

}  // namespace
}  // namespace orvanel::platform::sim
