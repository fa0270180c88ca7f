// The native program's command line: the Windows forms pass through to the
// core; XScreenSaver's -root, -window-id and $XSCREENSAVER_WINDOW put the saver
// into a host's window as a full-screen run; -window gives it a window of its own.
#include <gtest/gtest.h>

#include "shell/hack_command_line.h"

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
}

TEST(HackArguments, TheHostsOtherOptionsAreDropped) {
  // Their letters would read as a Windows mode (-install has the password mode's a).
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"-root", "-fps"}, {"-root", "-install"}, {"-root", "-visual", "default"},
        {"--root", "/c"}}) {
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
}

TEST(HackArguments, ATryOutWindowRunsFullScreenInsideIt) {
  const auto parsed = Parse({"-window"});
  EXPECT_EQ(parsed.host, ScreenHost::kOwnWindow);
  EXPECT_EQ(parsed.commandLine, "/usr/libexec/xscreensaver/orvanel /s");
  EXPECT_EQ(Parse({"-window", "/c"}).commandLine, "/usr/libexec/xscreensaver/orvanel /c");
}

}  // namespace
}  // namespace orvanel::shell
