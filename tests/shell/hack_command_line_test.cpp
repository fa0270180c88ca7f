// The native program's command line: the Windows forms pass through to the
// core; XScreenSaver's -root, -window-id and $XSCREENSAVER_WINDOW put the saver
// into a host's window as a full-screen run; -window gives it a window of its own.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "shell/hack_command_line.h"
#include "shell/window_system_choice.h"

namespace orvanel::shell {

using platform::ScreenHost;
namespace {

HackArguments Parse(std::vector<std::string> words, std::optional<std::string> environment = std::nullopt) {
  words.insert(words.begin(), "/usr/libexec/xscreensaver/orvanel");
  return ParseHackArguments(words, environment);
}

TEST(HackArguments, WindowsFormsPassThroughUnchanged) {
  for (const auto& [words, line] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"/s"}, "/usr/libexec/xscreensaver/orvanel /s"},
           {{"/p", "4194312"}, "/usr/libexec/xscreensaver/orvanel /p 4194312"},
           {{"/c:123"}, "/usr/libexec/xscreensaver/orvanel /c:123"},
           {{}, "/usr/libexec/xscreensaver/orvanel"},
       }) {
    const auto parsed = Parse(words);
    EXPECT_EQ(parsed.commandLine, line);
    EXPECT_EQ(parsed.host, ScreenHost::kMonitors);
  }
}

// A program started with no words at all (execve allows it), or with words
// too short to be options: no option is read, and no word is lost.
TEST(HackArguments, NoWordsOrOneLetterWordsAreNoOptions) {
  const auto none = ParseHackArguments({}, std::nullopt);
  EXPECT_EQ(none.outcome, HackArguments::Outcome::kRun);
  EXPECT_EQ(none.commandLine, "orvanel");
  for (const std::string word : {"-", "/", "x"}) {
    const auto parsed = Parse({word});
    EXPECT_EQ(parsed.outcome, HackArguments::Outcome::kRun) << word;
    EXPECT_EQ(parsed.commandLine, "/usr/libexec/xscreensaver/orvanel " + word) << word;
  }
}

TEST(HackArguments, AHostsWindowMakesAFullScreenRunInIt) {
  auto parsed = Parse({"-window-id", "0x400008"});
  EXPECT_EQ(parsed.host, ScreenHost::kForeignWindow);
  EXPECT_EQ(parsed.window, 0x400008u);
  EXPECT_EQ(parsed.commandLine, "/usr/libexec/xscreensaver/orvanel /s");

  parsed = Parse({"-window-id", "4194312"});
  EXPECT_EQ(parsed.window, 4194312u);

  parsed = Parse({"-root"});
  EXPECT_EQ(parsed.host, ScreenHost::kForeignWindow);
  EXPECT_EQ(parsed.window, 0u);  // the root window

  // The daemon names its window in the environment; it wins over -root.
  parsed = Parse({"-root"}, "0x1e00007");
  EXPECT_EQ(parsed.host, ScreenHost::kForeignWindow);
  EXPECT_EQ(parsed.window, 0x1e00007u);
  parsed = Parse({}, "0x1e00007");
  EXPECT_EQ(parsed.window, 0x1e00007u);
  EXPECT_EQ(parsed.commandLine, "/usr/libexec/xscreensaver/orvanel /s");
  // A window named on the command line wins over the environment's.
  parsed = Parse({"-window-id", "0x400008"}, "0x1e00007");
  EXPECT_EQ(parsed.window, 0x400008u);
}

TEST(HackArguments, TheHostsOtherOptionsAreDropped) {
  // Their letters would read as a Windows mode (-install has the password mode's a).
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"-root", "-fps"}, {"-root", "-install"}, {"-root", "-no-fps"},
        {"-root", "-no-install"}, {"-root", "-visual", "default"}, {"-root", "-visual"}, {"--root", "/c"}}) {
    EXPECT_EQ(Parse(words).commandLine, "/usr/libexec/xscreensaver/orvanel /s") << words[1];
  }
  EXPECT_EQ(Parse({"-window", "-fps"}).commandLine, "/usr/libexec/xscreensaver/orvanel /s");
}

