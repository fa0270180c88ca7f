// The folder's photos read beside the slideshow, on the simulated desktop
// whose listing, reading and decoding cost virtual time of the work
// thread's, as a slow disk or a large photo would.
//   Input: a key during a slow walk, a slow look or a slow decode ends the
//          run at the moment it falls, as it does when reading costs nothing.
//   Read ahead: photos read in less than the period come on whole periods,
//               as the built-in pictures do; a photo read ahead for one
//               monitor is not shown on another of another size.
//   Walk: a large folder's first photo shows before the walk is over; a
//         folder without photos gives the built-in pictures once it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "slideshow/showimg.h"
#include "support/jpeg_writer.h"
#include "support/slideshow_fixture.h"

namespace orvanel::slideshow {
namespace {

using testing::SlideshowFixture;

class PictureReading : public SlideshowFixture {
 protected:
  // Photos as large as the monitor, each of its own colour.
  void WritePhotos(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) {
      testing::JpegRecipe recipe;
      recipe.width = 1024;
      recipe.height = 768;
      recipe.colour = [i](int, int) { return 0x102030u * static_cast<std::uint32_t>(i + 1); };
      Write(folder + "\\photo" + std::to_string(i) + ".jpg", testing::MakeJpeg(recipe));
    }
  }
  void WriteOtherFiles(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) Write(folder + "\\clip" + std::to_string(i) + ".mp4", {0, 0, 0, 0x18});
  }
  // Runs the saver's message loop until it ends or the clock reaches `limitMs`.
  void Run(std::int64_t limitMs) {
    desktop.SetClockLimit(limitMs);
    saver().app.Run();
  }
  // When each dissolve began, on any monitor: its first step follows a wait of 21 ms.
  std::vector<std::int64_t> DissolveStarts() {
    std::vector<std::int64_t> starts;
    for (int monitor = 0; monitor < instance::kMaxMonitors; ++monitor) {
      auto* overlay = saver().Overlay(monitor);
      if (overlay == nullptr) continue;
      const auto& history = desktop.Find(overlay->Handle())->alphaHistory;
      for (std::size_t i = 1; i < history.size(); ++i) {
        if (history[i].alpha == 3 && history[i - 1].alpha == 0) starts.push_back(history[i].atMs - 21);
      }
    }
    std::sort(starts.begin(), starts.end());
    return starts;
  }
};

struct SlowReading {
  const char* what;
  std::int64_t listMs;
  std::int64_t readMs;
  std::int64_t decodeMs;
  std::int64_t keyAtMs;
};

