// The slideshow of the real orvanel.scr under Wine, seen on the screen.
//   Full screen: pictures appear after the first dissolve and change with the period.
//   Preview: the host window's corner holds a picture; the saver ends once the host is gone.
#include <gtest/gtest.h>

#include <string>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

class WineSlideshow : public WineTest {
 protected:
  void SetUp() override {
    place = Settings();
    // A short period keeps the test short.
    ASSERT_EQ(StoreSetting(place, "Speed", "2"), "ok");
  }
  void TearDown() override { RemoveSettings(place); }

  SettingsPlace place;
};

TEST_F(WineSlideshow, FullScreenShowsPicturesThatChangeWithThePeriod) {
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  const Sample first = WaitFor(0, 0, 1024, 768, 20, [](const Sample& s) { return s.MostlyLit(); });
  EXPECT_TRUE(first.MostlyLit()) << first.lit << " of " << first.total << " lit";
  const Sample next = WaitFor(0, 0, 1024, 768, 20, [&](const Sample& s) {
    return s.MostlyLit() && s.sum != first.sum;
  });
  EXPECT_NE(next.sum, first.sum);
  EXPECT_TRUE(next.MostlyLit());
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

TEST_F(WineSlideshow, PreviewDrawsIntoTheHostAndEndsWhenTheHostIsGone) {
  // The harness puts its host windows at (100, 100) on the screen.
  const auto host = WineSession::Value(session->Command("host 152 112"));
  const auto pid = Launch("/p " + host);
  const Sample picture = WaitFor(100, 100, 149, 112, 20, [](const Sample& s) { return s.MostlyLit(); });
  EXPECT_TRUE(picture.MostlyLit()) << picture.lit << " of " << picture.total << " lit";
  ASSERT_EQ(session->Command("destroy " + host), "ok");
  // At the latest after the presentation running now and the next tick.
  EXPECT_EQ(AwaitExit(pid, 12000), "exited 0");
}

}  // namespace
}  // namespace orvanel::wine
