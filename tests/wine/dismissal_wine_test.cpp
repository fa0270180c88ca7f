// Ending the real orvanel.scr with real input under Wine: xdotool moves the
// X pointer and presses keys as a user would.
//   Key: any key ends the process and frees "SaverActiveMode".
//   Mouse: 5 pixels from the first position keep it running; 11 end it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

class WineDismissal : public WineTest {
 protected:
  // A full-screen saver that has seen the pointer once: its opening fade is
  // over, so its loop has handled the move that came with its windows.
  static std::string StartSaver() {
    const auto pid = Launch("/s");
    EXPECT_FALSE(FindWindow(pid, "TfrmSAVERbl").empty());
    EXPECT_TRUE(AwaitWindows(pid, "TfrmSAVER:1:255:")) << WindowList(pid);
    return pid;
  }
  static int Xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
  }
};

TEST_F(WineDismissal, AnyKeyEndsTheSaver) {
  const auto pid = StartSaver();
  ASSERT_EQ(session->Command("mutex SaverActiveMode"), "exists");
  ASSERT_EQ(Xdotool("key a"), 0);
  EXPECT_EQ(AwaitExit(pid, 10000), "exited 0");
  EXPECT_EQ(session->Command("mutex SaverActiveMode"), "absent");
}

TEST_F(WineDismissal, TheMouseEndsTheSaverOnlyBeyondTenPixels) {
  const auto pid = StartSaver();
  ASSERT_EQ(Xdotool("mousemove_relative -- 5 0"), 0);
  EXPECT_EQ(session->Command("wait-exit " + pid + " 1500"), "timeout");
  ASSERT_EQ(Xdotool("mousemove_relative -- 6 0"), 0);
  EXPECT_EQ(AwaitExit(pid, 10000), "exited 0");
  EXPECT_EQ(session->Command("mutex SaverActiveMode"), "absent");
}

}  // namespace
}  // namespace orvanel::wine
