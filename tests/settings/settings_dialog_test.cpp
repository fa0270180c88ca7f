// The settings dialog on the simulated desktop, driven as a user would.
//   OK: stores what was typed and checked; bad numbers give the error box and store nothing.
//   Cancel: leaves the file byte for byte.
//   Display Properties: disabled while the dialog is open, enabled after either button.
//   Panel and arrows: the maker's address opens; the arrows stop at 4 and 500.
//   Folder row: the desktop's folder dialog over this one; the choice shown, stored
//               on OK only; the way back to the built-in pictures; the pictures
//               the folder holds, counted by content after the dialog shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "resources/maker.h"
#include "support/jpeg_writer.h"
#include "support/png_writer.h"
#include "support/slideshow_fixture.h"

namespace orvanel::settings {
namespace {

using platform::Rect;
using testing::SlideshowFixture;

class SettingsDialog : public SlideshowFixture {
 protected:
  void Open(const Settings& stored = {8, true, true}, std::vector<Rect> monitors = {Rect{0, 0, 1024, 768}}) {
    host = desktop.CreateTestWindow("host", Rect::FromBounds(0, 0, 400, 300));
    properties = desktop.CreateTestWindow("Display Properties", Rect::FromBounds(0, 0, 400, 300));
    Start("/c:" + std::to_string(host), stored, std::move(monitors));
  }
  void Type(forms::Control& control, const std::string& text) {
    desktop.TypeInto(control.Handle(), text);
  }
  void Click(forms::Control& control) {
    desktop.ClickControl(control.Handle());
    saver().app.ProcessMessages();
  }
  std::string FileText() {
    std::ifstream in(desktop.HostPath(SettingsPath(instance->process)), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool PropertiesEnabled() { return desktop.Find(properties)->enabled; }
  void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const auto host = desktop.HostPath(path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  }
  // The dialog's timers run for a while of the virtual clock.
  void Wait(std::int64_t milliseconds) {
    desktop.Advance(milliseconds);
    saver().app.ProcessMessages();
  }

  platform::WindowHandle host = platform::kNoWindow;
  platform::WindowHandle properties = platform::kNoWindow;
};

TEST_F(SettingsDialog, OkStoresWhatWasTypedAndCheckedAndCloses) {
  Open();
  EXPECT_FALSE(PropertiesEnabled());
  EXPECT_EQ(desktop.focus, main().OKButton.Handle());  // first in the tab order
  Type(main().Edit1, "1000");
  Click(main().CheckBox1);
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process), (Settings{1000, false, true}));
  EXPECT_TRUE(saver().app.TerminateRequested());
  EXPECT_TRUE(PropertiesEnabled());
}

// The caption and fill rows come after the folder row in the tab order,
// show what the file holds, and OK stores what was chosen.
TEST_F(SettingsDialog, TheCaptionAndFillRowsAreReachedByTabAndStoredByOk) {
  Open(Settings{8, true, true, "C:\\Photos", instance::CaptionKind::kDate, instance::FitMode::kFit});
  EXPECT_EQ(main().CaptionList.Chosen(), 1);
  EXPECT_FALSE(main().FillCheckBox.Checked());
  EXPECT_EQ(desktop.Find(main().CaptionList.Handle())->choices,
            (std::vector<std::string>{"None", "Date taken", "Date and folder"}));
  const auto press = [&](std::uint16_t key) {
    desktop.PressKey(main().Handle(), key);
    saver().app.ProcessMessages();
  };
  constexpr std::uint16_t kTab = 0x09, kDown = 0x28;
  desktop.focus = main().BuiltInButton.Handle();
  press(kTab);
  ASSERT_EQ(desktop.focus, main().CaptionList.Handle());
  press(kDown);
  press(kTab);
  EXPECT_EQ(desktop.focus, main().FillCheckBox.Handle());
  Click(main().FillCheckBox);
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process), (Settings{8, true, true, "C:\\Photos",
                                                        instance::CaptionKind::kDateAndFolder,
                                                        instance::FitMode::kFill}));
}

TEST_F(SettingsDialog, OkKeepsThePicturesFolderOfTheFile) {
  Open(Settings{8, true, true, "C:\\Users\\Me\\Pictures"});
  Type(main().Edit1, "20");
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process), (Settings{20, true, true, "C:\\Users\\Me\\Pictures"}));
}

