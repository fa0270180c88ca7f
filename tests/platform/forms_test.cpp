// The form framework on the simulated desktop.
//   Error report: the text rule, the caption and icon; the loop goes on.
//   Timer: "Not enough timers available" when the desktop has none left; no
//          tick sooner than 10 ms after the last, however short the interval.
//   Form life: re-created after its window is destroyed from outside; the close rules.
//   First showing: centred on the primary screen, then moved onto monitor 0.
//   Choice list: its choice survives the window's re-creation; Tab focuses it,
//                the arrows move its choice and stop at its ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/forms/application.h"
#include "platform/forms/canvas.h"
#include "platform/forms/error.h"
#include "platform/forms/timer.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "platform/window_styles.h"

namespace orvanel::forms {
namespace {

using platform::Rect;
using platform::sim::SimDesktop;
using platform::sim::SimProcess;

constexpr FormDesign kCentred{.className = "TCentred", .name = "centred", .clientWidth = 200,
                              .clientHeight = 100, .placement = Placement::kScreenCenter};

class CountingForm : public Form {
 public:
  explicit CountingForm(Application& app, bool showInCreate = false)
      : Form(app, kCentred), showInCreate_(showInCreate) {}
  int createParamsCalls = 0;
  int closeQueries = 0;
  int userMessages = 0;
  bool refuseClose = false;

 protected:
  void CreateParams(WindowCreationParams& params) override {
    Form::CreateParams(params);
    ++createParamsCalls;
  }
  void FormCloseQuery(bool& canClose) override {
    ++closeQueries;
    canClose = !refuseClose;
  }
  void FormCreate() override {
    if (showInCreate_) Show();
  }
  void FormKeyDown(std::uint16_t) override {
    throw SaverError("'abc' is not a valid integer value");
  }
  bool FormMessage(const platform::Message& message) override {
    if (message.id != platform::kMsgUser) return false;
    ++userMessages;
    return true;
  }

 private:
  bool showInCreate_;
};

TEST(ErrorBoxText, AppendsAFullStopAfterLettersAndDigitsOnly) {
  EXPECT_EQ(ErrorBoxText("Unable to write to C:\\x.ini"), "Unable to write to C:\\x.ini.");
  EXPECT_EQ(ErrorBoxText("JPEG error #42"), "JPEG error #42.");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("Why!"), "Why!");
  EXPECT_EQ(ErrorBoxText(""), "");
  EXPECT_EQ(FormatMessage("Resource %s not found", "pic55"), "Resource pic55 not found");
  EXPECT_EQ(FormatMessage("JPEG error #%d", 21), "JPEG error #21");
}

class FormsTest : public ::testing::Test {
 protected:
  FormsTest() : process(desktop, "p.exe"), app(process) {
    app.Initialize();
    app.SetTitle("Orvanel Screensaver");
  }
  SimDesktop desktop;
  SimProcess process;
  Application app;
};

TEST_F(FormsTest, AnErrorInAHandlerIsReportedAndTheLoopGoesOn) {
  auto& form = app.CreateForm<CountingForm>();
  desktop.PressKey(form.Handle(), 'A');
  form.Post(platform::kMsgUser);
  app.ProcessMessages();
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text, "'abc' is not a valid integer value.");
  EXPECT_EQ(desktop.messageBoxes[0].caption, "Orvanel Screensaver");
  EXPECT_EQ(desktop.messageBoxes[0].flags, platform::kBoxIconError);
  EXPECT_EQ(form.userMessages, 1);  // the message queued behind the failing key was handled
}

TEST_F(FormsTest, ATimerWithNoTimerLeftRaisesTheTimerError) {
  int ticks = 0;
  Timer timer(app, [&] { ++ticks; });
  timer.SetEnabled(false);
  timer.SetInterval(50);
  desktop.SetTimersExhausted(true);
  try {
    timer.SetEnabled(true);
    FAIL() << "no error raised";
  } catch (const SaverError& error) {
    EXPECT_STREQ(error.what(), "Not enough timers available");
  }
  desktop.SetTimersExhausted(false);
  timer.SetInterval(60);
  desktop.SetClockLimit(130);
  app.Run();
  EXPECT_EQ(ticks, 2);
}

