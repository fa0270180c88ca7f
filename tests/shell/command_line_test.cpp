// The screen-saver command line.
//   SplitCommandLine: word boundaries, quoting, empty quoted words.
//   Modes:            one row per command-line form: mode and host window.
//   HandleFromArg:    digits gathered from anywhere, no digits, too many digits.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "instance/saver.h"

namespace orvanel::shell {
namespace {

using platform::sim::SimDesktop;
using platform::sim::SimProcess;
using Words = std::vector<std::string>;

TEST(SplitCommandLine, SplitsAtBlanksAndControlCharacters) {
  EXPECT_EQ(SplitCommandLine("saver.scr /s"), (Words{"saver.scr", "/s"}));
  EXPECT_EQ(SplitCommandLine("  saver.scr \t/p\x01 1234  "), (Words{"saver.scr", "/p", "1234"}));
  EXPECT_EQ(SplitCommandLine(""), Words{});
}

TEST(SplitCommandLine, QuotesKeepBlanksAndAreDropped) {
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\o.scr\" /s"),
            (Words{"C:\\Program Files\\o.scr", "/s"}));
  EXPECT_EQ(SplitCommandLine("o.scr /\"p x\"y 1"), (Words{"o.scr", "/p xy", "1"}));
  // An unterminated quote runs to the end of the line.
  EXPECT_EQ(SplitCommandLine("o.scr \"/c 12"), (Words{"o.scr", "/c 12"}));
}

TEST(SplitCommandLine, EmptyQuotedArgumentIsNoArgument) {
  EXPECT_EQ(SplitCommandLine("o.scr \"\" /s"), (Words{"o.scr", "/s"}));
  EXPECT_EQ(SplitCommandLine("o.scr \"\""), (Words{"o.scr"}));
  EXPECT_EQ(SplitCommandLine("o.scr \"\"\"\" /s"), (Words{"o.scr", "/s"}));
}

// Bytes above 127 are ordinary characters, not word ends.
TEST(SplitCommandLine, HighBytesBelongToWords) {
  EXPECT_EQ(SplitCommandLine("o.scr /\xE6s"), (Words{"o.scr", "/\xE6s"}));
}

class CommandLineModes : public ::testing::Test {
 protected:
  // Runs ParseCommandLine for `arguments`, in which "HOST" stands for the
  // host window's handle.
  bool Parse(std::string arguments) {
    const auto at = arguments.find("HOST");
    if (at != std::string::npos) arguments.replace(at, 4, std::to_string(host));
    saver.reset();  // it refers to the process
    process = std::make_unique<SimProcess>(desktop, "orvanel.scr " + arguments);
    saver = std::make_unique<Saver>(*process);
    return ParseCommandLine(*saver);
  }

  platform::Desktop& Desk() {
    if (!process) process = std::make_unique<SimProcess>(desktop, "orvanel.scr");
    return *process;
  }

  SimDesktop desktop;
  platform::WindowHandle host = desktop.CreateTestWindow("host", {0, 0, 152, 112});
  std::unique_ptr<SimProcess> process;
  std::unique_ptr<Saver> saver;
};

struct ModeRow {
  const char* arguments;
  instance::SaverMode mode;
  enum Parent { kHost, kDesktop, kNone, kUnchanged } parent;
};

class CommandLineModeTable : public CommandLineModes,
                             public ::testing::WithParamInterface<ModeRow> {};

