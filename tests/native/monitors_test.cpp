// The native program on two monitors of different sizes (Xorg's dummy driver
// with two outputs: 1024 x 768, and 800 x 600 right of it; Xvfb's Xinerama
// puts every screen at (0, 0)).
//   Cover:    each monitor gets a window of exactly its size at its place.
//   Rotation: pictures go to monitor 0, then 1, one period apart.
#include <set>
#include <tuple>

#include "native/native_test.h"

namespace orvanel::native {
namespace {

using Geometry = std::tuple<int, int, int, int>;

class NativeMonitors : public NativeTest {
 protected:
  // The viewable top-level windows' places.
  std::set<Geometry> Shown() {
    std::set<Geometry> shown;
    for (const TopLevel& top : ViewableTopLevels(display_)) shown.insert({top.x, top.y, top.width, top.height});
    return shown;
  }
  bool Becomes(int x, int y, int w, int h, bool lit) {
    return WaitFor(x, y, w, h, 20, [lit](const Sample& s) { return s.MostlyLit() == lit; }).MostlyLit() == lit;
  }
};

TEST_F(NativeMonitors, EachMonitorIsCoveredAndGetsPicturesInTurn) {
  // Four seconds a turn: time enough to see monitor 1 still black after
  // monitor 0's picture, however busy the machine.
  StoreSettings("[Config]\nSpeed=4\n");
  const Sample noMonitor = Take(1024, 610, 800, 150);
  const pid_t pid = Launch({"/s"});
  ASSERT_TRUE(AwaitMutex("SaverActiveMode", 10000));
  // The opening fade covers the grey desktop of both monitors with black first.
  ASSERT_TRUE(Becomes(1224, 150, 400, 300, false)) << "monitor 1 was not covered";
  ASSERT_TRUE(Becomes(256, 192, 512, 384, true)) << "monitor 0 got no picture";
  EXPECT_FALSE(Take(1224, 150, 400, 300).MostlyLit()) << "monitor 1 before its turn";
  const auto shown = Shown();
  EXPECT_EQ(shown.count({0, 0, 1024, 768}), 1u);
  EXPECT_EQ(shown.count({1024, 0, 800, 600}), 1u);

  EXPECT_TRUE(Becomes(1224, 150, 400, 300, true)) << "monitor 1 got no picture";
  EXPECT_TRUE(Take(256, 192, 512, 384).MostlyLit()) << "monitor 0 lost its picture";
  // Below the smaller monitor lies no monitor: the desktop there is left alone.
  EXPECT_EQ(Take(1024, 610, 800, 150).sum, noMonitor.sum);
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
}

}  // namespace
}  // namespace orvanel::native
