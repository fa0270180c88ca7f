// Start-up on the simulated desktop.
//   Windows per monitor count: exactly the windows created, in order, on their monitors.
//   Refusal: a running full-screen instance or an open settings dialog.
//   Application: title and tool-window owner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_styles.h"
#include "screens/monitor_window.h"
#include "screens/overlay_window.h"
#include "shell/main_window.h"
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

}  // namespace
}  // namespace orvanel::shell
