// The settings file.
//   Integers: the stored syntax, one row per form.
//   Location: local, common or no application-data folder; the module's own name.
//   Loading: defaults, folder creation with its parents, stored values.
//   Saving: order and texts, other content untouched, a write that fails.
//   Interval: the timer's interval for any stored Speed.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/forms/error.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"

namespace orvanel::settings {
namespace {

using platform::sim::SimDesktop;
using platform::sim::SimProcess;

struct IntegerRow {
  const char* text;
  std::optional<std::int32_t> value;
};

class ParseIntegerTable : public ::testing::TestWithParam<IntegerRow> {};

TEST_P(ParseIntegerTable, ReadsTheStoredSyntax) {
  EXPECT_EQ(ParseInteger(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseIntegerTable,
    ::testing::Values(IntegerRow{"8", 8}, IntegerRow{"-3", -3}, IntegerRow{"+12", 12},
                      IntegerRow{"   12", 12}, IntegerRow{"0x1F", 31}, IntegerRow{"0X1f", 31},
                      IntegerRow{"$1F", 31}, IntegerRow{"x1F", 31}, IntegerRow{"X10", 16},
                      IntegerRow{"-$10", -16}, IntegerRow{"-0x10", -16},
                      IntegerRow{"$FFFFFFFF", -1}, IntegerRow{"0x7FFFFFFF", 2147483647},
                      IntegerRow{"2147483647", 2147483647},
                      IntegerRow{"-2147483648", -2147483647 - 1},
                      IntegerRow{"0001000", 1000}, IntegerRow{"0", 0}, IntegerRow{"07", 7},
                      IntegerRow{"+$fF", 255}, IntegerRow{"-X7fffffff", -2147483647},
                      IntegerRow{"-0X10", -16}, IntegerRow{" 0X1F", 31},
                      // Not integers: the caller's default applies.
                      IntegerRow{"", std::nullopt}, IntegerRow{"12s", std::nullopt},
                      IntegerRow{"12 ", std::nullopt}, IntegerRow{"false", std::nullopt},
                      IntegerRow{"-", std::nullopt}, IntegerRow{"$", std::nullopt},
                      IntegerRow{"0x", std::nullopt}, IntegerRow{"$123456789", std::nullopt},
                      IntegerRow{"0x1G", std::nullopt}, IntegerRow{"$F-", std::nullopt},
                      IntegerRow{"0xg1", std::nullopt}, IntegerRow{"-0x", std::nullopt},
                      IntegerRow{"+", std::nullopt}, IntegerRow{"x", std::nullopt},
                      IntegerRow{"2147483648", std::nullopt},
                      IntegerRow{"-2147483649", std::nullopt},
                      IntegerRow{"99999999999999999999", std::nullopt},
                      IntegerRow{"1 2", std::nullopt}, IntegerRow{"\t5", std::nullopt}));

class SettingsFileTest : public ::testing::Test {
 protected:
  std::string Local() { return desktop.SpecialFolder(platform::kFolderLocalAppData); }
  std::filesystem::path HostFile() { return desktop.HostPath(SettingsPath(process)); }
  void WriteFile(const std::string& text) {
    std::filesystem::create_directories(HostFile().parent_path());
    std::ofstream(HostFile(), std::ios::binary) << text;
  }
  std::string FileText() {
    std::ifstream in(HostFile(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  SimDesktop desktop;
  SimProcess process{desktop, "orvanel.scr /s", "C:\\Windows\\System32\\orvanel.scr"};
};

TEST_F(SettingsFileTest, LivesInTheLocalFolderAndIsNamedAfterTheModule) {
  EXPECT_EQ(SettingsPath(process), Local() + "\\vorlanthix\\orvanel.ini");
  EXPECT_EQ(SettingsFileName("C:\\WINDOWS\\ORVANE~1.SCR"), "ORVANE~1.ini");
  EXPECT_EQ(SettingsFileName("C:\\a.b\\saver"), "saver.ini");
  EXPECT_EQ(SettingsFileName("C:\\x\\my.saver.scr"), "my.saver.ini");
  EXPECT_EQ(SettingsFileName("D:saver.scr"), "saver.ini");
  EXPECT_EQ(SettingsFileName("/usr/libexec/xscreensaver/orvanel"), "orvanel.ini");
  // A module known by its bare name, as a program started from a search path.
  EXPECT_EQ(SettingsFileName("orvanel.scr"), "orvanel.ini");
  EXPECT_EQ(SettingsFileName("orvanel"), "orvanel.ini");
}

TEST_F(SettingsFileTest, FallsBackToTheCommonFolderThenToTheRoot) {
  // The path a program names before it has a desktop is the one it then uses.
  const auto fromLookup = [this] {
    return SettingsPathFrom([this](int folder) { return process.SpecialFolder(folder); }, process.ModuleFileName());
  };
  EXPECT_EQ(fromLookup(), SettingsPath(process));
  desktop.SetSpecialFolder(platform::kFolderLocalAppData, "");
  EXPECT_EQ(SettingsPath(process), "C:\\ProgramData\\vorlanthix\\orvanel.ini");
  EXPECT_EQ(fromLookup(), SettingsPath(process));
  desktop.SetSpecialFolder(platform::kFolderCommonAppData, "");
  EXPECT_EQ(SettingsPath(process), "\\vorlanthix\\orvanel.ini");
  EXPECT_EQ(fromLookup(), SettingsPath(process));
  SaveSettings(process, Settings{5, false, true});
  EXPECT_EQ(LoadSettings(process), (Settings{5, false, true}));
  EXPECT_TRUE(std::filesystem::exists(desktop.Root() / "C" / "vorlanthix" / "orvanel.ini"));
}

TEST_F(SettingsFileTest, WithoutAFileLoadsTheDefaultsAndMakesTheFolder) {
  desktop.SetSpecialFolder(platform::kFolderLocalAppData, "C:\\Users\\New\\AppData\\Local");
  std::filesystem::remove_all(desktop.HostPath("C:\\Users\\New"));
  EXPECT_EQ(LoadSettings(process), (Settings{8, true, true}));
  EXPECT_TRUE(process.FolderExists("C:\\Users\\New\\AppData\\Local\\vorlanthix"));
  EXPECT_FALSE(std::filesystem::exists(HostFile()));
}

TEST_F(SettingsFileTest, ReadsStoredValuesAndDefaultsWhatItCannotRead) {
  WriteFile("[Config]\r\nSpeed=0x1F\r\nRandom=2\r\nBlend=0\r\n");
  EXPECT_EQ(LoadSettings(process), (Settings{31, true, false}));
  WriteFile("[config]\r\nspeed=12s\r\nrandom=false\r\n");
  EXPECT_EQ(LoadSettings(process), (Settings{8, true, true}));
  WriteFile("[Config]\r\nSpeed=-3\r\nRandom=0\r\nBlend=\r\n");
  EXPECT_EQ(LoadSettings(process), (Settings{-3, false, true}));
}

TEST_F(SettingsFileTest, SavesTheThreeKeysInOrderAndReadsThemBack) {
  SaveSettings(process, Settings{1000, false, true});
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=1000\r\nRandom=0\r\nBlend=1\r\n");
  EXPECT_EQ(LoadSettings(process), (Settings{1000, false, true}));
  SaveSettings(process, Settings{-7, true, false});
  EXPECT_EQ(LoadSettings(process), (Settings{-7, true, false}));
}

// The pictures folder is a fourth key that a file without one never gets.
TEST_F(SettingsFileTest, AFolderIsStoredOnlyOnceOneIsChosenAndCanBeClearedAgain) {
  SaveSettings(process, Settings{8, true, true, ""});
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\n");
  SaveSettings(process, Settings{8, true, true, "D:\\Photos\\Été 2025"});
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\nFolder=D:\\Photos\\Été 2025\r\n");
  EXPECT_EQ(LoadSettings(process).folder, "D:\\Photos\\Été 2025");
  SaveSettings(process, Settings{8, true, true, ""});
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\nFolder=\r\n");
  EXPECT_EQ(LoadSettings(process).folder, "");
}

// Caption and Fill, like Folder, reach a file only once they are set.
TEST_F(SettingsFileTest, CaptionAndFillAreStoredOnlyOnceSetAndReadBackWithinTheirChoices) {
  using instance::CaptionKind;
  using instance::FitMode;
  SaveSettings(process, Settings{8, true, true, "", CaptionKind::kDateAndFolder, FitMode::kFill});
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\nCaption=2\r\nFill=1\r\n");
  EXPECT_EQ(LoadSettings(process), (Settings{8, true, true, "", CaptionKind::kDateAndFolder, FitMode::kFill}));
  SaveSettings(process, Settings{8, true, true, "", CaptionKind::kNone, FitMode::kFit});
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\nCaption=0\r\nFill=0\r\n");

  // A value outside the choices, or no number, shows the photos as designed.
  struct Case {
    const char* caption;
    const char* fill;
    CaptionKind wantCaption;
    FitMode wantFit;
  };
  for (const Case& c : {Case{"1", "1", CaptionKind::kDate, FitMode::kFill},
                        Case{"$2", "0x1", CaptionKind::kDateAndFolder, FitMode::kFill},
                        Case{"3", "2", CaptionKind::kNone, FitMode::kFit},
                        Case{"-1", "-1", CaptionKind::kNone, FitMode::kFit},
                        Case{"date", "yes", CaptionKind::kNone, FitMode::kFit}}) {
    WriteFile(std::string("[Config]\r\nCaption=") + c.caption + "\r\nFill=" + c.fill + "\r\n");
    const Settings loaded = LoadSettings(process);
    EXPECT_EQ(loaded.caption, c.wantCaption) << c.caption;
    EXPECT_EQ(loaded.fit, c.wantFit) << c.fill;
  }
}

TEST_F(SettingsFileTest, SavingLeavesEverythingElseInTheFileAsItWas) {
  WriteFile("; written by hand\r\n[Other]\r\nSpeed=99\r\n\r\n[Config]\r\nBlend=0\r\n"
            "Comment = keep me \r\nSpeed=4\r\n\r\n[Last]\r\nx=y\r\n");
  SaveSettings(process, Settings{12, true, true});
  EXPECT_EQ(FileText(),
            "; written by hand\r\n[Other]\r\nSpeed=99\r\n\r\n[Config]\r\nBlend=1\r\n"
            "Comment = keep me \r\nSpeed=12\r\nRandom=1\r\n\r\n[Last]\r\nx=y\r\n");
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenRaisesTheWriteErrorWithItsPath) {
  WriteFile("[Config]\r\nSpeed=4\r\n");
  desktop.SetReadOnly(SettingsPath(process));
  try {
    SaveSettings(process, Settings{12, false, false});
    FAIL() << "no error raised";
  } catch (const forms::SaverError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + SettingsPath(process));
  }
  EXPECT_EQ(FileText(), "[Config]\r\nSpeed=4\r\n");
}

TEST_F(SettingsFileTest, AFolderThatCannotBeMadeLoadsDefaultsAndFailsToSave) {
  desktop.SetReadOnly(Local());
  EXPECT_EQ(LoadSettings(process), (Settings{8, true, true}));
  EXPECT_FALSE(process.FolderExists(SettingsFolder(process)));
  EXPECT_THROW(SaveSettings(process, Settings{}), forms::SaverError);
}

// A folder the desktop names with a trailing backslash, or a bare drive.
TEST_F(SettingsFileTest, AFolderWithATrailingBackslashOrABareDriveServesAsWell) {
  for (const char* local : {"C:\\Users\\Me\\", "D:"}) {
    desktop.SetSpecialFolder(platform::kFolderLocalAppData, local);
    SaveSettings(process, Settings{5, false, true});
    EXPECT_EQ(LoadSettings(process), (Settings{5, false, true})) << local;
  }
  EXPECT_TRUE(std::filesystem::exists(desktop.HostPath("C:\\Users\\Me\\vorlanthix\\orvanel.ini")));
  EXPECT_TRUE(std::filesystem::exists(desktop.HostPath("D:\\vorlanthix\\orvanel.ini")));
}

// Folders as the desktops name them: a trailing separator of either kind, a
// two-letter folder at the root that is no drive, a relative name.
TEST_F(SettingsFileTest, EveryMissingLevelOfAFolderIsMade) {
  for (const char* folder : {"C:\\Data\\New/", "/x\\y", "Relative"}) {
    EXPECT_TRUE(ForceFolders(process, folder)) << folder;
  }
  EXPECT_TRUE(process.FolderExists("C:\\Data\\New"));
  EXPECT_TRUE(process.FolderExists("/x\\y"));
  EXPECT_TRUE(process.FolderExists("Relative"));
}

TEST_F(SettingsFileTest, AFolderWhoseParentCannotBeMadeIsNotMadeEither) {
  desktop.SetSpecialFolder(platform::kFolderLocalAppData, "C:\\Users\\New\\AppData\\Local");
  std::filesystem::remove_all(desktop.HostPath("C:\\Users\\New"));
  desktop.SetReadOnly("C:\\Users\\New");
  EXPECT_EQ(LoadSettings(process), (Settings{8, true, true}));
  EXPECT_FALSE(std::filesystem::exists(desktop.HostPath("C:\\Users\\New")));
  EXPECT_THROW(SaveSettings(process, Settings{}), forms::SaverError);
}

TEST_F(SettingsFileTest, AFileThatIsAFolderCannotBeWritten) {
  std::filesystem::create_directories(HostFile());
  EXPECT_EQ(LoadSettings(process), (Settings{8, true, true}));
  EXPECT_THROW(SaveSettings(process, Settings{}), forms::SaverError);
}

TEST(SlideshowInterval, NeverWrapsAndNeverSpins) {
  EXPECT_EQ(SlideshowInterval(8), 8000u);
  EXPECT_EQ(SlideshowInterval(1), 1000u);
  EXPECT_EQ(SlideshowInterval(0), 0u);
  EXPECT_EQ(SlideshowInterval(-1), 0u);
  EXPECT_EQ(SlideshowInterval(-2147483647 - 1), 0u);
  EXPECT_EQ(SlideshowInterval(2147483), 2147483000u);
  EXPECT_EQ(SlideshowInterval(2147484), kMaxTimerInterval);
  EXPECT_EQ(SlideshowInterval(4294968), kMaxTimerInterval);  // would wrap to 704 ms
  EXPECT_EQ(SlideshowInterval(2147483647), kMaxTimerInterval);
}

}  // namespace
}  // namespace orvanel::settings
