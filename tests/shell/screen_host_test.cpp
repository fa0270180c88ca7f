// Where the saver shows, and what follows from it, on the simulated desktop.
//   One-instance rules: per display, per host window, none for try-out windows (a table).
//   Mutex names: the display's name in them, or the mode's own as on Windows.
//   Another program's window: a window that is gone.
//   Pointer: parked only on monitors the saver owns.
//   Reports: an error in another program's window goes to that program's log.
//   Close request: the program that started the saver ends it through its close steps.
//   Host window gone: the saver ends through the same steps.
//   Input: taken by the main window on the monitors alone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "shell/mode_mutex.h"
#include "shell/startup.h"
#include "support/sim_saver.h"

namespace orvanel::shell {
namespace {

using platform::Rect;
using platform::ScreenHost;
using platform::sim::SimDesktop;
using testing::SimSaver;

// The names of the mutexes a saver holds.
std::vector<std::string> HeldNames(SimSaver& instance) {
  std::vector<std::string> names;
  for (const auto& [handle, name] : instance.process.MutexHandles()) names.push_back(name);
  return names;
}

// One start of a saver: its arguments, where it shows, and whether it runs
// beside those started before it or gives way.
struct Launch {
  const char* arguments;
  const char* display;
  ScreenHost host;
  int window;  // 1 or 2 for the test's two host windows
  bool runs;
};

struct Scenario {
  const char* name;
  std::vector<Launch> launches;
};

class OneInstanceRules : public ::testing::TestWithParam<Scenario> {};

TEST_P(OneInstanceRules, EachStartRunsOrGivesWay) {
  SimDesktop desktop;
  const platform::WindowHandle hosts[] = {platform::kNoWindow,
                                          desktop.CreateTestWindow("left", Rect::FromBounds(0, 0, 640, 480)),
                                          desktop.CreateTestWindow("right", Rect::FromBounds(640, 0, 640, 480))};
  std::vector<std::unique_ptr<SimSaver>> running;
  for (const auto& launch : GetParam().launches) {
    auto saver = std::make_unique<SimSaver>(desktop, launch.arguments);
    saver->process.SetDisplayName(launch.display);
    saver->process.SetHost(launch.host, hosts[launch.window]);
    const bool started = saver->Start() && saver->saver.modeMutex;
    EXPECT_EQ(started, launch.runs) << launch.arguments << " on " << launch.display << " window "
                                    << launch.window << " after " << running.size();
    running.push_back(std::move(saver));
  }
}

constexpr auto kMonitors = ScreenHost::kMonitors;
constexpr auto kForeign = ScreenHost::kForeignWindow;
constexpr auto kOwn = ScreenHost::kOwnWindow;

INSTANTIATE_TEST_SUITE_P(
    Scopes, OneInstanceRules,
    ::testing::Values(
        Scenario{"TwoDisplays", {{"/s", ":0", kMonitors, 0, true}, {"/s", ":1", kMonitors, 0, true}}},
        Scenario{"OneDisplay",
                 {{"/s", ":0", kMonitors, 0, true},
                  {"/s", ":0", kMonitors, 0, false},
                  {"/c:1", ":0", kMonitors, 0, false},
                  {"/p 1", ":0", kMonitors, 0, false}}},
        Scenario{"HostWindows",
                 {{"/s", ":0", kForeign, 1, true},
                  {"/s", ":0", kForeign, 2, true},
                  {"/s", ":0", kForeign, 2, false},
                  {"/s", ":1", kForeign, 2, true}}},
        Scenario{"TryOutWindows",
                 {{"/s", ":0", kMonitors, 0, true}, {"/s", ":0", kOwn, 0, true}, {"/s", ":0", kOwn, 0, true}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MutexNames, ThePerDisplayNameAndTheModesOwnWhereNamesArePerSession) {
  SimDesktop desktop;
  SimSaver onDisplay(desktop, "/s");
  onDisplay.process.SetDisplayName(":1");
  ASSERT_TRUE(onDisplay.Start());
  EXPECT_EQ(HeldNames(onDisplay), std::vector<std::string>{"SaverActiveMode@:1"});
  SimSaver windows(desktop, "/s");  // no display name, as on Windows
  ASSERT_TRUE(windows.Start());
  EXPECT_EQ(HeldNames(windows), std::vector<std::string>{"SaverActiveMode"});
  EXPECT_EQ(ScopedMutexName(windows.process, instance::SaverMode::kConfig), "SaverConfigMode");
}

TEST(MutexNames, OneDisplayHasOneNameHoweverItIsWritten) {
  for (const char* written : {":1", ":1.0", ":1.2", "unix:1", "unix:1.0"}) EXPECT_EQ(DisplayKey(written), ":1") << written;
  EXPECT_EQ(DisplayKey("vnc.example.org:1.0"), "vnc.example.org:1");
  EXPECT_NE(DisplayKey("vnc.example.org:1"), DisplayKey(":1"));
  EXPECT_NE(DisplayKey(":10"), DisplayKey(":1"));
  EXPECT_EQ(DisplayKey(""), "");  // a desktop that keeps names per display itself
  EXPECT_EQ(DisplayKey("display"), "display");
  SimDesktop desktop;
  SimSaver first(desktop, "/s");
  first.process.SetDisplayName(":1.0");
  ASSERT_TRUE(first.Start());
  SimSaver second(desktop, "/s");
  second.process.SetDisplayName("unix:1");
  EXPECT_FALSE(second.Start());
}

TEST(AnotherProgramsWindow, AWindowThatIsGoneEndsTheSaverAtOnce) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 640, 480));
  desktop.DestroyWindow(host);
  platform::sim::SimProcess process(desktop, "orvanel /s");
  process.SetHost(ScreenHost::kForeignWindow, host);
  desktop.SetClockLimit(60'000);
  EXPECT_EQ(RunSaver(process), 0);
  EXPECT_TRUE(process.OwnWindows().empty());
  EXPECT_TRUE(process.MutexHandles().empty());
  ASSERT_EQ(process.HostLog().size(), 1u);
  EXPECT_NE(process.HostLog()[0].find("no window"), std::string::npos);
}

// A process that counts the pictures it decodes.
class DecodeCountingProcess : public platform::sim::SimProcess {
 public:
  using SimProcess::SimProcess;
  std::unique_ptr<platform::Bitmap> CreatePictureBitmap(std::int32_t width, std::int32_t height) override {
    ++picturesDecoded;
    return SimProcess::CreatePictureBitmap(width, height);
  }
  int picturesDecoded = 0;
};

// The same start with the window there: the slideshow runs in it, with
// nothing said to the host's log.
TEST(AnotherProgramsWindow, AWindowThatIsThereShowsTheSlideshow) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 640, 480));
  DecodeCountingProcess process(desktop, "orvanel /s");
  process.SetHost(ScreenHost::kForeignWindow, host);
  desktop.SetClockLimit(20'000);
  EXPECT_EQ(RunSaver(process), 0);
  EXPECT_TRUE(process.HostLog().empty());
  EXPECT_GE(process.picturesDecoded, 2);
  EXPECT_EQ(desktop.liveBitmaps, 0);
}

class PointerParking : public ::testing::TestWithParam<ScreenHost> {};

TEST_P(PointerParking, OnlyOnTheMonitorsTheSaverOwns) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 1024, 768));
  desktop.SetCursorPos(platform::Point{500, 400});
  SimSaver instance(desktop, "/s");
  instance.process.SetHost(GetParam(), GetParam() == ScreenHost::kForeignWindow ? host : platform::kNoWindow);
  ASSERT_TRUE(instance.Start());
  desktop.SetClockLimit(20'000);  // the first picture and two more
  instance.saver.app.Run();
  ASSERT_FALSE(instance.saver.picturePool.empty());  // pictures were shown
  const auto at = desktop.CursorPos();
  if (GetParam() == ScreenHost::kMonitors) {
    EXPECT_EQ(at, (platform::Point{101, 101}));
  } else {
    EXPECT_EQ(at, (platform::Point{500, 400}));
  }
}

