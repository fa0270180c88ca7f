// Faults from outside, on the simulated desktop.
//   Preview: the host destroyed in the middle of a presentation.
//   Close: a close request from outside in the middle of a dissolve.
//   Settings: a file of megabytes, an endless Speed line, NUL bytes.
//   Runs: extreme periods, a monitor added, a corrupt picture, ticks while its box is open.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "settings/settings_file.h"
#include "shell/startup.h"
#include "slideshow/showimg.h"
#include "support/slideshow_fixture.h"
#include "support/timer_window.h"

namespace orvanel::shell {
namespace {

using platform::Rect;
using testing::SlideshowFixture;
using testing::TimerWindow;

class Faults : public SlideshowFixture {
 protected:
  void RunUntil(std::int64_t ms) {
    desktop.SetClockLimit(ms);
    saver().app.Run();
  }
};

TEST_F(Faults, AHostDestroyedDuringAPreviewEndsItAtTheNextIdleTick) {
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 152, 112));
  Start("/p " + std::to_string(host), {4, true, true});
  // Halfway through the first presentation's opening fade.
  TimerWindow destroyer(instance->process, [&] { desktop.DestroyWindow(host); });
  destroyer.FireAfter(800);
  RunUntil(60'000);
  EXPECT_TRUE(saver().app.Terminated());
  EXPECT_EQ(saver().saverMode, instance::SaverMode::kNone);
  EXPECT_EQ(desktop.NowMs(), 4'000);  // the first tick after the host went
  EXPECT_EQ(desktop.openContexts, 0);
  EXPECT_FALSE(saver().presenterBusy);
}

TEST_F(Faults, ACloseFromOutsideDuringADissolveEndsTheRunCleanly) {
  Start("/s", {8, true, true});
  const int cursorBefore = instance->process.CursorCounter();
  TimerWindow closer(instance->process, [&] {
    instance->process.PostToWindow(main().Handle(), platform::kMsgClose, 0, 0);
  });
  closer.FireAfter(2'500);  // in the first dissolve's fade in
  RunUntil(60'000);
  EXPECT_TRUE(saver().app.Terminated());
  EXPECT_TRUE(saver().quitRequested);
  EXPECT_LT(desktop.NowMs(), 5'000);
  EXPECT_EQ(instance->process.CursorCounter(), cursorBefore + 1);  // shown by the close steps
  EXPECT_FALSE(saver().presenterBusy);
  EXPECT_EQ(instance->process.FineTimerRequests(), 0);
}

class ExtremeSpeed : public SlideshowFixture, public ::testing::WithParamInterface<const char*> {};

// No period wraps to a short one or spins: with each of these only the first
// picture comes within an hour.
TEST_P(ExtremeSpeed, ShowsTheFirstPictureAndNoMoreWithinAnHour) {
  {
    platform::sim::SimProcess writer(desktop, "orvanel.scr");
    const auto folder = settings::SettingsFolder(writer);
    settings::ForceFolders(writer, folder);
    writer.WriteIniString(settings::SettingsPath(writer), "Config", "Speed", GetParam());
  }
  instance = std::make_unique<testing::SimSaver>(desktop, "/s");
  ASSERT_TRUE(instance->Start());
  desktop.SetClockLimit(3'600'000);
  saver().app.Run();
  EXPECT_EQ(saver().picturePool.size(), 53u);  // one picture taken
  EXPECT_LT(desktop.NowMs(), 10'000);          // nothing after it
}

INSTANTIATE_TEST_SUITE_P(Values, ExtremeSpeed,
                         ::testing::Values("0", "-1", "2147483647", "0x7FFFFFFF", "0xFFFFFFFF",
                                           "4294968"));

TEST_F(Faults, AMonitorAddedDuringTheRunGetsNoTurn) {
  Start("/s", {2, false, false});
  RunUntil(3'000);
  desktop.SetMonitors({Rect{0, 0, 1024, 768}, Rect::FromBounds(1024, 0, 1024, 768)}, 0);
  RunUntil(9'000);
  EXPECT_EQ(saver().currentMonitor, 0);
  EXPECT_EQ(saver().picturePool.size(), 54u - 5u);  // pictures at 0, 2, 4, 6 and 8 s
}

TEST_F(Faults, ACorruptPictureIsReportedOncePerJobAndTheRunGoesOn) {
  Start("/s", {2, false, false});
  instance->process.AddResource("PIC0", "JPEG", {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02});
  RunUntil(5'000);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text.rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(saver().pictureIndex, 2);  // pictures 1 and 2 came after it
  EXPECT_EQ(desktop.liveBitmaps, 1);   // the main window's kept content, nothing of the failure
}

// A desktop whose message box stays open for `milliseconds` of the clock,
// the saver's messages going on meanwhile, unless they end it sooner.
class PumpingBoxProcess : public platform::sim::SimProcess {
 public:
  PumpingBoxProcess(platform::sim::SimDesktop& desktop, std::int64_t milliseconds)
      : SimProcess(desktop, "orvanel.scr /s"), desktop_(desktop), milliseconds_(milliseconds) {}

  void ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags,
                      platform::WhileBoxShows& whileShown) override {
    SimProcess::ShowMessageBox(text, caption, flags, whileShown);
    inputHeldAtOpen = CapturedWindow() != platform::kNoWindow;
    if (onOpen) onOpen();
    ++depth;
    deepest = std::max(deepest, depth);
    const auto until = desktop_.NowMs() + milliseconds_;
    while (desktop_.NowMs() < until && whileShown.DispatchWaiting() && WaitForMessage()) {
    }
    closedAtMs = desktop_.NowMs();
    if (onClose) onClose();
    --depth;
  }

  int depth = 0;
  int deepest = 0;
  bool inputHeldAtOpen = true;
  std::int64_t closedAtMs = 0;
  std::function<void()> onOpen;
  std::function<void()> onClose;

 private:
  platform::sim::SimDesktop& desktop_;
  std::int64_t milliseconds_;
};

// While the box of a failed picture is open its loop delivers the ticks; no
// job runs inside it, so there is one box, and the run goes on after it.
TEST(FaultsBox, NoJobRunsWhileTheBoxOfAFailedPictureIsOpen) {
  platform::sim::SimDesktop desktop;
  {
    platform::sim::SimProcess writer(desktop, "orvanel.scr");
    settings::SaveSettings(writer, settings::Settings{2, false, false});
  }
  PumpingBoxProcess process(desktop, 7'000);  // three ticks and more
  process.AddResource("PIC0", "JPEG", {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02});
  instance::Saver saver(process);
  CreateSaverWindows(saver);
  std::size_t poolAtClose = 0;
  process.onClose = [&] { poolAtClose = saver.picturePool.size(); };
  desktop.SetClockLimit(12'000);
  saver.app.Run();
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(process.deepest, 1);
  EXPECT_EQ(poolAtClose, 53u);  // only the failed picture was taken while it was open
  EXPECT_LT(saver.picturePool.size(), 53u);  // pictures came again after it
  EXPECT_FALSE(process.inputHeldAtOpen);
  EXPECT_EQ(process.CapturedWindow(), saver.frmSAVER->Handle());  // taken back once it was answered
}

// The box takes the input from the full-screen windows; the saver's windows
// go on behind it, and the key that ends the saver ends the box too, and
// then the run.
TEST(FaultsBox, TheKeyThatEndsTheSaverEndsAnOpenBoxAndTheRun) {
  platform::sim::SimDesktop desktop;
  {
    platform::sim::SimProcess writer(desktop, "orvanel.scr");
    settings::SaveSettings(writer, settings::Settings{2, false, false});
  }
  PumpingBoxProcess process(desktop, 600'000);
  process.SetHost(platform::ScreenHost::kMonitors);
  process.AddResource("PIC0", "JPEG", {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02});
  instance::Saver saver(process);
  CreateSaverWindows(saver);
  EXPECT_EQ(process.CapturedWindow(), saver.frmSAVER->Handle());
  std::int64_t openedAtMs = -1;
  process.onOpen = [&] {
    openedAtMs = desktop.NowMs();
    desktop.At(openedAtMs + 3'000, [&] { desktop.PressKey(saver.frmSAVER->Handle(), 'Q', 'q'); });
  };
  desktop.SetClockLimit(1'200'000);
  saver.app.Run();
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_FALSE(process.inputHeldAtOpen);
  EXPECT_EQ(process.closedAtMs, openedAtMs + 3'000);
  EXPECT_TRUE(saver.quitRequested);
  EXPECT_TRUE(saver.app.Terminated());
}

// With no timer to be had, the main window's creation fails with a box; the
// user's mouse moves while it is open reach the main window before the saver
// has its list of windows. Nothing is closed then, nothing crashes, and the
// next key after the box ends the run.
TEST(FaultsBox, InputWhileTheStartUpBoxIsOpenEndsTheRunAtTheNextKey) {
  platform::sim::SimDesktop desktop;
  desktop.SetTimersExhausted(true);
  PumpingBoxProcess process(desktop, 1'000);
  instance::Saver saver(process);
  process.onOpen = [&] {
    for (auto window : process.OwnWindows()) {
      if (desktop.Find(window)->className != "TfrmSAVER") continue;
      desktop.MoveMouse(window, {300, 300});
      desktop.MoveMouse(window, {600, 600});
    }
  };
  CreateSaverWindows(saver);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text, "Not enough timers available.");
  EXPECT_TRUE(saver.quitRequested);
  desktop.SetClockLimit(10'000);
  saver.app.Run();
  ASSERT_FALSE(saver.app.Terminated());
  desktop.PressKey(saver.frmSAVER->Handle(), 'Q', 'q');
  desktop.SetClockLimit(20'000);
  saver.app.Run();
  EXPECT_TRUE(saver.app.Terminated());
}

class BadSettingsFile : public SlideshowFixture {
 protected:
  settings::Settings LoadFrom(const std::string& text) {
    platform::sim::SimProcess process(desktop, "orvanel.scr");
    const auto file = desktop.HostPath(settings::SettingsPath(process));
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return settings::LoadSettings(process);
  }
};

TEST_F(BadSettingsFile, AFileOfMegabytesIsReadToItsEnd) {
  std::string text;
  for (int i = 0; i < 200'000; ++i) text += "Filler" + std::to_string(i) + "=some text here\r\n";
  EXPECT_GT(text.size(), 4'000'000u);
  text = "[Other]\r\n" + text + "[Config]\r\nSpeed=12\r\nRandom=0\r\n";
  EXPECT_EQ(LoadFrom(text), (settings::Settings{12, false, true}));
}

TEST_F(BadSettingsFile, AnEndlessSpeedLineGivesTheDefault) {
  EXPECT_EQ(LoadFrom("[Config]\r\nSpeed=" + std::string(100'000, '7') + "\r\nBlend=0\r\n"),
            (settings::Settings{8, true, false}));
}

// The whole of a string literal, NUL bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

TEST_F(BadSettingsFile, ANulByteEndsAValueAsItDoesForTheDesktop) {
  EXPECT_EQ(LoadFrom(Bytes("[Config]\r\nSpeed=20\0garbage\r\nRandom=0\r\n")),
            (settings::Settings{20, false, true}));
  EXPECT_EQ(LoadFrom(Bytes("\0\0\xff\xfe[Config]\r\nSpeed=\xe6\xf8\r\n")),
            (settings::Settings{8, true, true}));
}

}  // namespace
}  // namespace orvanel::shell