TEST(HackArguments, AWindowIdThatIsNoNumberIsIgnoredOrLeavesNoMode) {
  EXPECT_EQ(Parse({}, "garbage").host, ScreenHost::kMonitors);
  EXPECT_EQ(Parse({"-root"}, "0x").window, 0u);
  // Not the root window by mistake: no mode, so the saver ends at once.
  EXPECT_EQ(Parse({"-window-id", "zz"}).commandLine, "/usr/libexec/xscreensaver/orvanel");
  EXPECT_EQ(Parse({"-window-id"}).commandLine, "/usr/libexec/xscreensaver/orvanel");
  for (const char* text : {"", "0x", "12a", "-5", "0x1g", "99999999999"}) {
    EXPECT_FALSE(ParseWindowId(text).has_value()) << text;
  }
  EXPECT_EQ(ParseWindowId("0XFF"), 255u);
  // A leading zero is no prefix: the number is decimal.
  EXPECT_EQ(ParseWindowId("0400008"), 400008u);
  EXPECT_EQ(ParseWindowId("007"), 7u);
}

TEST(HackArguments, ATryOutWindowRunsFullScreenInsideIt) {
  const auto parsed = Parse({"-window"});
  EXPECT_EQ(parsed.host, ScreenHost::kOwnWindow);
  EXPECT_EQ(parsed.ownWindow.width, 1024);
  EXPECT_EQ(parsed.ownWindow.height, 768);
  EXPECT_EQ(parsed.ownWindow.title, "Orvanel Screensaver");
  EXPECT_EQ(parsed.commandLine, "/usr/libexec/xscreensaver/orvanel /s");
  EXPECT_EQ(Parse({"-window", "/c"}).commandLine, "/usr/libexec/xscreensaver/orvanel /c");
}

TEST(HackArguments, SettingsOpensTheDialogOfTheRootWindow) {
  for (const char* word : {"-settings", "--settings"}) {
    const auto parsed = ParseHackArguments({"orvanel", word}, std::nullopt, 0x1E5);
    EXPECT_EQ(parsed.outcome, HackArguments::Outcome::kRun);
    EXPECT_EQ(parsed.host, ScreenHost::kMonitors);
    EXPECT_EQ(parsed.commandLine, "orvanel /c:485") << word;
  }
}

TEST(HackArguments, SettingsOptionsHoldForTheRun) {
  const auto parsed = Parse({"-root", "-speed", "20", "-no-random", "--blend"});
  EXPECT_EQ(parsed.commandLine, "/usr/libexec/xscreensaver/orvanel /s");
  EXPECT_EQ(parsed.overrides.speed, 20);
  EXPECT_EQ(parsed.overrides.random, false);
  EXPECT_EQ(parsed.overrides.blend, true);
  const auto later = Parse({"/s", "--random", "-no-blend", "-speed", "0x10", "-random"});
  EXPECT_EQ(later.overrides.speed, 16);
  EXPECT_EQ(later.overrides.random, true);
  EXPECT_EQ(later.overrides.blend, false);
  const auto none = Parse({"/s"});
  EXPECT_FALSE(none.overrides.speed || none.overrides.random || none.overrides.blend || none.overrides.folder);
  // A folder is taken as given, spaces, dashes and letters s included.
  EXPECT_EQ(Parse({"-root", "-folder", "/home/me/My -s Photos"}).overrides.folder, "/home/me/My -s Photos");
  EXPECT_EQ(Parse({"-root", "--folder", ""}).overrides.folder, "");
  EXPECT_EQ(Parse({"-root", "--folder", ""}).commandLine, "/usr/libexec/xscreensaver/orvanel /s");
  // The caption's three words and fill's two options; the last one counts.
  EXPECT_FALSE(none.overrides.caption || none.overrides.fit);
  EXPECT_EQ(Parse({"-root", "-caption", "none"}).overrides.caption, instance::CaptionKind::kNone);
  EXPECT_EQ(Parse({"-root", "-caption", "date"}).overrides.caption, instance::CaptionKind::kDate);
  EXPECT_EQ(Parse({"-root", "--caption", "folder"}).overrides.caption, instance::CaptionKind::kDateAndFolder);
  EXPECT_EQ(Parse({"-root", "-fill"}).overrides.fit, instance::FitMode::kFill);
  EXPECT_EQ(Parse({"-root", "-fill", "--no-fill"}).overrides.fit, instance::FitMode::kFit);
}

