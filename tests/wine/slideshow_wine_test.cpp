// The slideshow of the real orvanel.scr under Wine, seen on the screen.
//   Full screen: pictures appear after the first dissolve and change with the period.
//   Preview: the host window's corner holds a picture; the saver ends once the host is gone.
//   Photos: a folder's JPEG and PNG photos in name order, a bad file passed over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/photo_files.h"
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


// The harness's weighted sum of one pixel: red + 3 green + 7 blue.
long Weighed(std::uint32_t colour) {
  return static_cast<long>((colour >> 16 & 0xFF) + 3 * (colour >> 8 & 0xFF) + 7 * (colour & 0xFF));
}

TEST_F(WineSlideshow, APhotosFolderIsShownInNameOrderPastABadFile) {
  const auto folder = std::filesystem::temp_directory_path() / ("orvanel-photos-" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  testing::WriteSolidPhoto(folder / "1.jpg", 0xC02010, false);
  std::ofstream(folder / "2.jpg") << "a shopping list, not a photo";
  testing::WriteSolidPhoto(folder / "3summer" / "beach.png", 0x10C020, true);
  testing::WriteSolidPhoto(folder / "10.jpg", 0x2010C0, false);
  std::string windowsPath = "Z:" + folder.string();
  for (auto& c : windowsPath) c = c == '/' ? '\\' : c;
  ASSERT_EQ(StoreSetting(place, "Speed", "1"), "ok");
  ASSERT_EQ(StoreSetting(place, "Random", "0"), "ok");
  ASSERT_EQ(StoreSetting(place, "Blend", "0"), "ok");
  ASSERT_EQ(StoreSetting(place, "Folder", windowsPath), "ok");

  // In name order: 1.jpg, (2.jpg passed over), 3 summer/beach.png, 10.jpg, and round again.
  const std::vector<std::uint32_t> expected = {0xC02010, 0x10C020, 0x2010C0};
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  // The photos the middle of the screen shows, each once as it comes.
  std::vector<std::uint32_t> seen;
  Eventually(
      [&] {
        const Sample middle = Take(510, 382, 4, 4);
        for (const std::uint32_t colour : expected) {
          if (std::labs(static_cast<long>(middle.sum) / std::max(1L, middle.total) - Weighed(colour)) < 60 &&
              (seen.empty() || seen.back() != colour)) {
            seen.push_back(colour);
          }
        }
        return seen.size() > expected.size();
      },
      std::chrono::seconds(20), std::chrono::milliseconds(50));
  EXPECT_TRUE(testing::FollowsInOrder(seen, expected)) << ::testing::PrintToString(seen);
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orvanel::wine