// However short the interval asked, a timer ticks no more often than every
// 10 ms, on every desktop alike.
TEST_F(FormsTest, ATimerTicksAtMostEveryTenMilliseconds) {
  for (const std::uint32_t interval : {1u, 9u, 10u, 25u}) {
    std::vector<std::int64_t> ticks;
    Timer timer(app, [&] { ticks.push_back(desktop.NowMs()); });
    const std::int64_t start = desktop.NowMs();
    timer.SetInterval(interval);
    timer.SetEnabled(true);
    desktop.SetClockLimit(start + 50);
    app.Run();
    const std::int64_t every = std::max<std::int64_t>(interval, kTimerMinimumMs);
    ASSERT_EQ(ticks.size(), static_cast<std::size_t>(50 / every)) << interval;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_EQ(ticks[i], start + every * static_cast<std::int64_t>(i + 1)) << interval;
    }
  }
}

TEST_F(FormsTest, AWindowDestroyedFromOutsideIsMadeAgainOnItsNextUse) {
  auto& form = app.CreateForm<CountingForm>();
  EXPECT_EQ(form.createParamsCalls, 1);
  const auto first = form.Handle();
  process.DestroyNativeWindow(first);
  EXPECT_FALSE(form.HandleAllocated());
  EXPECT_NE(form.Handle(), platform::kNoWindow);
  EXPECT_EQ(form.createParamsCalls, 2);
}

TEST_F(FormsTest, ClosingTheMainFormEndsTheApplicationAndOthersHide) {
  auto& main = app.CreateForm<CountingForm>();
  auto& other = app.CreateForm<CountingForm>();
  other.Show();
  other.Close();
  EXPECT_FALSE(other.Visible());
  EXPECT_FALSE(app.TerminateRequested());
  main.refuseClose = true;
  main.Close();
  EXPECT_FALSE(app.TerminateRequested());
  main.refuseClose = false;
  main.Close();
  EXPECT_TRUE(app.TerminateRequested());
  app.Run();
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(main.Visible());  // an ending application does not show its main form
}

TEST_F(FormsTest, FirstShowingCentresOnThePrimaryThenMovesOntoMonitorZero) {
  // Monitor 0 lies left of the primary monitor, which starts at (0, 0).
  desktop.SetMonitors({Rect::FromBounds(-800, 0, 800, 600), Rect::FromBounds(0, 0, 1024, 768)}, 1);
  // Shown during its own set-up, before the application knows its main form.
  auto& main = app.CreateForm<CountingForm>(true);
  EXPECT_EQ(main.BoundsRect(), Rect::FromBounds(412, 334, 200, 100));
  auto& second = app.CreateForm<CountingForm>();
  second.Show();
  EXPECT_EQ(second.BoundsRect(), Rect::FromBounds(-500, 250, 200, 100));
  second.Hide();
  second.SetBounds(0, 0, 200, 100);
  second.Show();  // placed only the first time
  EXPECT_EQ(second.BoundsRect(), Rect::FromBounds(0, 0, 200, 100));
}

// A dialog whose first showing moves it onto a monitor of another DPI grows
// with it and is centred there at its new size.
TEST_F(FormsTest, FirstShowingOntoMonitorZeroOfAnotherDpiCentresAtTheNewSize) {
  static constexpr FormDesign kDialog{.className = "TDialog", .name = "dialog", .border = BorderStyle::kDialog,
                                      .clientWidth = 200, .clientHeight = 100,
                                      .placement = Placement::kScreenCenter};
  desktop.SetMonitors({Rect::FromBounds(-800, 0, 800, 600), Rect::FromBounds(0, 0, 1024, 768)}, 1);
  desktop.SetMonitorDpi(0, 192);
  app.CreateForm<CountingForm>(true);
  auto& dialog = app.CreateForm<Form>(kDialog);
  dialog.Show();
  EXPECT_EQ(dialog.ClientRect(), (Rect{0, 0, 400, 200}));
  const Rect placed = desktop.ScreenRect(dialog.Handle());
  EXPECT_EQ(placed.left, -800 + (800 - placed.Width()) / 2);
  EXPECT_EQ(placed.top, (600 - placed.Height()) / 2);
}

