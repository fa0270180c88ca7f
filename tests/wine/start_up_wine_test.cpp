// The real orvanel.scr under Wine, started as the screen-saver host starts it.
//   None: no argument, or a handle that cannot be a window, ends at once and shows nothing.
//   Refusal: while "SaverActiveMode" or "SaverConfigMode" exists, /s and /p end at once.
//   Active: holds "SaverActiveMode" while it runs; a close ends the process and frees the name.
//   Two full-screen starts at the same moment: one saver runs, the other shows nothing.
//   Preview: one instance per host; the instance ends once its host window is gone.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

using WineStartUp = WineTest;

TEST_F(WineStartUp, WithoutAUsableCommandLineItEndsAtOnceShowingNothing) {
  for (const char* arguments : {"", "/x", "/p", "/c", "/p 99999999999"}) {
    const auto pid = Launch(arguments);
    EXPECT_EQ(session->Command("watch " + pid + " 15000"), "exited 0 visible 0") << arguments;
  }
}

TEST_F(WineStartUp, GivesWayToARunningFullScreenSaverOrSettingsDialog) {
  const auto host = WineSession::Value(session->Command("host 152 112"));
  for (const char* mutex : {"SaverActiveMode", "SaverConfigMode"}) {
    ASSERT_EQ(session->Command(std::string("hold ") + mutex), "ok");
    for (const std::string& arguments : {std::string("/s"), "/p " + host}) {
      const auto pid = Launch(arguments);
      EXPECT_EQ(session->Command("watch " + pid + " 15000"), "exited 0 visible 0")
          << mutex << " " << arguments;
    }
    EXPECT_EQ(session->Command("mutex SaverPreviewMode"), "absent");
    ASSERT_EQ(session->Command(std::string("drop ") + mutex), "ok");
  }
  session->Command("destroy " + host);
}

TEST_F(WineStartUp, ActiveHoldsItsMutexUntilItIsClosed) {
  ASSERT_EQ(session->Command("mutex SaverActiveMode"), "absent");
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  ASSERT_FALSE(FindWindow(pid, "TfrmSAVERbl").empty());
  EXPECT_EQ(session->Command("mutex SaverActiveMode"), "exists");
  // The main window and its overlay cover the one 1024 x 768 monitor, shown
  // fully transparent until the first picture.
  const auto windows = session->Command("windows " + pid);
  EXPECT_NE(windows.find("TfrmSAVER:1:0:0,0,1024,768 "), std::string::npos) << windows;
  EXPECT_NE(windows.find("TfrmSAVERbl:1:0:0,0,1024,768 "), std::string::npos) << windows;

  // A second full-screen start gives way while the first runs.
  const auto second = Launch("/s");
  EXPECT_EQ(session->Command("watch " + second + " 15000"), "exited 0 visible 0");

  EXPECT_EQ(session->Command("post " + main + " 16"), "ok");  // WM_CLOSE
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(session->Command("mutex SaverActiveMode"), "absent");
}

TEST_F(WineStartUp, TwoFullScreenStartsAtTheSameMomentGiveOneSaver) {
  // Both processes leave their suspended start together; five seconds cover
  // their start-ups and the opening fade of the one that runs.
  std::istringstream answer(session->Command("pair 5000 /s"));
  struct Instance {
    std::string pid, state, code;
    int visible = -1;
  } instances[2];
  for (auto& instance : instances) {
    std::string word;
    answer >> word >> instance.pid >> instance.state;
    if (instance.state == "exited") answer >> instance.code;
    answer >> word >> instance.visible;
  }
  const int running = (instances[0].state == "running" ? 1 : 0) + (instances[1].state == "running" ? 1 : 0);
  ASSERT_EQ(running, 1) << answer.str();
  const auto& saver = instances[0].state == "running" ? instances[0] : instances[1];
  const auto& other = instances[0].state == "running" ? instances[1] : instances[0];
  EXPECT_GE(saver.visible, 2) << "the saver's windows did not show";
  EXPECT_EQ(other.code, "0");
  EXPECT_EQ(other.visible, 0) << "the one that gave way showed a window";

  const auto main = FindWindow(saver.pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  EXPECT_EQ(session->Command("post " + main + " 16"), "ok");
  EXPECT_EQ(AwaitExit(saver.pid), "exited 0");
  EXPECT_EQ(session->Command("mutex SaverActiveMode"), "absent");
}

TEST_F(WineStartUp, PreviewRunsOncePerHostAndEndsWhenTheHostIsGone) {
  const auto host = WineSession::Value(session->Command("host 152 112"));
  const auto pid = Launch("/p " + host);
  // The preview's primary overlay is a top-level window of its own.
  ASSERT_FALSE(FindWindow(pid, "TfrmSAVERbl").empty());
  EXPECT_EQ(session->Command("mutex SaverPreviewMode"), "exists");

  const auto second = Launch("/p " + host);
  EXPECT_EQ(session->Command("watch " + second + " 15000"), "exited 0 visible 0");
  EXPECT_EQ(session->Command("mutex SaverPreviewMode"), "exists");

  ASSERT_EQ(session->Command("destroy " + host), "ok");
  // It notices at its next timer tick.
  EXPECT_EQ(AwaitExit(pid, 30000), "exited 0");
  EXPECT_EQ(session->Command("mutex SaverPreviewMode"), "absent");
}

}  // namespace
}  // namespace orvanel::wine
