// The settings dialog of the real orvanel.scr under Wine, used as a person
// would: text typed into the edit, a check box toggled, a button pressed.
//   OK: the file holds exactly the values chosen; the process ends.
//   Cancel: the file stays as it was.
//   A bad number: the error box with its exact text; the dialog stays.
//   Folder row: the shell's folder dialog picks a folder, the row counts its
//               pictures, OK stores it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>

#include "support/photo_files.h"
#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

// The dialog's controls, in the order the window makes them.
enum Control { kOK = 0, kCancel = 1, kEdit = 3, kRandom = 6, kBlend = 8, kFolderLabel = 10, kFolder = 11 };

class WineDialog : public WineTest {
 protected:
  void SetUp() override {
    place = Settings();
    for (const char* key : {"Speed", "Random", "Blend"}) {
      ASSERT_EQ(StoreSetting(place, key, key[0] == 'S' ? "8" : "1"), "ok");
    }
    host = WineSession::Value(session->Command("host 152 112"));
    pid = Launch("/c:" + host);
    dialog = FindWindow(pid, "TfrmSAVER");
    ASSERT_FALSE(dialog.empty());
  }
  void TearDown() override {
    session->Command("kill " + pid);
    session->Command("destroy " + host);
    RemoveSettings(place);
  }

  std::string ControlOf(Control control) {
    return WineSession::Value(session->Command("child " + dialog + " " + std::to_string(control)));
  }
  void Press(Control control) { ASSERT_EQ(session->Command("press " + ControlOf(control)), "ok"); }
  // Waits until the dialog's controls read as `text` says ("Edit|42|").
  bool AwaitControls(const std::string& text) {
    return Eventually([&] { return session->Command("controls " + dialog).find(text) != std::string::npos; },
                      std::chrono::milliseconds(5000), std::chrono::milliseconds(50));
  }
  std::string Stored(const std::string& key) {
    return session->Command("read-ini " + place.file + " Config " + key);
  }

  SettingsPlace place;
  std::string host, pid, dialog;
};

TEST_F(WineDialog, IsCentredAndOpaqueWithItsEightControlsAndThePhotoRowsUnderTheirHeading) {
  // The dialog is shown a moment before it is made opaque.
  ASSERT_TRUE(AwaitWindows(pid, "TfrmSAVER:1:255:", 5000)) << WindowList(pid);
  const std::string windows = WindowList(pid);
  const auto at = windows.find("TfrmSAVER:1:255:");
  ASSERT_NE(at, std::string::npos) << windows;
  int left = 0, top = 0, right = 0, bottom = 0;
  std::sscanf(windows.c_str() + at + 16, "%d,%d,%d,%d", &left, &top, &right, &bottom);
  EXPECT_NEAR((left + right) / 2.0, 512, 1.0) << windows;
  EXPECT_NEAR((top + bottom) / 2.0, 384, 1.0) << windows;
  const auto controls = session->Command("controls " + dialog);
  int shown = 0;
  for (std::size_t found = controls.find("|1 "); found != std::string::npos;
       found = controls.find("|1 ", found + 1)) {
    ++shown;
  }
  EXPECT_EQ(shown, 16) << controls;
  // Under the designed controls the photo rows' heading, then the folder
  // row, the built-in pictures chosen and so no count of a folder's
  // pictures below it.
  EXPECT_NE(controls.find("Static|Photos|-1|1 Static|Built-in pictures|-1|1 "), std::string::npos) << controls;
  EXPECT_NE(controls.find("Button|&Folder...|0|1 "), std::string::npos) << controls;
  EXPECT_NE(controls.find("Button|Built-&in|0|1 "), std::string::npos) << controls;
  EXPECT_NE(controls.find("Static||-1|1 "), std::string::npos) << controls;
  // The caption and fill rows below, as a file without them has it.
  EXPECT_NE(controls.find("Static|Caption:|-1|1 ComboBox|None|-1|1 Button|Photos fill the screen|0|1 "),
            std::string::npos)
      << controls;
}