// Rows: the words after the program's name, and what comes of them.
struct OutcomeRow {
  std::vector<std::string> words;
  HackArguments::Outcome outcome;
};

class HackOutcome : public ::testing::TestWithParam<OutcomeRow> {};

TEST_P(HackOutcome, HelpAndUsageErrorsComeBeforeAnyRun) {
  const auto parsed = Parse(GetParam().words);
  EXPECT_EQ(parsed.outcome, GetParam().outcome);
  if (parsed.outcome == HackArguments::Outcome::kUsageError) {
    EXPECT_FALSE(parsed.error.empty());
  }
}

using Outcome = HackArguments::Outcome;
INSTANTIATE_TEST_SUITE_P(
    Words, HackOutcome,
    ::testing::Values(OutcomeRow{{"-help"}, Outcome::kHelp}, OutcomeRow{{"--help"}, Outcome::kHelp},
                      OutcomeRow{{"-h"}, Outcome::kHelp}, OutcomeRow{{"-root", "--help"}, Outcome::kHelp},
                      // An option's letters never pick a Windows mode: "-sunrise" is no /s.
                      OutcomeRow{{"-sunrise"}, Outcome::kUsageError},
                      OutcomeRow{{"--frobnicate", "/s"}, Outcome::kUsageError},
                      OutcomeRow{{"-speed"}, Outcome::kUsageError},
                      OutcomeRow{{"-speed", "fast"}, Outcome::kUsageError},
                      OutcomeRow{{"-speed", "99999999999"}, Outcome::kUsageError},
                      // Only what the timer can use: 1 s up to its longest interval.
                      OutcomeRow{{"-speed", "0"}, Outcome::kUsageError},
                      OutcomeRow{{"-speed", "-1"}, Outcome::kUsageError},
                      OutcomeRow{{"-speed", std::to_string(kMaxSpeedOption + 1)}, Outcome::kUsageError},
                      OutcomeRow{{"-speed", "1"}, Outcome::kRun},
                      OutcomeRow{{"-speed", std::to_string(kMaxSpeedOption)}, Outcome::kRun},
                      OutcomeRow{{"-root", "-folder"}, Outcome::kUsageError},
                      OutcomeRow{{"-root", "-caption"}, Outcome::kUsageError},
                      OutcomeRow{{"-root", "-caption", "Date"}, Outcome::kUsageError},
                      OutcomeRow{{"-root", "-caption", "2"}, Outcome::kUsageError},
                      OutcomeRow{{"-root", "-fps", "-install", "-visual", "default"}, Outcome::kRun},
                      OutcomeRow{{"/s", "-speed", "4"}, Outcome::kRun}));