class ChoiceForm : public Form {
 public:
  explicit ChoiceForm(Application& app)
      : Form(app, kCentred),
        edit(AddControl<Edit>("Edit1", Rect::FromBounds(8, 8, 100, 21), "5")),
        label(AddControl<Label>("Label1", Rect::FromBounds(8, 36, 60, 13), "Caption:")),
        choice(AddControl<ChoiceList>("Caption", Rect::FromBounds(70, 36, 120, 21),
                                      std::vector<std::string>{"None", "Date", "Date and folder"})) {
    for (const auto& control : Controls()) control->SetVisible(true);
  }
  Edit& edit;
  Label& label;
  ChoiceList& choice;
};

TEST_F(FormsTest, AChoiceListKeepsItsChoiceAcrossTheWindowsRecreation) {
  auto& form = app.CreateForm<ChoiceForm>();
  const auto native = [&] { return desktop.Find(form.choice.Handle()); };
  ASSERT_NE(native(), nullptr);
  EXPECT_EQ(native()->choices, (std::vector<std::string>{"None", "Date", "Date and folder"}));
  form.choice.SetChosen(2);
  EXPECT_EQ(native()->chosen, 2);
  process.SetChosenIndex(form.choice.Handle(), 1);  // the user chooses
  EXPECT_EQ(form.choice.Chosen(), 1);

  process.DestroyNativeWindow(form.Handle());
  form.Handle();
  ASSERT_NE(native(), nullptr);
  EXPECT_EQ(native()->chosen, 1);
  EXPECT_EQ(native()->choices.size(), 3u);
  EXPECT_EQ(form.choice.Chosen(), 1);
}

TEST_F(FormsTest, TabFocusesAChoiceListWhoseArrowsMoveItsChoiceUpToItsEnds) {
  constexpr std::uint16_t kTab = 0x09, kUp = 0x26, kDown = 0x28;
  auto& form = app.CreateForm<ChoiceForm>();
  form.choice.SetChosen(1);
  process.FocusWindow(form.edit.Handle());
  const auto press = [&](std::uint16_t key) {
    desktop.PressKey(form.Handle(), key);
    app.ProcessMessages();
  };
  press(kDown);  // the edit has the focus
  EXPECT_EQ(form.choice.Chosen(), 1);
  press(kTab);   // past the label, which takes no focus
  ASSERT_EQ(desktop.focus, form.choice.Handle());
  const struct {
    std::uint16_t key;
    std::int32_t chosen;
  } steps[] = {{kDown, 2}, {kDown, 2}, {kUp, 1}, {kUp, 0}, {kUp, 0}, {kDown, 1}};
  for (const auto& step : steps) {
    press(step.key);
    EXPECT_EQ(form.choice.Chosen(), step.chosen);
  }
  press(kTab);
  EXPECT_EQ(desktop.focus, form.edit.Handle());
}

TEST(StretchMode, HalftoneOnlyOnAPaletteDisplayBelowTheSource) {
  EXPECT_EQ(ChooseStretchMode(32, 24), platform::StretchMode::kColorOnColor);
  EXPECT_EQ(ChooseStretchMode(16, 24), platform::StretchMode::kColorOnColor);
  EXPECT_EQ(ChooseStretchMode(8, 24), platform::StretchMode::kHalftone);
  EXPECT_EQ(ChooseStretchMode(8, 8), platform::StretchMode::kColorOnColor);
}

}  // namespace
}  // namespace orvanel::forms