TEST_F(PictureReading, AKeyEndsTheRunWhenItFallsHoweverSlowTheReading) {
  const SlowReading cases[] = {
      {"reading costs nothing", 0, 0, 0, 2500},
      {"a slow walk: each folder listed in 2 s", 2000, 0, 0, 2500},
      {"slow looks: each read 300 ms", 0, 300, 0, 2500},
      {"a slow decode: 9 s a photo, the key during the first", 0, 0, 9000, 2500},
      {"a slow decode, the key during a later one", 0, 0, 3000, 12'100},
  };
  for (const auto& slow : cases) {
    desktop.SetListCost(slow.listMs);
    desktop.SetReadCost(slow.readMs);
    desktop.SetDecodeCost(slow.decodeMs);
    WritePhotos("C:\\Photos\\2019", 3);
    WriteOtherFiles("C:\\Photos\\2020", 6);
    Start("/s", {4, false, false, "C:\\Photos"});
    const std::int64_t began = desktop.NowMs();
    desktop.At(began + slow.keyAtMs, [this] { desktop.PressKey(main().Handle(), 'A', 'a'); });
    Run(began + 60'000);
    EXPECT_EQ(desktop.NowMs() - began, slow.keyAtMs) << slow.what;
    EXPECT_TRUE(saver().quitRequested) << slow.what;
    instance.reset();
  }
}

// At Speed 8 with dissolves, photos decoded in 7 s each, more than is left
// of a period once a picture has come in: the first waits for its photo
// after the opening fade, and so outlasts the first period, whose tick is
// dropped; the others, read while the picture before comes in and rests,
// come in on whole periods on either monitor, as built-in pictures do.
TEST_F(PictureReading, PhotosReadInLessThanThePeriodComeOnWholePeriods) {
  desktop.SetDecodeCost(7000);
  WritePhotos("C:\\Photos", 4);
  Start("/s", {8, true, true, "C:\\Photos"}, {platform::Rect{0, 0, 1024, 768}, platform::Rect{1024, 0, 800, 600}});
  const std::int64_t began = desktop.NowMs();
  Run(began + 41'000);
  const auto starts = DissolveStarts();
  ASSERT_EQ(starts.size(), 5u);
  EXPECT_EQ(starts[0] - began, 84 * 21 + 7000);
  for (std::size_t i = 1; i < starts.size(); ++i) {
    EXPECT_EQ(starts[i] - began, 8000 * static_cast<std::int64_t>(i + 1)) << i;
  }
  EXPECT_TRUE(desktop.messageBoxes.empty());
}

// Without dissolves, photos that take longer to read than the period: the
// last one stays up until the next is ready, never a black screen between.
TEST_F(PictureReading, ASlowPhotoLeavesTheLastOneUpUntilItIsReady) {
  desktop.SetDecodeCost(3000);
  WritePhotos("C:\\Photos", 3);
  Start("/s", {2, false, false, "C:\\Photos"});
  const std::int64_t began = desktop.NowMs();
  std::vector<platform::ColorRef> seen;
  for (std::int64_t at = 100; at < 20'000; at += 100) {
    desktop.At(began + at, [&] { seen.push_back(desktop.PixelAt(main().Handle(), {512, 384})); });
  }
  Run(began + 20'000);
  const auto first = std::find_if(seen.begin(), seen.end(), [](platform::ColorRef c) { return c != platform::kBlack; });
  ASSERT_NE(first, seen.end());
  EXPECT_EQ(std::count(first, seen.end(), platform::kBlack), 0);
  EXPECT_GE(std::set<platform::ColorRef>(first, seen.end()).size(), 3u);  // every photo came
}

// 40 folders of 10 files each, listed in 100 ms a folder, the photos in the
// last: the walk takes over 4 s, and nothing else is shown meanwhile.
TEST_F(PictureReading, AFolderWithoutPhotosGivesTheBuiltInPicturesOnceTheWalkIsOver) {
  desktop.SetListCost(100);
  for (int folder = 0; folder < 40; ++folder) WriteOtherFiles("C:\\Videos\\" + std::to_string(folder), 10);
  Start("/s", {8, false, false, "C:\\Videos"});
  const std::int64_t began = desktop.NowMs();
  ASSERT_TRUE(ShowPicture(saver(), main().GetCanvas(), main().ClientRect(), saver().picturePool,
                          PicturesInRotation(saver()), saver().pictureIndex, 0));
  EXPECT_GE(desktop.NowMs() - began, 41 * 100);
  EXPECT_EQ(PicturesInRotation(saver()), PictureCount);
  EXPECT_EQ(saver().pictureIndex, 0);
}

// A photo near the start of a large folder shows before the walk is over.
TEST_F(PictureReading, TheFirstPhotoShowsWhileTheWalkGoesOn) {
  desktop.SetListCost(100);
  WritePhotos("C:\\Photos\\0 first", 1);
  for (int folder = 1; folder < 40; ++folder) WriteOtherFiles("C:\\Photos\\" + std::to_string(folder), 10);
  Start("/s", {8, false, false, "C:\\Photos"});
  const std::int64_t began = desktop.NowMs();
  ASSERT_TRUE(ShowPicture(saver(), main().GetCanvas(), main().ClientRect(), saver().picturePool,
                          PicturesInRotation(saver()), saver().pictureIndex, 0));
  EXPECT_LT(desktop.NowMs() - began, 1000);
  EXPECT_FALSE(saver().pictureWalkDone);
  EXPECT_EQ(saver().pictureFiles[static_cast<std::size_t>(saver().pictureIndex)], "C:\\Photos\\0 first\\photo0.jpg");
}

}  // namespace
}  // namespace orvanel::slideshow
