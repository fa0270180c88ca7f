// The slideshow of the real orvanel.scr under Wine, seen on the screen.
//   Full screen: pictures appear after the first dissolve and change with the period.
//   Preview: the host window's corner holds a picture; the saver ends once the host is gone.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

struct Sample {
  long lit = 0;
  long total = 0;
  unsigned long long sum = 0;
};

class WineSlideshow : public WineTest {
 protected:
  void SetUp() override {
    place = Settings();
    // A short period keeps the test short.
    ASSERT_EQ(StoreSetting(place, "Speed", "2"), "ok");
  }
  void TearDown() override { RemoveSettings(place); }

  static Sample Take(int x, int y, int w, int h) {
    std::istringstream answer(session->Command("sample " + std::to_string(x) + " " +
                                               std::to_string(y) + " " + std::to_string(w) + " " +
                                               std::to_string(h)));
    Sample sample;
    std::string word;
    answer >> word >> sample.lit >> word >> sample.total >> word >> sample.sum;
    return sample;
  }

  // Samples until `done` holds or the time is up; returns the last sample.
  template <typename Done>
  static Sample WaitFor(int x, int y, int w, int h, int seconds, Done&& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    Sample sample = Take(x, y, w, h);
    while (!done(sample) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
      sample = Take(x, y, w, h);
    }
    return sample;
  }

  SettingsPlace place;
};

TEST_F(WineSlideshow, FullScreenShowsPicturesThatChangeWithThePeriod) {
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  const auto mostlyLit = [](const Sample& s) { return s.lit * 2 > s.total; };
  const Sample first = WaitFor(0, 0, 1024, 768, 20, mostlyLit);
  EXPECT_TRUE(mostlyLit(first)) << first.lit << " of " << first.total << " lit";
  const Sample next = WaitFor(0, 0, 1024, 768, 20, [&](const Sample& s) {
    return mostlyLit(s) && s.sum != first.sum;
  });
  EXPECT_NE(next.sum, first.sum);
  EXPECT_TRUE(mostlyLit(next));
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

TEST_F(WineSlideshow, PreviewDrawsIntoTheHostAndEndsWhenTheHostIsGone) {
  // The harness puts its host windows at (100, 100) on the screen.
  const auto host = WineSession::Value(session->Command("host 152 112"));
  const auto pid = Launch("/p " + host);
  const Sample picture = WaitFor(100, 100, 149, 112, 20, [](const Sample& s) { return s.lit * 2 > s.total; });
  EXPECT_GT(picture.lit * 2, picture.total) << picture.lit << " of " << picture.total << " lit";
  ASSERT_EQ(session->Command("destroy " + host), "ok");
  // At the latest after the presentation running now and the next tick.
  EXPECT_EQ(AwaitExit(pid, 12000), "exited 0");
}

}  // namespace
}  // namespace orvanel::wine