INSTANTIATE_TEST_SUITE_P(Hosts, PointerParking,
                         ::testing::Values(ScreenHost::kMonitors, ScreenHost::kForeignWindow,
                                           ScreenHost::kOwnWindow));

// A saver whose first picture, picture 0 in sequential order, is corrupt.
class Reports : public ::testing::Test {
 protected:
  void RunWithACorruptFirstPicture(ScreenHost host) {
    const auto hostWindow = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 1024, 768));
    {
      platform::sim::SimProcess writer(desktop, "orvanel.scr");
      settings::SaveSettings(writer, settings::Settings{2, false, false});
    }
    instance = std::make_unique<SimSaver>(desktop, "/s");
    instance->process.SetHost(host, host == ScreenHost::kForeignWindow ? hostWindow : platform::kNoWindow);
    ASSERT_TRUE(instance->Start());
    instance->process.AddResource("PIC0", "JPEG", {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02});
    desktop.SetClockLimit(1'000);
    instance->saver.app.Run();
  }

  SimDesktop desktop;
  std::unique_ptr<SimSaver> instance;
};

TEST_F(Reports, AnErrorInAnotherProgramsWindowGoesToItsLogNotToABox) {
  RunWithACorruptFirstPicture(ScreenHost::kForeignWindow);
  EXPECT_TRUE(desktop.messageBoxes.empty());
  ASSERT_EQ(instance->process.HostLog().size(), 1u);
  EXPECT_EQ(instance->process.HostLog()[0].rfind("Orvanel Screensaver: JPEG error #", 0), 0u);
}