TEST_P(CommandLineModeTable, GivesModeAndParent) {
  const auto& row = GetParam();
  EXPECT_EQ(Parse(row.arguments), row.mode != instance::SaverMode::kNone);
  EXPECT_EQ(saver->saverMode, row.mode);
  switch (row.parent) {
    case ModeRow::kHost: EXPECT_EQ(saver->previewParent, host); break;
    case ModeRow::kDesktop: EXPECT_EQ(saver->previewParent, desktop.DesktopWindow()); break;
    case ModeRow::kNone: EXPECT_EQ(saver->previewParent, instance::kNoUsableWindow); break;
    case ModeRow::kUnchanged: EXPECT_EQ(saver->previewParent, platform::kNoWindow); break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLineModeTable,
    ::testing::Values(
        ModeRow{"/s", instance::SaverMode::kActive, ModeRow::kDesktop},
        ModeRow{"/S", instance::SaverMode::kActive, ModeRow::kDesktop},
        ModeRow{"-s extra", instance::SaverMode::kActive, ModeRow::kDesktop},
        ModeRow{"/p HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"/L HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"\"/p\" \"HOST\"", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"/c:HOST", instance::SaverMode::kConfig, ModeRow::kHost},
        ModeRow{"/C:HOST", instance::SaverMode::kConfig, ModeRow::kHost},
        ModeRow{"/P HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"/l HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"/p \"\" HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"/a", instance::SaverMode::kPassword, ModeRow::kDesktop},
        ModeRow{"/A HOST", instance::SaverMode::kPassword, ModeRow::kDesktop},
        // Later letters win: Password over Preview over Active over Config.
        ModeRow{"/cs", instance::SaverMode::kActive, ModeRow::kDesktop},
        ModeRow{"/sp HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        ModeRow{"/pa", instance::SaverMode::kPassword, ModeRow::kDesktop},
        ModeRow{"/Cl HOST", instance::SaverMode::kPreview, ModeRow::kHost},
        // The handle must come where the mode expects it.
        ModeRow{"/c", instance::SaverMode::kNone, ModeRow::kNone},
        ModeRow{"/c HOST", instance::SaverMode::kNone, ModeRow::kNone},
        ModeRow{"/p:HOST", instance::SaverMode::kNone, ModeRow::kNone},
        ModeRow{"/p", instance::SaverMode::kNone, ModeRow::kNone},
        ModeRow{"/p xyz", instance::SaverMode::kNone, ModeRow::kNone},
        // Quoted, the handle belongs to the first argument, and Preview wants a second.
        ModeRow{"\"/p HOST\"", instance::SaverMode::kNone, ModeRow::kNone},
        // A number that names no window.
        ModeRow{"/p 7", instance::SaverMode::kNone, ModeRow::kNone},
        ModeRow{"/c:7", instance::SaverMode::kNone, ModeRow::kNone},
        // No known letter, or nothing at all.
        ModeRow{"", instance::SaverMode::kNone, ModeRow::kUnchanged},
        ModeRow{"/x HOST", instance::SaverMode::kNone, ModeRow::kUnchanged},
        ModeRow{"\"\" /s", instance::SaverMode::kActive, ModeRow::kDesktop}));

TEST_F(CommandLineModes, OtherModesLeaveTheCursorAlone) {
  for (const char* arguments : {"/s", "/p HOST", "/a", ""}) {
    Parse(arguments);
    EXPECT_EQ(process->CursorCounter(), 0) << arguments;
  }
}

TEST_F(CommandLineModes, ReadingAgainAfterTheHostHasGoneGivesNone) {
  ASSERT_TRUE(Parse("/p HOST"));
  desktop.DestroyWindow(host);
  EXPECT_FALSE(ParseCommandLine(*saver));
  EXPECT_EQ(saver->saverMode, instance::SaverMode::kNone);
  EXPECT_EQ(saver->previewParent, instance::kNoUsableWindow);
}

class HandleFromArgTest : public CommandLineModes {};

TEST_F(HandleFromArgTest, GathersEveryDigitInOrder) {
  const std::string digits = std::to_string(host);
  // Letters between the digits, as in 12ab34 for 1234.
  std::string mixed = "x";
  for (char d : digits) mixed += std::string(1, d) + "ab";
  EXPECT_EQ(HandleFromArg(Desk(), mixed), host);
  EXPECT_EQ(HandleFromArg(Desk(), "/c:" + digits), host);
  EXPECT_EQ(HandleFromArg(Desk(), "000" + digits), host);
}

TEST_F(HandleFromArgTest, NoDigitsOrNoWindowIsUnusable) {
  EXPECT_EQ(HandleFromArg(Desk(), "/p"), instance::kNoUsableWindow);
  EXPECT_EQ(HandleFromArg(Desk(), ""), instance::kNoUsableWindow);
  EXPECT_EQ(HandleFromArg(Desk(), "0"), instance::kNoUsableWindow);
}

// Digits that do not fit a signed 32-bit number name no window; they must not
// end the start-up.
TEST_F(HandleFromArgTest, TooManyDigitsAreUnusable) {
  EXPECT_EQ(HandleFromArg(Desk(), "2147483648"), instance::kNoUsableWindow);
  EXPECT_EQ(HandleFromArg(Desk(), "4294967296" + std::to_string(host)), instance::kNoUsableWindow);
  EXPECT_EQ(HandleFromArg(Desk(), std::string(400, '9')), instance::kNoUsableWindow);
  ASSERT_FALSE(Parse("/p 99999999999999999999"));
  EXPECT_EQ(saver->saverMode, instance::SaverMode::kNone);
}

}  // namespace
}  // namespace orvanel::shell