TEST_F(SettingsDialog, TheFolderRowChoosesThroughTheDesktopsDialogAndOkStoresIt) {
  Open();
  EXPECT_EQ(main().FolderLabel.Text(), "Built-in pictures");
  EXPECT_TRUE(main().FolderButton.Visible());
  // Cancelled in the folder dialog: nothing changes.
  Click(main().FolderButton);
  ASSERT_EQ(desktop.folderDialogs.size(), 1u);
  EXPECT_EQ(desktop.folderDialogs[0].owner, main().Handle());
  EXPECT_EQ(desktop.folderDialogs[0].start, "");
  EXPECT_EQ(main().FolderLabel.Text(), "Built-in pictures");
  desktop.folderChoices = {"D:\\Photos\\Summer holidays in the mountains 2025\\"};
  Click(main().FolderButton);
  EXPECT_EQ(main().FolderLabel.Text(), "Summer holi...");  // cut to fourteen
  // The dialog opens again where the user left it.
  desktop.folderChoices = {std::nullopt};
  Click(main().FolderButton);
  EXPECT_EQ(desktop.folderDialogs.back().start, "D:\\Photos\\Summer holidays in the mountains 2025\\");
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process).folder, "D:\\Photos\\Summer holidays in the mountains 2025\\");
}

TEST_F(SettingsDialog, BuiltInClearsTheFolderAndCancelStoresNothing) {
  Open(Settings{8, true, true, "/home/me/Pictures"});
  EXPECT_EQ(main().FolderLabel.Text(), "Pictures");
  Click(main().BuiltInButton);
  EXPECT_EQ(main().FolderLabel.Text(), "Built-in pictures");
  const std::string before = FileText();
  Click(main().CancelButton);
  EXPECT_EQ(FileText(), before);

  Open(Settings{8, true, true, "/home/me/Pictures"});
  Click(main().BuiltInButton);
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process).folder, "");
}

// The designed places, as the window design stores them.
std::vector<std::pair<forms::Control*, Rect>> DesignedPlaces(shell::TfrmSAVER& form) {
  return {
      {&form.OKButton, Rect::FromBounds(16, 106, 75, 21)},
      {&form.CancelButton, Rect::FromBounds(140, 106, 75, 21)},
      {&form.Edit1, Rect::FromBounds(54, 12, 41, 19)},
      {&form.Label2, Rect::FromBounds(14, 14, 34, 13)},
      {&form.UpDown1, Rect::FromBounds(95, 12, 16, 19)},
      {&form.CheckBox1, Rect::FromBounds(16, 42, 199, 17)},
      {&form.Panel1, Rect::FromBounds(16, 142, 201, 21)},
      {&form.CheckBox2, Rect::FromBounds(16, 72, 201, 17)},
  };
}

// The photo rows make one section right under the designed controls: its
// heading close below the web address, each row below the one before, the
// dialog ending below the last.
TEST_F(SettingsDialog, TheDesignedControlsKeepTheirPlacesAndThePhotoRowsFollowThem) {
  Open();
  for (const auto& [control, bounds] : DesignedPlaces(main())) {
    EXPECT_EQ(desktop.Find(control->Handle())->bounds, bounds) << control->Name();
  }
  const auto bounds = [&](forms::Control& control) { return desktop.Find(control.Handle())->bounds; };
  const std::vector<std::vector<forms::Control*>> rows = {
      {&main().PhotosLabel},
      {&main().FolderLabel, &main().FolderButton, &main().BuiltInButton},
      {&main().FolderCountLabel},
      {&main().CaptionLabel, &main().CaptionList},
      {&main().FillCheckBox}};
  const std::int32_t designedBottom = bounds(main().Panel1).bottom;
  EXPECT_LE(bounds(main().PhotosLabel).top - designedBottom, 12);
  std::int32_t above = designedBottom;
  for (const auto& row : rows) {
    std::int32_t bottom = above;
    for (forms::Control* control : row) {
      EXPECT_GE(bounds(*control).top, above) << control->Name();
      bottom = std::max(bottom, bounds(*control).bottom);
    }
    above = bottom;
  }
  EXPECT_LE(above, main().ClientRect().Height());
  EXPECT_GE(above, main().ClientRect().Height() - 8);
  EXPECT_EQ(main().PhotosLabel.Text(), "Photos");
}

