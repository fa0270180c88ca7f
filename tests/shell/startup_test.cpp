// Start-up on the simulated desktop.
//   Windows per monitor count: exactly the windows created, in order, on their monitors.
//   Windows per mode: placed on their monitors' corners, the dialog left centred, none shown.
//   RunSaver: the whole process on the simulated desktop.
//   Refusal: a running full-screen instance or an open settings dialog, and a
//     mode's mutex that cannot be made.
//   No monitor listed: the saver runs with nothing to cover and still ends on a key.
//   Application: title and tool-window owner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_process.h"
#include "platform/window_styles.h"
#include "screens/monitor_window.h"
#include "screens/overlay_window.h"
#include "shell/main_window.h"
#include "shell/mode_mutex.h"
#include "support/sim_saver.h"

namespace orvanel::shell {
namespace {

using platform::Rect;
using platform::sim::SimDesktop;
using testing::SimSaver;

// Side by side, each of another size, the primary second in the list.
std::vector<Rect> MonitorRow(int count) {
  std::vector<Rect> monitors;
  int left = -1280;
  for (int i = 0; i < count; ++i) {
    const int width = i % 2 == 0 ? 1280 : 1024;
    const int height = i % 2 == 0 ? 1024 : 768;
    monitors.push_back(Rect::FromBounds(left, 0, width, height));
    left += width;
  }
  return monitors;
}

std::vector<std::string> ClassesInCreationOrder(SimDesktop& desktop, SimSaver& instance) {
  std::vector<std::string> classes;
  for (auto handle : instance.process.OwnWindows()) {
    const auto& cls = desktop.Find(handle)->className;
    if (cls.rfind("TfrmSAVER", 0) == 0) classes.push_back(cls);
  }
  return classes;
}

// A process that counts the windows it asks the desktop for.
class CountingProcess : public platform::sim::SimProcess {
 public:
  using SimProcess::SimProcess;
  platform::WindowHandle CreateNativeWindow(const platform::WindowRequest& request) override {
    ++windowsMade;
    return SimProcess::CreateNativeWindow(request);
  }
  int windowsMade = 0;
};

class StartUpPerMonitorCount : public ::testing::TestWithParam<int> {};

TEST_P(StartUpPerMonitorCount, CreatesTheWindowsOfUpToFourMonitorsInOrder) {
  const int count = GetParam();
  SimDesktop desktop;
  const auto monitors = MonitorRow(count);
  desktop.SetMonitors(monitors, count > 1 ? 1 : 0);
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());

  std::vector<std::string> expected{"TfrmSAVER", "TfrmSAVERbl"};
  for (int i = 1; i < std::min(count, 4); ++i) {
    expected.push_back("TfrmSAVER" + std::to_string(i + 1));
    expected.push_back("TfrmSAVERbl" + std::to_string(i + 1));
  }
  EXPECT_EQ(ClassesInCreationOrder(desktop, instance), expected);