// The designed layout, grown with the DPI Wine reports (the prefix's
// LogPixels): at 96 exactly the design, at 144 every edge 1.5 times as far
// out. ORVANEL_WINE_DPI names the prefix's DPI; 96 when unset.
TEST_F(WineDialog, ItsLayoutGrowsWithTheDpiOfTheMonitor) {
  const char* named = std::getenv("ORVANEL_WINE_DPI");
  const int dpi = named != nullptr ? std::atoi(named) : 96;
  const auto grown = [dpi](int designed) { return (designed * dpi + 48) / 96; };
  struct Designed {
    Control control;
    int left, top, width, height;
  };
  for (const Designed& d : {Designed{kOK, 16, 106, 75, 21}, Designed{kCancel, 140, 106, 75, 21},
                            Designed{kEdit, 54, 12, 41, 19}, Designed{kRandom, 16, 42, 199, 17},
                            Designed{kBlend, 16, 72, 201, 17}}) {
    const std::string expected = std::to_string(grown(d.left)) + "," + std::to_string(grown(d.top)) + "," +
                                 std::to_string(grown(d.left + d.width)) + "," +
                                 std::to_string(grown(d.top + d.height));
    EXPECT_EQ(session->Command("rect " + ControlOf(d.control)), expected) << "control " << d.control;
  }
}