// On a monitor of 144 dots per inch every edge of the layout lies 1.5 times
// as far out, halves rounded away from zero, as Windows' MulDiv rounds.
TEST_F(SettingsDialog, OnAMonitorOf144DpiTheLayoutGrowsByHalf) {
  desktop.SetDpi(144);
  Open();
  const auto grown = [](std::int32_t designed) { return (designed * 3 + 1) / 2; };
  for (const auto& [control, bounds] : DesignedPlaces(main())) {
    EXPECT_EQ(desktop.Find(control->Handle())->bounds,
              (Rect{grown(bounds.left), grown(bounds.top), grown(bounds.right), grown(bounds.bottom)}))
        << control->Name();
  }
  const Rect client = main().ClientRect();
  EXPECT_EQ(client.Width(), grown(237));
  EXPECT_EQ(client.Height(), grown(main().Design().clientHeight + kPhotoSectionHeight));
}

// Dragged onto a monitor of another DPI, the dialog lays its controls out
// again in place: same controls, what was typed and the focus kept; back on
// the first monitor it is exactly the designed dialog again.
TEST_F(SettingsDialog, DraggedOntoAMonitorOfAnotherDpiTheLayoutFollowsInPlace) {
  const std::vector<Rect> monitors{Rect::FromBounds(0, 0, 1024, 768), Rect::FromBounds(1024, 0, 1920, 1080)};
  desktop.SetMonitors(monitors);
  desktop.SetMonitorDpi(1, 144);
  Open({8, true, true}, monitors);
  const auto designed = DesignedPlaces(main());
  Type(main().Edit1, "42");
  Click(main().CheckBox2);
  desktop.focus = main().Edit1.Handle();
  const auto handles = [&] {
    std::vector<platform::WindowHandle> all;
    for (const auto& control : main().Controls()) all.push_back(control->Handle());
    return all;
  };
  const auto before = handles();
  const auto grown = [](std::int32_t length) { return (length * 3 + 1) / 2; };

  desktop.DragWindow(main().Handle(), platform::Point{1300, 200});
  EXPECT_EQ(desktop.ScreenRect(main().Handle()).left, 1300);
  EXPECT_EQ(desktop.ScreenRect(main().Handle()).top, 200);
  for (const auto& [control, bounds] : designed) {
    const auto* native = desktop.Find(control->Handle());
    EXPECT_EQ(native->bounds, (Rect{grown(bounds.left), grown(bounds.top), grown(bounds.right), grown(bounds.bottom)}))
        << control->Name();
    EXPECT_EQ(native->fontHeight, -17) << control->Name();  // -11 by 1.5, away from zero
  }
  EXPECT_EQ(main().ClientRect().Width(), grown(237));
  EXPECT_EQ(main().ClientRect().Height(), grown(main().Design().clientHeight + kPhotoSectionHeight));
  EXPECT_EQ(handles(), before);
  EXPECT_EQ(desktop.focus, main().Edit1.Handle());
  EXPECT_EQ(main().Edit1.Text(), "42");

  desktop.DragWindow(main().Handle(), platform::Point{100, 100});
  for (const auto& [control, bounds] : designed) {
    EXPECT_EQ(desktop.Find(control->Handle())->bounds, bounds) << control->Name();
    EXPECT_EQ(desktop.Find(control->Handle())->fontHeight, main().Design().fontHeight) << control->Name();
  }
  EXPECT_EQ(main().ClientRect().Width(), 237);
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process), (Settings{42, true, false}));
}

// The folder row names the folder's last part, whatever ends the path.
TEST(FolderCaption, NamesTheLastPartOfThePath) {
  EXPECT_EQ(FolderCaption(""), "Built-in pictures");
  EXPECT_EQ(FolderCaption("D:\\Photos\\"), "Photos");
  EXPECT_EQ(FolderCaption("/home/me/Photos//"), "Photos");
  EXPECT_EQ(FolderCaption("Photos"), "Photos");
  EXPECT_EQ(FolderCaption("/"), "/");
  EXPECT_EQ(FolderCaption("D:\\"), "D:");
  EXPECT_EQ(FolderCaption("/srv/A folder of fifteen"), "A folder of...");
}

TEST_F(SettingsDialog, ANumberAfterABlankIsANumber) {
  Open();
  Type(main().Edit1, " 12");
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process).speed, 12);
}

