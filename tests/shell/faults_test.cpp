// Faults from outside, on the simulated desktop.
//   Preview: the host destroyed in the middle of a presentation.
//   Close: a close request from outside in the middle of a dissolve.
//   Settings: a file of megabytes, an endless Speed line, NUL bytes.
#include <gtest/gtest.h>

#include <fstream>

#include "settings/settings_file.h"
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
  EXPECT_EQ(saver().saverMode, SaverMode::kNone);
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
