// The real orvanel.scr under Wine on three monitors of different sizes (run by
// several_monitors.sh): the primary 1024 x 768, one of 800 x 600 right of it and
// one of 640 x 480 left of it, as the desktop lists them.
//   Cover:    each monitor's picture window and overlay take exactly its rectangle.
//   Rotation: pictures go to monitors 0, 1, 2 in turn, one period apart.
// WineOnThreeMonitorsAt144Dpi runs the cover test again with the prefix at
// 144 DPI: the monitors and the windows keep the screen's own pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

Rect ParseRect(const std::string& text) {
  Rect r;
  char comma = 0;
  std::istringstream(text) >> r.left >> comma >> r.top >> comma >> r.right >> comma >> r.bottom;
  return r;
}

const std::vector<Rect> kMonitors{{0, 0, 1024, 768}, {1024, 0, 1824, 600}, {-640, 0, 0, 480}};

class WineMonitors : public WineTest {
 protected:
  void SetUp() override {
    std::istringstream answer(session->Command("monitors"));
    int count = 0;
    answer >> count;
    std::vector<Rect> monitors;
    for (std::string rect; answer >> rect;) monitors.push_back(ParseRect(rect));
    ASSERT_EQ(count, 3) << "the display does not give Wine three monitors";
    ASSERT_EQ(monitors, kMonitors);  // in the screen's pixels at any DPI
    const char* dpi = std::getenv("ORVANEL_WINE_DPI");
    ASSERT_EQ(session->Command("dpi"), dpi != nullptr ? dpi : "96");
    place = Settings();
    ASSERT_EQ(StoreSetting(place, "Speed", "2"), "ok");
  }
  void TearDown() override {
    if (!pid.empty()) session->Command("kill " + pid);  // a saver a failed check left running
    RemoveSettings(place);
  }

  // The windows of a process by class: "CLASS:VISIBLE:ALPHA:L,T,R,B ...".
  static std::map<std::string, Rect> WindowsOf(const std::string& pid) {
    std::map<std::string, Rect> windows;
    std::istringstream answer(session->Command("windows " + pid));
    for (std::string entry; answer >> entry;) {
      const auto first = entry.find(':');
      const auto last = entry.rfind(':');
      if (first == std::string::npos || last == first) continue;
      windows[entry.substr(0, first)] = ParseRect(entry.substr(last + 1));
    }
    return windows;
  }

  // The middle of a monitor, where any picture shown on it lies.
  static Sample Middle(const Rect& m) {
    const int w = (m.right - m.left) / 2, h = (m.bottom - m.top) / 2;
    return Take(m.left + w / 2, m.top + h / 2, w, h);
  }

  static bool PictureArrives(const Rect& m) { return Becomes(m, true); }
  static bool TurnsBlack(const Rect& m) { return Becomes(m, false); }
  static bool Becomes(const Rect& m, bool lit) {
    return Eventually([&] { return Middle(m).MostlyLit() == lit; }, std::chrono::seconds(25),
                      std::chrono::milliseconds(250));
  }

  SettingsPlace place;
  std::string pid;
};

TEST_F(WineMonitors, EachMonitorIsCoveredExactlyByItsOwnWindows) {
  pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  const std::vector<std::pair<std::string, std::string>> perMonitor{
      {"TfrmSAVER", "TfrmSAVERbl"}, {"TfrmSAVER2", "TfrmSAVERbl2"}, {"TfrmSAVER3", "TfrmSAVERbl3"}};
  // The overlays come once the main window is shown; wait for all six by
  // name (the process may own windows of the system's too).
  std::map<std::string, Rect> windows;
  Eventually(
      [&] {
        windows = WindowsOf(pid);
        return std::all_of(perMonitor.begin(), perMonitor.end(), [&](const auto& names) {
          return windows.count(names.first) == 1 && windows.count(names.second) == 1;
        });
      },
      std::chrono::seconds(10), std::chrono::milliseconds(250));
  for (std::size_t i = 0; i < perMonitor.size(); ++i) {
    const auto& [picture, overlay] = perMonitor[i];
    ASSERT_EQ(windows.count(picture), 1u) << picture;
    ASSERT_EQ(windows.count(overlay), 1u) << overlay;
    EXPECT_EQ(windows.at(picture), kMonitors[i]) << picture;
    EXPECT_EQ(windows.at(overlay), kMonitors[i]) << overlay;
  }
  EXPECT_EQ(windows.count("TfrmSAVER4"), 0u);  // three monitors, three sets
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

TEST_F(WineMonitors, PicturesGoToEachMonitorInTurn) {
  pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  // The opening fade blacks out every monitor over the desktop (grey here).
  ASSERT_TRUE(TurnsBlack(kMonitors[2])) << "the opening fade did not cover monitor 2";
  ASSERT_TRUE(PictureArrives(kMonitors[0])) << "monitor 0 got no picture";
  EXPECT_FALSE(Middle(kMonitors[1]).MostlyLit()) << "monitor 1 before its turn";
  EXPECT_FALSE(Middle(kMonitors[2]).MostlyLit()) << "monitor 2 before its turn";

  ASSERT_TRUE(PictureArrives(kMonitors[1])) << "monitor 1 got no picture";
  EXPECT_FALSE(Middle(kMonitors[2]).MostlyLit()) << "monitor 2 before its turn";
  EXPECT_TRUE(Middle(kMonitors[0]).MostlyLit()) << "monitor 0 lost its picture";

  EXPECT_TRUE(PictureArrives(kMonitors[2])) << "monitor 2 got no picture";
  EXPECT_TRUE(Middle(kMonitors[1]).MostlyLit()) << "monitor 1 lost its picture";

  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

}  // namespace
}  // namespace orvanel::wine
