// The main window and the message loop, per run mode.
//   None: quits at once, shows nothing.
//   Preview: a child of the host; one instance at a time; ends when the host goes.
//   Active: covers monitor 0, cursor parked; the close steps end the run.
//   Config: an opaque dialog; "Display Properties" disabled while it is open.
//   Password: the designed window, transparent, no timer.
//   Settings: what the file holds reaches SpeedSeconds, the controls and the timer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/window_styles.h"
#include "settings/settings_file.h"
#include "shell/main_window.h"
#include "settings/settings_dialog.h"
#include "support/sim_saver.h"
#include "support/timer_window.h"

namespace orvanel::shell {
namespace {

using platform::Rect;
using platform::sim::SimDesktop;
using testing::SimSaver;

// A window shows on the screen when it is visible and not fully transparent.
bool AnyOwnWindowVisible(SimDesktop& desktop, SimSaver& instance) {
  for (auto handle : instance.process.OwnWindows()) {
    const auto* window = desktop.Find(handle);
    const bool transparent = (window->exStyle & platform::kExStyleLayered) != 0 && window->alpha == 0;
    if (window->visible && !transparent) return true;
  }
  return false;
}

TEST(MainWindowNone, QuitsAtOnceAndShowsNothing) {
  for (const char* arguments : {"", "/x", "/c", "/p", "/p 99999999999"}) {
    SimDesktop desktop;
    SimSaver instance(desktop, arguments);
    ASSERT_TRUE(instance.Start()) << arguments;
    EXPECT_EQ(instance.saver.saverMode, instance::SaverMode::kNone);
    instance.saver.app.Run();
    EXPECT_TRUE(instance.saver.app.Terminated()) << arguments;
    EXPECT_EQ(desktop.NowMs(), 0) << arguments;
    EXPECT_FALSE(AnyOwnWindowVisible(desktop, instance)) << arguments;
  }
}

class MainWindowPreview : public ::testing::Test {
 protected:
  SimDesktop desktop;
  platform::WindowHandle host = desktop.CreateTestWindow("host", Rect::FromBounds(300, 200, 152, 112));
  std::string arguments = "/p " + std::to_string(host);
};

TEST_F(MainWindowPreview, IsAChildOfTheHostMovedToTheCentringOffsetsWhenShown) {
  SimSaver instance(desktop, arguments);
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  const auto* window = desktop.Find(main.Handle());
  EXPECT_EQ(window->parent, host);
  EXPECT_EQ(window->style, platform::kStyleChild | platform::kStyleVisible);
  EXPECT_EQ(main.BoundsRect(), Rect::FromBounds(0, 0, 152, 112));

  instance.saver.app.ProcessMessages();
  desktop.SetClockLimit(0);
  instance.saver.app.Run();  // shows the main window, handles what is queued
  // Centred by the screen's size: (1024 - 152) / 2, (768 - 112) / 2 inside the host.
  EXPECT_EQ(main.BoundsRect(), Rect::FromBounds(436, 328, 152, 112));
  EXPECT_EQ(instance.process.CursorCounter(), 0);
  EXPECT_TRUE(desktop.MutexExists("SaverPreviewMode"));
}

TEST_F(MainWindowPreview, ASecondInstanceIsRefusedAndEnds) {
  SimSaver first(desktop, arguments);
  ASSERT_TRUE(first.Start());
  SimSaver second(desktop, arguments);
  ASSERT_TRUE(second.Start());
  EXPECT_TRUE(second.saver.quitRequested);
  second.saver.app.Run();
  EXPECT_TRUE(second.saver.app.Terminated());
  EXPECT_FALSE(AnyOwnWindowVisible(desktop, second));
  EXPECT_FALSE(first.saver.quitRequested);
}

TEST_F(MainWindowPreview, EndsAtTheFirstTickAfterTheHostHasGone) {
  SimSaver instance(desktop, arguments);
  ASSERT_TRUE(instance.Start());
  desktop.SetClockLimit(5000);
  instance.saver.app.Run();
  ASSERT_FALSE(instance.saver.app.Terminated());

  desktop.DestroyWindow(host);
  EXPECT_FALSE(instance.saver.frmSAVER->HandleAllocated());
  desktop.SetClockLimit(60'000);
  instance.saver.app.Run();
  EXPECT_TRUE(instance.saver.app.Terminated());
  EXPECT_EQ(instance.saver.saverMode, instance::SaverMode::kNone);
  // The default period of 8 s: the first tick after the host went.
  EXPECT_EQ(desktop.NowMs(), 8'000);
}

TEST(MainWindowActive, CoversMonitorZeroWithTheCursorHiddenAndParked) {
  SimDesktop desktop;
  // Monitor 0 is not the primary and has a size of its own.
  desktop.SetMonitors({Rect::FromBounds(-1280, 0, 1280, 1024), Rect::FromBounds(0, 0, 1024, 768)},
                      1);
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  EXPECT_EQ(desktop.ScreenRect(main.Handle()), Rect::FromBounds(-1280, 0, 1280, 1024));
  EXPECT_TRUE(desktop.Find(main.Handle())->visible);
  EXPECT_EQ(desktop.Find(main.Handle())->alpha, 0);
  EXPECT_EQ(instance.process.CursorCounter(), -2);
  EXPECT_EQ(desktop.CursorPos(), (platform::Point{101, 101}));
}

TEST(MainWindowActive, ClosingReleasesTheMutexShowsTheCursorAndQuits) {
  SimDesktop desktop;
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  desktop.SetClockLimit(20'000);
  // A close request from outside, as the operating system sends it.
  instance.process.PostToWindow(instance.saver.frmSAVER->Handle(), platform::kMsgClose, 0, 0);
  instance.saver.app.Run();
  EXPECT_TRUE(instance.saver.app.Terminated());
  EXPECT_TRUE(instance.saver.quitRequested);
  EXPECT_EQ(instance.process.CursorCounter(), -1);
  EXPECT_LT(desktop.NowMs(), 20'000);
}

TEST(MainWindowActive, TheTimerStopsAtTheFirstTickAfterAQuit) {
  SimDesktop desktop;
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  EXPECT_TRUE(main.tmrVISUAL.Enabled());
  instance.saver.quitRequested = true;
  desktop.SetClockLimit(60'000);
  instance.saver.app.Run();
  EXPECT_FALSE(main.tmrVISUAL.Enabled());
  EXPECT_EQ(desktop.NowMs(), 8'000);
}

TEST(MainWindowConfig, IsAnOpaqueDialogThatLocksDisplayProperties) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", {0, 0, 400, 300});
  const auto properties = desktop.CreateTestWindow("Display Properties", {0, 0, 400, 300});
  SimSaver instance(desktop, "/c:" + std::to_string(host));
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  const auto* window = desktop.Find(main.Handle());
  EXPECT_EQ(window->parent, instance.saver.app.Window());
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->alpha, 255);
  EXPECT_EQ(window->style & platform::kStyleCaption, platform::kStyleCaption);
  // The designed client area and one row more, for the pictures folder.
  EXPECT_EQ(main.ClientRect(),
            Rect::FromBounds(0, 0, 237, 212 + settings::kPhotoSectionHeight));
  EXPECT_FALSE(main.Label1.Visible());
  EXPECT_TRUE(main.OKButton.Visible());
  EXPECT_TRUE(main.Panel1.Visible());
  EXPECT_FALSE(desktop.Find(properties)->enabled);
  EXPECT_FALSE(desktop.MutexExists("SaverConfigMode"));  // the dialog takes no mode's mutex
  // Shown once as the command line is read and once as the dialog opens.
  EXPECT_EQ(instance.process.CursorCounter(), 2);

  main.Close();
  EXPECT_TRUE(desktop.Find(properties)->enabled);
  EXPECT_FALSE(desktop.MutexExists("SaverConfigMode"));
}

TEST(MainWindowActive, IsABorderlessTransparentLayeredTopLevelWindow) {
  SimDesktop desktop;
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  const auto* window = desktop.Find(instance.saver.frmSAVER->Handle());
  EXPECT_EQ(window->className, "TfrmSAVER");
  EXPECT_EQ(window->parent, instance.saver.app.Window());
  EXPECT_EQ(window->style & (platform::kStyleChild | platform::kStyleCaption), 0u);
  EXPECT_NE(window->exStyle & platform::kExStyleLayered, 0u);
  EXPECT_EQ(window->alpha, 0);
  EXPECT_EQ(desktop.ScreenRect(window->handle), Rect::FromBounds(0, 0, 1024, 768));
  EXPECT_TRUE(desktop.MutexExists("SaverActiveMode"));
  for (const auto& control : instance.saver.frmSAVER->Controls()) {
    EXPECT_FALSE(control->Visible()) << control->Name();
  }
}

TEST(MainWindowPassword, KeepsItsDesignAndRunsNoTimer) {
  SimDesktop desktop;
  SimSaver instance(desktop, "/a");
  ASSERT_TRUE(instance.Start());
  desktop.SetClockLimit(60'000);
  instance.saver.app.Run();
  EXPECT_FALSE(instance.saver.app.Terminated());  // it has no way to end by itself
  auto& main = instance.MainWindow();
  EXPECT_FALSE(main.tmrVISUAL.Enabled());
  EXPECT_EQ(main.BoundsRect(), Rect::FromBounds((1024 - 237) / 2, (768 - 212) / 2, 237, 212));
  EXPECT_EQ(desktop.Find(main.Handle())->alpha, 0);
  EXPECT_EQ(instance.process.CursorCounter(), -1);
  EXPECT_FALSE(desktop.MutexExists("SaverPasswordMode"));
  EXPECT_FALSE(AnyOwnWindowVisible(desktop, instance));
}

class MainWindowSettings : public ::testing::Test {
 protected:
  void Store(const settings::Settings& values) {
    platform::sim::SimProcess writer(desktop, "orvanel.scr");
    settings::SaveSettings(writer, values);
  }
  SimDesktop desktop;
};

// The file's bytes, to see that nothing wrote it.
std::string FileBytes(SimDesktop& desktop, platform::sim::SimProcess& process) {
  std::ifstream in(desktop.HostPath(settings::SettingsPath(process)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(MainWindowSettings, CommandLineSettingsHoldForTheSlideshowAndNeverWriteTheFile) {
  Store({31, true, true, "", instance::CaptionKind::kDateAndFolder, instance::FitMode::kFit});
  for (const char* arguments : {"/s", "/a"}) {
    SimSaver instance(desktop, arguments);
    instance.saver.overrides = {5, false, false, std::nullopt, instance::CaptionKind::kDate, instance::FitMode::kFill};
    const auto before = FileBytes(desktop, instance.process);
    ASSERT_TRUE(instance.Start());
    EXPECT_EQ(instance.saver.speedSeconds, 5) << arguments;
    EXPECT_EQ(instance.MainWindow().tmrVISUAL.Interval(), 5'000u);
    EXPECT_FALSE(instance.saver.RandomOrder());
    EXPECT_FALSE(instance.saver.Dissolve());
    EXPECT_EQ(instance.saver.caption, instance::CaptionKind::kDate);
    EXPECT_EQ(instance.saver.fit, instance::FitMode::kFill);
    instance.saver.frmSAVER->Close();
    EXPECT_EQ(FileBytes(desktop, instance.process), before);
  }
  // One override leaves the others as stored.
  SimSaver partly(desktop, "/s");
  partly.saver.overrides.blend = false;
  ASSERT_TRUE(partly.Start());
  EXPECT_EQ(partly.saver.speedSeconds, 31);
  EXPECT_TRUE(partly.saver.RandomOrder());
  EXPECT_FALSE(partly.saver.Dissolve());
  EXPECT_EQ(partly.saver.caption, instance::CaptionKind::kDateAndFolder);
  EXPECT_EQ(partly.saver.fit, instance::FitMode::kFit);
}

TEST_F(MainWindowSettings, TheDialogShowsTheFilesSettingsWhateverTheCommandLineSays) {
  Store({31, false, true, "", instance::CaptionKind::kDate, instance::FitMode::kFill});
  SimSaver instance(desktop, "/c:" + std::to_string(desktop.DesktopWindow()));
  instance.saver.overrides = {5, true, false, std::nullopt, instance::CaptionKind::kNone, instance::FitMode::kFit};
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  EXPECT_EQ(main.Edit1.Text(), "31");
  EXPECT_FALSE(main.CheckBox1.Checked());
  EXPECT_EQ(main.CaptionList.Chosen(), 1);
  EXPECT_TRUE(main.FillCheckBox.Checked());
  EXPECT_TRUE(main.CheckBox2.Checked());
}

TEST_F(MainWindowSettings, TheStoredValuesReachTheControlsAndTheTimer) {
  Store({31, false, true});
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  EXPECT_EQ(instance.saver.speedSeconds, 31);
  EXPECT_EQ(main.Edit1.Text(), "31");
  EXPECT_EQ(main.UpDown1.Position(), 31);
  EXPECT_FALSE(main.CheckBox1.Checked());
  EXPECT_TRUE(main.CheckBox2.Checked());
  EXPECT_EQ(main.tmrVISUAL.Interval(), 31'000u);
}

TEST_F(MainWindowSettings, ASpeedOutsideTheArrowsRangeIsShownAsStored) {
  Store({1000, true, false});
  SimSaver instance(desktop, "/s");
  ASSERT_TRUE(instance.Start());
  auto& main = instance.MainWindow();
  EXPECT_EQ(main.Edit1.Text(), "1000");
  EXPECT_EQ(main.UpDown1.Position(), 500);
  EXPECT_EQ(main.tmrVISUAL.Interval(), 1'000'000u);
}

TEST_F(MainWindowSettings, AZeroOrNegativeSpeedShowsTheFirstPictureAndNoMoreTicks) {
  for (std::int32_t speed : {0, -1}) {
    Store({speed, true, true});
    SimSaver instance(desktop, "/s");
    ASSERT_TRUE(instance.Start());
    EXPECT_EQ(instance.saver.speedSeconds, speed);
    // An hour of the loop, ended by a window of the test's own.
    const auto start = desktop.NowMs();
    testing::TimerWindow closer(instance.process, [&] { instance.saver.frmSAVER->Close(); });
    closer.FireAfter(3'600'000);
    desktop.SetClockLimit(start + 7'200'000);
    instance.saver.app.Run();
    EXPECT_TRUE(instance.saver.app.Terminated());
    EXPECT_EQ(desktop.NowMs(), start + 3'600'000);
    // One dissolve, the first picture's: its overlay reached full opacity once.
    const auto& history = desktop.Find(instance.saver.Overlay(0)->Handle())->alphaHistory;
    EXPECT_EQ(std::count_if(history.begin(), history.end(), [](const auto& c) { return c.alpha == 255; }), 1)
        << "speed " << speed;
    EXPECT_EQ(instance.saver.picturePool.size(), 53u);
  }
}

TEST_F(MainWindowSettings, TheFolderIsMadeInEveryMode) {
  const auto folder = desktop.SpecialFolder(platform::kFolderLocalAppData) + "\\vorlanthix";
  for (const char* arguments : {"/s", "/a", ""}) {
    std::filesystem::remove_all(desktop.HostPath(folder));
    SimSaver instance(desktop, arguments);
    ASSERT_TRUE(instance.Start());
    EXPECT_TRUE(instance.process.FolderExists(folder)) << arguments;
  }
}

}  // namespace
}  // namespace orvanel::shell