// The usage text and the parser agree: every option the text names is
// taken, with a value where the text shows one.
TEST(HackArguments, EveryOptionTheUsageNamesIsTaken) {
  const std::string usage = HackUsage("orvanel", "/home/me/.config/vorlanthix/orvanel.ini");
  EXPECT_EQ(usage.rfind("Usage: orvanel [options]\n", 0), 0u);
  const std::string lastLine = "The settings are kept in /home/me/.config/vorlanthix/orvanel.ini.\n";
  EXPECT_EQ(usage.substr(usage.size() - lastLine.size()), lastLine);
  const std::map<std::string, std::string> values{
      {"SECONDS", "8"}, {"ID", "0x400008"}, {"FOLDER", "/tmp"}, {"none|date|folder", "folder"}};
  std::istringstream lines(usage);
  int named = 0;
  for (std::string line; std::getline(lines, line);) {
    // "  -speed SECONDS   ..." or "  -random, -no-random   ...": the options before the text.
    std::istringstream words(line);
    std::vector<std::string> options;
    for (std::string word; words >> word && word.front() == '-';) {
      if (word.back() == ',') word.pop_back();
      std::vector<std::string> arguments{"orvanel", word};
      std::string next;
      const auto at = words.tellg();
      if (words >> next && values.count(next) != 0) {
        arguments.push_back(values.at(next));
      } else {
        words.clear();
        words.seekg(at);
      }
      const auto parsed = ParseHackArguments(arguments, std::nullopt);
      EXPECT_NE(parsed.outcome, HackArguments::Outcome::kUsageError) << word << ": " << parsed.error;
      ++named;
    }
  }
  EXPECT_EQ(named, 14);  // -root -window-id -window -settings -speed, three pairs, -folder -caption -help
}

// Wayland where the session offers it, X for a command that names an X
// window (XScreenSaver's, a preview's host, a dialog's owner) or when the
// user asks the toolkit for X.
TEST(HackArguments, TheWindowSystemIsWaylandUnlessTheCommandNamesAnXWindow) {
  struct Case {
    std::vector<std::string> words;
    std::optional<std::string> xscreensaverWindow;
    std::optional<std::string> waylandDisplay;
    std::optional<std::string> gdkBackend;
    WindowSystemChoice choice;
  };
  const auto wayland = std::optional<std::string>("wayland-1");
  const Case cases[] = {
      {{"/s"}, {}, wayland, {}, WindowSystemChoice::kWayland},
      {{"-window"}, {}, wayland, {}, WindowSystemChoice::kWayland},
      {{"-settings"}, {}, wayland, {}, WindowSystemChoice::kWayland},
      {{}, {}, wayland, {}, WindowSystemChoice::kWayland},
      {{"/s"}, {}, {}, {}, WindowSystemChoice::kX11},
      {{"/s"}, {}, std::string(), {}, WindowSystemChoice::kX11},
      {{"-root"}, {}, wayland, {}, WindowSystemChoice::kX11},
      {{"-window-id", "0x400008"}, {}, wayland, {}, WindowSystemChoice::kX11},
      {{}, std::string("4194312"), wayland, {}, WindowSystemChoice::kX11},
      {{"/p", "4194312"}, {}, wayland, {}, WindowSystemChoice::kX11},
      {{"/C:4194312"}, {}, wayland, {}, WindowSystemChoice::kX11},
      {{"/c"}, {}, wayland, {}, WindowSystemChoice::kWayland},
      {{"/s"}, {}, wayland, std::string("x11"), WindowSystemChoice::kX11},
      {{"/s"}, {}, wayland, std::string("x11,wayland"), WindowSystemChoice::kX11},
      {{"/s"}, {}, {}, std::string("wayland"), WindowSystemChoice::kWayland},
  };
  for (const Case& c : cases) {
    const auto parsed = Parse(c.words, c.xscreensaverWindow);
    const auto choice = ChooseWindowSystem(parsed.namesXWindow, DisplayEnvironment{c.waylandDisplay, c.gdkBackend});
    EXPECT_EQ(choice, c.choice) << parsed.commandLine << " WAYLAND_DISPLAY=" << c.waylandDisplay.value_or("(unset)")
                                << " GDK_BACKEND=" << c.gdkBackend.value_or("(unset)");
  }
}

TEST(HackArguments, AWordWithABlankStaysOneWordForTheCore) {
  EXPECT_EQ(Parse({"/a", "two words"}).commandLine, "/usr/libexec/xscreensaver/orvanel /a \"two words\"");
}

}  // namespace
}  // namespace orvanel::shell