TEST_F(Reports, OnMonitorsAndInATryOutWindowAnErrorIsABox) {
  for (const auto host : {ScreenHost::kMonitors, ScreenHost::kOwnWindow}) {
    RunWithACorruptFirstPicture(host);
    EXPECT_TRUE(instance->process.HostLog().empty());
  }
  EXPECT_EQ(desktop.messageBoxes.size(), 2u);
}

// The arguments before the host's number, and whether they carry it.
struct CloseCase {
  const char* arguments;
};

class CloseRequest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseRequest, EndsTheSaverThroughTheMainWindowsCloseSteps) {
  SimDesktop desktop;
  const auto properties = desktop.CreateTestWindow("Display Properties", Rect::FromBounds(0, 0, 400, 300));
  SimSaver instance(desktop, GetParam().arguments + std::to_string(properties));
  ASSERT_TRUE(instance.Start());
  ASSERT_NE(instance.saver.saverMode, instance::SaverMode::kNone);
  const int cursorBefore = instance.process.CursorCounter();
  instance.process.RequestClose();
  desktop.SetClockLimit(3'600'000);
  instance.saver.app.Run();
  EXPECT_TRUE(instance.saver.app.Terminated());
  EXPECT_TRUE(instance.saver.quitRequested);
  EXPECT_LT(desktop.NowMs(), 1'000);
  EXPECT_EQ(instance.process.CursorCounter(), cursorBefore + 1);  // shown by the close steps
  EXPECT_TRUE(desktop.Find(properties)->enabled);                 // given back by the dialog
}

// The settings dialog's host is the properties window itself; the preview draws into it.
INSTANTIATE_TEST_SUITE_P(Modes, CloseRequest,
                         ::testing::Values(CloseCase{"/s "}, CloseCase{"/c:"}, CloseCase{"/p "}));

TEST(HostWindow, GoneMidRunEndsTheSaverThroughItsCloseSteps) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 1024, 768));
  SimSaver instance(desktop, "/s");
  instance.process.SetHost(ScreenHost::kForeignWindow, host);
  ASSERT_TRUE(instance.Start());
  desktop.At(5'000, [&] { instance.process.HostWindowGone(); });
  desktop.SetClockLimit(3'600'000);
  instance.saver.app.Run();
  EXPECT_TRUE(instance.saver.app.Terminated());
  EXPECT_TRUE(instance.saver.quitRequested);
  EXPECT_LT(desktop.NowMs(), 6'000);
}

struct CaptureCase {
  const char* arguments;
  ScreenHost host;
  bool captured;  // by the main window
};

class InputCapture : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(InputCapture, TakenByTheMainWindowOnTheMonitorsAlone) {
  SimDesktop desktop;
  const auto host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 1024, 768));
  const std::string arguments = GetParam().arguments;
  SimSaver instance(desktop, arguments.back() == ' ' ? arguments + std::to_string(host) : arguments);
  instance.process.SetHost(GetParam().host,
                           GetParam().host == ScreenHost::kForeignWindow ? host : platform::kNoWindow);
  ASSERT_TRUE(instance.Start());
  EXPECT_EQ(instance.process.CapturedWindow(),
            GetParam().captured ? instance.saver.frmSAVER->Handle() : platform::kNoWindow);
}

INSTANTIATE_TEST_SUITE_P(Modes, InputCapture,
                         ::testing::Values(CaptureCase{"/s", ScreenHost::kMonitors, true},
                                           CaptureCase{"/s", ScreenHost::kForeignWindow, false},
                                           CaptureCase{"/s", ScreenHost::kOwnWindow, false},
                                           CaptureCase{"/p ", ScreenHost::kMonitors, false},
                                           CaptureCase{"/c:", ScreenHost::kMonitors, false}));

}  // namespace
}  // namespace orvanel::shell