// The manifest asks for the common controls of the system's current look:
// the side-by-side version 6, not the plain one of the system folder.
TEST_F(WineDialog, UsesTheCommonControlsOfTheSystemsCurrentLook) {
  const std::string path = session->Command("module " + pid + " comctl32.dll");
  EXPECT_NE(path.find("\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
      << path;
}

TEST_F(WineDialog, OkStoresExactlyTheValuesChosen) {
  ASSERT_EQ(session->Command("settext " + ControlOf(kEdit) + " 1000"), "ok");
  Press(kRandom);
  Press(kOK);
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(Stored("Speed"), "1000");
  EXPECT_EQ(Stored("Random"), "0");
  EXPECT_EQ(Stored("Blend"), "1");
}

TEST_F(WineDialog, CancelLeavesTheFileAsItWas) {
  ASSERT_EQ(session->Command("settext " + ControlOf(kEdit) + " 77"), "ok");
  Press(kBlend);
  Press(kCancel);
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(Stored("Speed"), "8");
  EXPECT_EQ(Stored("Random"), "1");
  EXPECT_EQ(Stored("Blend"), "1");
}

TEST_F(WineDialog, ABadNumberShowsTheErrorAndTheDialogStays) {
  ASSERT_EQ(session->Command("settext " + ControlOf(kEdit) + " abc"), "ok");
  Press(kOK);
  EXPECT_EQ(session->Command("box " + pid + " 10000"),
            "Orvanel Screensaver|'abc' is not a valid integer value.");
  EXPECT_EQ(session->Command("wait-exit " + pid + " 500"), "timeout");
  EXPECT_EQ(Stored("Speed"), "8");
}

// The keyboard as a user has it: Tab twice from OK to the number, which is
// selected and typed over, and Alt+O for OK.
TEST_F(WineDialog, TheKeyboardAloneSetsAndSavesTheSpeed) {
  ASSERT_TRUE(AwaitFocus(ControlOf(kOK)));
  ASSERT_EQ(std::system("xdotool key Tab Tab type 42 >/dev/null 2>&1"), 0);
  ASSERT_TRUE(AwaitControls("Edit|42|")) << session->Command("controls " + dialog);
  ASSERT_EQ(std::system("xdotool key alt+o >/dev/null 2>&1"), 0);
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(Stored("Speed"), "42");
}

// The photo rows come last in the tab order: back from OK to the fill
// check box, which Space checks, then to the caption list, whose arrow
// keys choose; Tab goes on to OK again, and Enter presses it.
TEST_F(WineDialog, TheKeyboardAloneChoosesTheCaptionAndFill) {
  ASSERT_TRUE(AwaitFocus(ControlOf(kOK)));
  ASSERT_EQ(std::system("xdotool key shift+Tab space shift+Tab Down Down >/dev/null 2>&1"), 0);
  ASSERT_TRUE(AwaitControls("ComboBox|Date and folder|-1|1 Button|Photos fill the screen|1|1 "))
      << session->Command("controls " + dialog);
  ASSERT_EQ(std::system("xdotool key Tab Tab Return >/dev/null 2>&1"), 0);
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(Stored("Caption"), "2");
  EXPECT_EQ(Stored("Fill"), "1");
}

TEST_F(WineDialog, TheArrowKeysStepTheNumberInTheEdit) {
  ASSERT_TRUE(AwaitFocus(ControlOf(kOK)));
  ASSERT_EQ(std::system("xdotool key Tab Tab Up Up Up >/dev/null 2>&1"), 0);
  EXPECT_TRUE(AwaitControls("Edit|11|")) << session->Command("controls " + dialog);
}

// No default or cancel button: Escape presses nothing, Enter only the
// button that has the focus (OK, first in the tab order).
TEST_F(WineDialog, EscapePressesNothingAndEnterPressesTheFocusedButton) {
  ASSERT_TRUE(AwaitFocus(ControlOf(kOK)));
  ASSERT_EQ(std::system("xdotool key Escape >/dev/null 2>&1"), 0);
  EXPECT_EQ(session->Command("wait-exit " + pid + " 700"), "timeout");
  ASSERT_EQ(std::system("xdotool key Tab Tab type 16 >/dev/null 2>&1"), 0);
  ASSERT_TRUE(AwaitControls("Edit|16|")) << session->Command("controls " + dialog);
  ASSERT_EQ(std::system("xdotool key shift+Tab shift+Tab Return >/dev/null 2>&1"), 0);
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(Stored("Speed"), "16");
}

// The shell's own folder dialog, as a user meets it: its box takes the
// folder's path, its OK chooses it.
TEST_F(WineDialog, TheShellsFolderDialogPicksTheFolderAndOkStoresIt) {
  const auto folder = std::filesystem::temp_directory_path() / ("orvanel-pick-" + std::to_string(getpid())) /
                      "Summer";
  std::filesystem::create_directories(folder);
  std::string windowsPath = "Z:" + folder.string();
  for (auto& c : windowsPath) c = c == '/' ? '\\' : c;
  // Three pictures: a JPEG, a WebP the saver reads itself, and a TIFF for
  // the system's codec; Wine has no HEIF codec, and a text is no picture.
  testing::WriteSolidPhoto(folder / "a.jpg", 0xC02010, false);
  ASSERT_TRUE(testing::WriteEncodedPhoto(folder / "b.webp", 0x10C020, "cwebp -quiet in.png -o out"));
  ASSERT_TRUE(testing::WriteEncodedPhoto(folder / "Later" / "c.tif", 0x2010C0, "convert in.png tiff:out"));
  ASSERT_TRUE(testing::WriteEncodedPhoto(folder / "d.heic", 0x2010C0, "heif-enc in.png -o out.heic && mv out.heic out"));
  std::ofstream(folder / "e.txt") << "a shopping list";

  Press(kFolder);
  const std::string browse = FindWindow(pid, "#32770");
  ASSERT_FALSE(browse.empty()) << WindowList(pid);
  // The box for a name takes the folder's path; Open chooses it.
  const auto childOf = [&](const std::string& kind) {
    const auto controls = session->Command("controls " + browse);
    const auto at = controls.find(kind);
    if (at == std::string::npos) return std::string();
    // Each control's entry ends in its visibility, "|0 " or "|1 "; captions hold spaces.
    int index = 0;
    for (std::size_t i = 0; i + 2 < at; ++i) {
      if (controls[i] == '|' && (controls[i + 1] == '0' || controls[i + 1] == '1') && controls[i + 2] == ' ') ++index;
    }
    return WineSession::Value(session->Command("child " + browse + " " + std::to_string(index)));
  };
  std::string box, open;
  ASSERT_TRUE(Eventually(
      [&] {
        box = childOf("Edit|");
        open = childOf("Button|&Open|");
        return !box.empty() && !open.empty();
      },
      std::chrono::milliseconds(5000), std::chrono::milliseconds(50)))
      << session->Command("controls " + browse);
  ASSERT_EQ(session->Command("settext " + box + " " + windowsPath), "ok");
  ASSERT_EQ(session->Command("press " + open), "ok");
  EXPECT_TRUE(AwaitControls("Static|Summer|-1|1 ")) << session->Command("controls " + dialog) << " | "
                                                      << session->Command("controls " + browse);
  EXPECT_TRUE(AwaitControls("Static|3 pictures|-1|1 ")) << session->Command("controls " + dialog);
  Press(kOK);
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(Stored("Folder"), windowsPath);
  std::filesystem::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace orvanel::wine