  const auto& saver = instance.saver;
  EXPECT_EQ(saver.frmSAVER->BoundsRect().left, monitors[0].left);
  EXPECT_EQ(saver.frmSAVER->BoundsRect().top, monitors[0].top);
  for (int i = 0; i < 4; ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (i >= count) {
      EXPECT_EQ(saver.overlays[index], nullptr);
      EXPECT_EQ(saver.pictureWindows[index], nullptr);
      continue;
    }
    EXPECT_EQ(desktop.ScreenRect(saver.overlays[index]->Handle()), monitors[index]) << i;
    if (i > 0) {
      EXPECT_EQ(desktop.ScreenRect(saver.pictureWindows[index]->Handle()), monitors[index]) << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Monitors, StartUpPerMonitorCount, ::testing::Values(1, 2, 4, 6));

// The windows cover monitors of different scale factors to the pixel; none
// grows or shrinks when the desktop reports the DPI of the monitor it came onto.
TEST(StartUp, MonitorsOfDifferentScaleFactorsAreEachCoveredExactly) {
  SimDesktop desktop;
  const auto monitors = MonitorRow(4);
  desktop.SetMonitors(monitors, 1);
  const std::int32_t dpis[] = {144, 96, 120, 192};
  for (std::size_t i = 0; i < monitors.size(); ++i) desktop.SetMonitorDpi(i, dpis[i]);
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  desktop.SetClockLimit(20'000);
  instance.saver.app.Run();  // pictures shown on every monitor in turn
  const auto& saver = instance.saver;
  EXPECT_EQ(desktop.ScreenRect(saver.frmSAVER->Handle()), monitors[0]);
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    EXPECT_EQ(desktop.ScreenRect(saver.overlays[i]->Handle()), monitors[i]) << i;
    if (i > 0) {
      EXPECT_EQ(desktop.ScreenRect(saver.pictureWindows[i]->Handle()), monitors[i]) << i;
    }
  }
}

struct ModeCase {
  const char* arguments;  // HOST stands for the host window's handle
  bool mainOnMonitorZero;
};

class StartUpPerMode : public ::testing::TestWithParam<std::tuple<ModeCase, int>> {};

// Outside Active mode the windows are only placed at their monitors'
// top-left corners; none of the picture windows is ever shown.
TEST_P(StartUpPerMode, PlacesEachWindowAtItsMonitorsCorner) {
  const auto& [mode, count] = GetParam();
  SimDesktop desktop;
  auto monitors = MonitorRow(count);
  desktop.SetMonitors(monitors, count > 1 ? 1 : 0);
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(40, 30, 152, 112));
  std::string arguments = mode.arguments;
  if (const auto at = arguments.find("HOST"); at != std::string::npos) {
    arguments.replace(at, 4, std::to_string(host));
  }
  SimSaver instance(desktop, arguments);
  ASSERT_TRUE(instance.Start());
  const auto& saver = instance.saver;
  const auto corner = [](const Rect& r) { return platform::Point{r.left, r.top}; };

  if (mode.mainOnMonitorZero) {
    EXPECT_EQ(corner(saver.frmSAVER->BoundsRect()), corner(monitors[0]));
  }
  EXPECT_EQ(corner(saver.overlays[0]->BoundsRect()), corner(monitors[0]));
  for (int i = 1; i < 4; ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (i >= count) {
      EXPECT_EQ(saver.pictureWindows[index], nullptr);
      continue;
    }
    EXPECT_EQ(corner(saver.pictureWindows[index]->BoundsRect()), corner(monitors[index]));
    EXPECT_EQ(corner(saver.overlays[index]->BoundsRect()), corner(monitors[index]));
    EXPECT_FALSE(desktop.Find(saver.pictureWindows[index]->Handle())->visible);
    EXPECT_FALSE(desktop.Find(saver.overlays[index]->Handle())->visible);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StartUpPerMode,
    ::testing::Combine(::testing::Values(ModeCase{"/p HOST", true}, ModeCase{"/a", true},
                                         ModeCase{"", true}, ModeCase{"/c:HOST", false}),
                       ::testing::Values(1, 2, 4, 6)));

TEST(StartUp, TheSettingsDialogStaysCentredOnThePrimaryScreen) {
  SimDesktop desktop;
  desktop.SetMonitors(MonitorRow(2), 1);  // monitor 0 lies left of the primary
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 400, 300));
  SimSaver instance(desktop, "/c:" + std::to_string(host));
  ASSERT_TRUE(instance.Start());
  const auto& dialog = instance.saver.frmSAVER->BoundsRect();
  EXPECT_EQ(dialog.left, (1024 - dialog.Width()) / 2);
  EXPECT_EQ(dialog.top, (768 - dialog.Height()) / 2);
}

TEST(StartUp, ActiveMonitorZeroStaysCoveredAfterTheLoopShowsTheMainWindow) {
  SimDesktop desktop;
  // Monitor 0 is larger than the primary and lies right of it.
  desktop.SetMonitors({Rect::FromBounds(1024, 0, 2560, 1440), Rect::FromBounds(0, 0, 1024, 768)}, 1);
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  desktop.SetClockLimit(0);
  instance.saver.app.Run();
  const auto main = instance.saver.frmSAVER->Handle();
  EXPECT_TRUE(desktop.Find(main)->visible);
  EXPECT_EQ(desktop.ScreenRect(main), Rect::FromBounds(1024, 0, 2560, 1440));
  EXPECT_EQ(desktop.ScreenRect(instance.saver.overlays[0]->Handle()),
            Rect::FromBounds(1024, 0, 2560, 1440));
}

TEST(RunSaver, EndsAtOnceWithoutAUsableCommandLine) {
  // A preview host that is no window; a command line with not even the
  // program's name, as a parent may pass.
  for (const char* line : {"orvanel.scr /p 12", "", "\"\""}) {
    SimDesktop desktop;
    desktop.SetClockLimit(10'000);
    platform::sim::SimProcess process(desktop, line);
    EXPECT_EQ(RunSaver(process), 0) << line;
    EXPECT_EQ(desktop.NowMs(), 0) << line;
    EXPECT_TRUE(process.OwnWindows().empty()) << line;
  }
}

TEST(RunSaver, RunsTheLoopAndLeavesNothingBehind) {
  SimDesktop desktop;
  platform::sim::SimProcess process(desktop, "orvanel.scr /s");
  desktop.SetClockLimit(30'000);
  // On the simulated desktop the loop also ends when it would wait past the limit.
  EXPECT_EQ(RunSaver(process), 0);
  EXPECT_TRUE(process.OwnWindows().empty());
  // The last tick before the limit, at 24 s, started a presentation of a few seconds.
  EXPECT_GT(desktop.NowMs(), 24'000);
  EXPECT_LT(desktop.NowMs(), 30'000);
  EXPECT_FALSE(desktop.MutexExists("SaverActiveMode"));
}

// With no window to be had the start ends quietly: no box, nothing held.
TEST(RunSaver, WithoutAWindowToBeHadItEndsQuietly) {
  SimDesktop desktop;
  platform::sim::SimProcess process(desktop, "orvanel.scr /s");
  desktop.SetWindowsExhausted(true);
  EXPECT_EQ(RunSaver(process), 0);
  EXPECT_TRUE(process.OwnWindows().empty());
  EXPECT_TRUE(desktop.messageBoxes.empty());
  EXPECT_FALSE(desktop.MutexExists("SaverActiveMode"));
  EXPECT_EQ(process.CursorCounter(), 0);
}

// Two full-screen starts at the same moment both pass the start-up check;
// the second to take the mode's mutex closes at once.
TEST(StartUp, AnActiveStartThatLosesTheMutexClosesAtOnce) {
  SimDesktop desktop;
  SimSaver first(desktop, "/s");
  SimSaver second(desktop, "/s");
  ASSERT_FALSE(AnotherSaverBlocksStart(first.process));
  ASSERT_FALSE(AnotherSaverBlocksStart(second.process));
  CreateSaverWindows(first.saver);
  CreateSaverWindows(second.saver);
  EXPECT_FALSE(first.saver.quitRequested);
  EXPECT_TRUE(second.saver.quitRequested);
  EXPECT_EQ(second.process.CursorCounter(), 0);  // hidden once, shown by the close steps
  EXPECT_FALSE(second.MainWindow().tmrVISUAL.Enabled());
  desktop.SetClockLimit(0);
  second.saver.app.Run();
  EXPECT_TRUE(second.saver.app.Terminated());
}

// The same, but the other instance makes the mutex between this one's test
// and its creation: this one still gives way.
TEST(StartUp, AnActiveStartThatLosesTheRaceForTheMutexClosesAtOnce) {
  SimDesktop desktop;
  SimSaver first(desktop, "/s");
  SimSaver second(desktop, "/s");
  bool raced = false;
  desktop.afterFailedMutexOpen = [&](const std::string& name) {
    if (name != "SaverActiveMode" || raced) return;
    raced = true;
    CreateSaverWindows(first.saver);  // the other instance wins right now
  };
  CreateSaverWindows(second.saver);
  ASSERT_TRUE(raced);
  EXPECT_FALSE(first.saver.quitRequested);
  EXPECT_TRUE(second.saver.quitRequested);
  EXPECT_TRUE(second.saver.app.TerminateRequested());
}

TEST(StartUp, SecondaryWindowsAreTopMostButThePrimaryOverlayIsNot) {
  SimDesktop desktop;
  desktop.SetMonitors(MonitorRow(2), 1);
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  const auto topmost = [&](forms::Form* form) {
    return (desktop.Find(form->Handle())->exStyle & platform::kExStyleTopmost) != 0;
  };
  EXPECT_FALSE(topmost(instance.saver.frmSAVER));
  EXPECT_FALSE(topmost(instance.saver.overlays[0]));
  EXPECT_TRUE(topmost(instance.saver.pictureWindows[1]));
  EXPECT_TRUE(topmost(instance.saver.overlays[1]));
  EXPECT_TRUE(desktop.IsAbove(instance.saver.overlays[1]->Handle(),
                              instance.saver.pictureWindows[1]->Handle()));
}

TEST(StartUp, ApplicationIsTitledAndOwnedByAToolWindow) {
  SimDesktop desktop;
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  EXPECT_EQ(instance.saver.app.Title(), "Orvanel Screensaver");
  EXPECT_EQ(desktop.Find(instance.saver.app.Window())->exStyle, platform::kExStyleToolWindow);
  EXPECT_EQ(desktop.Find(instance.saver.frmSAVER->Handle())->parent, instance.saver.app.Window());
}

class StartUpRefusal : public ::testing::TestWithParam<const char*> {};

// While a full-screen saver runs or a settings dialog is open, every start in
// every mode ends before any window exists.
TEST_P(StartUpRefusal, NothingIsCreatedWhileTheMutexExists) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", {0, 0, 152, 112});
  platform::sim::SimProcess holder(desktop, "other.exe");
  platform::NamedMutex held = platform::NamedMutex::Create(holder, GetParam());
  for (const std::string& arguments : {std::string("/s"), "/p " + std::to_string(host), "/c:" + std::to_string(host),
                                std::string("/a"), std::string()}) {
    SimSaver instance(desktop, arguments);
    EXPECT_FALSE(instance.Start()) << arguments;
    EXPECT_TRUE(instance.process.OwnWindows().empty()) << arguments;
  }
}


// The whole process gives way too, before it makes a window of its own:
// no dialog over the one already open, no preview beside a running saver.
TEST_P(StartUpRefusal, RunSaverEndsBeforeMakingAnyWindow) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", {0, 0, 152, 112});
  platform::sim::SimProcess holder(desktop, "other.exe");
  platform::NamedMutex held = platform::NamedMutex::Create(holder, GetParam());
  desktop.SetClockLimit(10'000);
  for (const std::string& arguments : {std::string("/s"), "/p " + std::to_string(host), "/c:" + std::to_string(host),
                                std::string("/a")}) {
    CountingProcess process(desktop, "orvanel.scr " + arguments);
    EXPECT_EQ(RunSaver(process), 0) << arguments;
    EXPECT_EQ(process.windowsMade, 0) << arguments;
    EXPECT_EQ(desktop.NowMs(), 0) << arguments;
  }
  EXPECT_TRUE(desktop.messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Mutexes, StartUpRefusal,
                         ::testing::Values("SaverActiveMode", "SaverConfigMode"));

TEST(StartUp, APreviewOrPasswordMutexRefusesNoStart) {
  SimDesktop desktop;
  platform::sim::SimProcess holder(desktop, "other.exe");
  auto preview = platform::NamedMutex::Create(holder, "SaverPreviewMode");
  auto password = platform::NamedMutex::Create(holder, "SaverPasswordMode");
  SimSaver instance(desktop, "/s");
  EXPECT_TRUE(instance.Start());
}

TEST(StartUp, ActiveHoldsItsMutexUntilTheProcessEnds) {
  SimDesktop desktop;
  {
    SimSaver instance(desktop, "/s");
    ASSERT_TRUE(instance.Start());
    EXPECT_TRUE(desktop.MutexExists("SaverActiveMode"));
    SimSaver second(desktop, "/s");
    EXPECT_FALSE(second.Start());
  }
  EXPECT_FALSE(desktop.MutexExists("SaverActiveMode"));
}

// A process whose desktop refuses to make a named mutex: the name taken by
// an object of another kind, or a lock file that cannot be opened.
class NoMutexProcess : public platform::sim::SimProcess {
 public:
  using SimProcess::SimProcess;
  std::uintptr_t CreateNamedMutex(const std::string&, bool& existed) override {
    existed = false;
    return 0;
  }
};

// Without its mutex a full-screen saver could not be told apart from a second
// start, so it gives way rather than run unguarded.
TEST(StartUp, AnActiveStartWhoseMutexCannotBeMadeClosesAtOnce) {
  SimDesktop desktop;
  NoMutexProcess process(desktop, "orvanel.scr /s");
  Saver saver(process);
  CreateSaverWindows(saver);
  EXPECT_TRUE(saver.app.TerminateRequested());
  EXPECT_FALSE(static_cast<TfrmSAVER&>(*saver.frmSAVER).tmrVISUAL.Enabled());
  EXPECT_FALSE(desktop.Find(saver.frmSAVER->Handle())->visible);
  desktop.SetClockLimit(10'000);
  saver.app.Run();
  EXPECT_TRUE(saver.app.Terminated());
  EXPECT_EQ(desktop.NowMs(), 0);
}

// A desktop that lists no monitor (an X screen with no output connected):
// nothing to cover and no picture to fit, but the saver runs without a fault
// and a key still ends it.
TEST(StartUp, WithNoMonitorListedTheSaverRunsAndAKeyEndsIt) {
  SimDesktop desktop;
  desktop.SetMonitors({});
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  auto& saver = instance.saver;
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(saver.pictureWindows[i], nullptr);
    EXPECT_EQ(saver.overlays[i], nullptr);
  }
  EXPECT_EQ(desktop.ScreenRect(saver.overlays[0]->Handle()).left, 0);
  EXPECT_EQ(desktop.ScreenRect(saver.overlays[0]->Handle()).top, 0);
  desktop.SetClockLimit(20'000);
  saver.app.Run();
  EXPECT_GT(desktop.NowMs(), 10'000);  // ticks came and jobs ran
  EXPECT_TRUE(desktop.messageBoxes.empty());
  EXPECT_EQ(desktop.openContexts, 0);
  ASSERT_FALSE(saver.app.Terminated());
  desktop.PressKey(saver.frmSAVER->Handle(), 'Q', 'q');
  desktop.SetClockLimit(30'000);
  saver.app.Run();
  EXPECT_TRUE(saver.app.Terminated());
}

// A desktop whose count of monitors runs ahead of its list, as when a monitor
// is connected between the two questions.
class UnlistedMonitorProcess : public platform::sim::SimProcess {
 public:
  using SimProcess::SimProcess;
  std::vector<Rect> MonitorRects() override { return {}; }
};

// The monitor that was counted but not listed gets its windows, which cover
// nothing and stay hidden; the run goes on and a key still ends it.
TEST(StartUp, AMonitorCountedButNotListedGetsWindowsThatStayHidden) {
  SimDesktop desktop;
  desktop.SetMonitors(MonitorRow(2), 1);
  UnlistedMonitorProcess process(desktop, "orvanel.scr /s");
  Saver saver(process);
  CreateSaverWindows(saver);
  ASSERT_NE(saver.pictureWindows[1], nullptr);
  ASSERT_NE(saver.overlays[1], nullptr);
  EXPECT_FALSE(desktop.Find(saver.pictureWindows[1]->Handle())->visible);
  EXPECT_FALSE(desktop.Find(saver.overlays[1]->Handle())->visible);
  desktop.SetClockLimit(10'000);
  saver.app.Run();
  EXPECT_TRUE(desktop.messageBoxes.empty());
  desktop.PressKey(saver.overlays[1]->Handle(), 'Q', 'q');
  desktop.SetClockLimit(20'000);
  saver.app.Run();
  EXPECT_TRUE(saver.app.Terminated());
}

}  // namespace
}  // namespace orvanel::shell
