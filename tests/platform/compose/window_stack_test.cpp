// The stack of the saver's top-level windows as the compositor reads it:
//   Bands: top-most windows stay above the others, whatever comes later.
//   Areas: what shows over an area, and as which layers; the window at a point.
//   Keys: the active window, else the one under the pointer, else the top one.
#include "platform/compose/window_stack.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace orvanel::platform::compose {
namespace {

class WindowStackTest : public ::testing::Test {
 protected:
  std::map<WindowHandle, StackedWindow> windows;
  WindowStack stack{[this](WindowHandle handle) { return windows.at(handle); }};
};

TEST_F(WindowStackTest, TopMostWindowsStayAboveTheOthers) {
  stack.Add(1);
  stack.Add(2);
  EXPECT_EQ(stack.TopFirst(), (std::vector<WindowHandle>{2, 1}));
  stack.BringToTop(1, true);
  stack.Add(3);  // below the top-most band
  EXPECT_EQ(stack.TopFirst(), (std::vector<WindowHandle>{1, 3, 2}));
  stack.BringToTop(2, false);
  EXPECT_EQ(stack.TopFirst(), (std::vector<WindowHandle>{1, 2, 3}));
  stack.BringToTop(1, false);  // once top-most, for good
  stack.BringToTop(3, false);
  EXPECT_EQ(stack.TopFirst(), (std::vector<WindowHandle>{1, 3, 2}));
  EXPECT_TRUE(stack.TakeRestack());
  EXPECT_FALSE(stack.TakeRestack());
  stack.Remove(1);
  stack.Add(4);  // the band is empty again
  EXPECT_EQ(stack.TopFirst(), (std::vector<WindowHandle>{4, 3, 2}));
}

TEST_F(WindowStackTest, OnlyComposedWindowsThatShowMakeAnAreasLayers) {
  const Rect monitor = Rect::FromBounds(1024, 0, 800, 600);
  windows[1] = StackedWindow{monitor, 255, true, true, 7};                            // a picture window
  windows[2] = StackedWindow{monitor, 0, true, true, 1};                              // its overlay, faded out
  windows[3] = StackedWindow{Rect::FromBounds(1100, 50, 200, 100), 255, true, false, 1};  // a dialog
  windows[4] = StackedWindow{monitor, 255, false, true, 1};                           // hidden
  for (WindowHandle handle : {1, 2, 3, 4}) stack.Add(handle);
  std::uint8_t pixels[4] = {};
  const auto layers = stack.LayersOver(monitor, [&](WindowHandle) { return WindowPixels{pixels, 3200, 800, 600}; });
  ASSERT_EQ(layers.size(), 1u);
  EXPECT_EQ(layers[0].rect, Rect::FromBounds(0, 0, 800, 600));  // in the area's coordinates
  EXPECT_EQ(layers[0].version, (std::uint64_t{1} << 32) ^ 7);
  EXPECT_TRUE(stack.ShowsOver(monitor));
  EXPECT_FALSE(stack.ShowsOver(Rect::FromBounds(0, 0, 1024, 768)));
  // Input reaches the overlay even at opacity 0, never the dialog nor a hidden window.
  EXPECT_EQ(stack.TopAt(Point{1150, 60}), 2);
  EXPECT_EQ(stack.TopAt(Point{10, 10}), kNoWindow);
  windows[1].shown = false;
  EXPECT_FALSE(stack.ShowsOver(monitor));
}

TEST_F(WindowStackTest, AKeyGoesToTheActiveWindowElseUnderThePointerElseToTheTop) {
  EXPECT_EQ(stack.KeyTarget(kNoWindow, Point{0, 0}), kNoWindow);
  windows[1] = StackedWindow{Rect::FromBounds(0, 0, 100, 100), 255, true, true, 0};
  windows[2] = StackedWindow{Rect::FromBounds(200, 0, 100, 100), 255, true, true, 0};
  windows[3] = StackedWindow{Rect::FromBounds(500, 0, 100, 100), 255, false, false, 0};
  for (WindowHandle handle : {1, 2, 3}) stack.Add(handle);
  struct Case {
    WindowHandle active;
    Point pointer;
    WindowHandle target;
  };
  for (const Case& c : {Case{1, Point{250, 50}, 1}, Case{3, Point{250, 50}, 2}, Case{3, Point{50, 50}, 1},
                        Case{kNoWindow, Point{50, 50}, 1}, Case{3, Point{900, 900}, 3}}) {
    EXPECT_EQ(stack.KeyTarget(c.active, c.pointer), c.target) << c.active << " at " << c.pointer.x;
  }
}

}  // namespace
}  // namespace orvanel::platform::compose