class BadNumber : public SettingsDialog, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadNumber, ShowsTheErrorWritesNothingAndStaysOpen) {
  Open();
  const std::string before = FileText();
  Type(main().Edit1, GetParam());
  Click(main().CheckBox2);
  Click(main().OKButton);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text,
            std::string("'") + GetParam() + "' is not a valid integer value.");
  EXPECT_EQ(desktop.messageBoxes[0].caption, "Orvanel Screensaver");
  EXPECT_EQ(desktop.messageBoxes[0].flags, platform::kBoxIconError);
  EXPECT_EQ(FileText(), before);  // not even Random or Blend
  EXPECT_FALSE(saver().app.TerminateRequested());
  EXPECT_FALSE(PropertiesEnabled());
  // And the dialog still works.
  Type(main().Edit1, "20");
  Click(main().OKButton);
  EXPECT_EQ(LoadSettings(instance->process), (Settings{20, true, false}));
}

INSTANTIATE_TEST_SUITE_P(Texts, BadNumber, ::testing::Values("", "abc", "12s", "99999999999"));

TEST_F(SettingsDialog, CancelLeavesTheFileByteForByte) {
  Open({31, false, true});
  const std::string before = FileText();
  Type(main().Edit1, "77");
  Click(main().CheckBox2);
  Click(main().CancelButton);
  EXPECT_EQ(FileText(), before);
  EXPECT_TRUE(saver().app.TerminateRequested());
  EXPECT_TRUE(PropertiesEnabled());
}

TEST_F(SettingsDialog, ThePanelOpensTheMakersAddressAndTheDialogStays) {
  Open();
  Click(main().Panel1);
  ASSERT_EQ(desktop.openedAddresses.size(), 1u);
  EXPECT_EQ(desktop.openedAddresses[0], resources::kMakerAddress);
  EXPECT_FALSE(saver().app.TerminateRequested());
}

TEST_F(SettingsDialog, TheArrowsStopAtFourAndFiveHundred) {
  Open({6, true, true});
  desktop.StepUpDown(main().UpDown1.Handle(), -1);
  desktop.StepUpDown(main().UpDown1.Handle(), -1);
  desktop.StepUpDown(main().UpDown1.Handle(), -1);
  EXPECT_EQ(main().Edit1.Text(), "4");
  desktop.StepUpDown(main().UpDown1.Handle(), 600);
  EXPECT_EQ(main().Edit1.Text(), "500");
  EXPECT_EQ(main().UpDown1.Position(), 500);
}

// The row says how many files of the folder, subfolders included, are
// pictures by their content, whatever their names; it counts once the
// dialog is up, and again for each folder chosen.
TEST_F(SettingsDialog, TheFolderRowCountsThePicturesByContent) {
  WriteFile("C:\\Photos\\a.jpg", testing::MakeJpeg({}));
  WriteFile("C:\\Photos\\Summer\\b.png", testing::MakePng({}));
  WriteFile("C:\\Photos\\named wrongly.txt", testing::MakeJpeg({}));
  WriteFile("C:\\Photos\\c.jpg", {'n', 'o', 't', 'e', 's'});
  WriteFile("C:\\Photos\\clip.mp4", {0, 0, 0, 20, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm', 0, 0, 0, 0, 'i', 's', 'o', 'm'});
  WriteFile("C:\\Notes\\list.txt", {'m', 'i', 'l', 'k'});
  Open(Settings{8, true, true, "C:\\Photos"});
  EXPECT_EQ(main().FolderCountLabel.Text(), kCountingCaption);
  EXPECT_TRUE(desktop.Find(main().FolderCountLabel.Handle())->visible);
  Wait(100);
  EXPECT_EQ(main().FolderCountLabel.Text(), "3 pictures");

  desktop.folderChoices = {"C:\\Notes"};
  Click(main().FolderButton);
  EXPECT_EQ(main().FolderCountLabel.Text(), kCountingCaption);
  Wait(100);
  EXPECT_EQ(main().FolderCountLabel.Text(), "No pictures: built-in ones will show");

  Click(main().BuiltInButton);
  EXPECT_EQ(main().FolderCountLabel.Text(), "");
  Wait(100);
  EXPECT_EQ(main().FolderCountLabel.Text(), "");

  // Another folder chosen before the count ends: its count, not the first's.
  desktop.folderChoices = {"C:\\Photos"};
  Click(main().FolderButton);
  desktop.folderChoices = {"C:\\Notes"};
  Click(main().FolderButton);
  Wait(100);
  EXPECT_EQ(main().FolderCountLabel.Text(), "No pictures: built-in ones will show");
}

}  // namespace
}  // namespace orvanel::settings
