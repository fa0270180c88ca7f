// The slideshow of the real orvanel.scr under Wine, seen on the screen.
//   Full screen: pictures appear after the first dissolve and change with the period.
//   Sleep: between fade steps and between pictures the saver sleeps, taking little processor time.
//   Preview: the host window's corner holds a picture; the saver ends once the host is gone.
//   Photos: a folder's JPEG and PNG photos in name order, a bad file passed over;
//           WebP built in, TIFF, BMP and GIF through the system's codecs, a
//           HEIC without its codec passed over; a JPEG's Adobe RGB profile
//           honoured; a PNG and a TIFF of 100 megapixels shown, a key while
//           one is decoded; a caption read off the screen, the date as the
//           system writes it, over a photo filling it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/photo_files.h"
#include "support/process_figures.h"
#include "support/screen_text.h"
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

// Between fade steps the saver sleeps until the step is due or a message
// comes; between pictures it sleeps until the next one. A wait that looked at
// its queue in a loop would take a whole processor.
TEST_F(WineSlideshow, ItSleepsBetweenFadeStepsAndBetweenPictures) {
  const auto cpuMsOver = [](const std::string& pid, int ms) {
    const auto answer = session->Command("cpu " + pid + " " + std::to_string(ms));
    EXPECT_EQ(answer.rfind("cpu_ms ", 0), 0u) << answer;
    return std::atol(WineSession::Value(answer).c_str());
  };
  ASSERT_EQ(StoreSetting(place, "Speed", "1"), "ok");  // one dissolve after the other
  auto pid = Launch("/s");
  auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  ASSERT_TRUE(WaitFor(0, 0, 1024, 768, 20, [](const Sample& s) { return s.MostlyLit(); }).MostlyLit());
  // The saver as Linux sees it, with its command line as the harness gave it.
  const pid_t unixPid = testing::ProcessWithCommandLine("orvanel.scr /s");
  ASSERT_NE(unixPid, 0) << "the saver's process was not found";
  const long long sleeps = testing::MainThreadSleeps(unixPid);
  const auto start = std::chrono::steady_clock::now();
  const long inDissolves = cpuMsOver(pid, 3000);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long long sleepsAfter = testing::MainThreadSleeps(unixPid);
  ASSERT_TRUE(sleeps >= 0 && sleepsAfter >= 0) << "unreadable figures of " << unixPid;
  EXPECT_GT(inDissolves, 0) << "no processor time was read";
  EXPECT_LT(inDissolves, 1500) << "in dissolves";
  // Waking every millisecond shows as some 2,600 sleeps a second here (Wine
  // sleeps more than once in each of the saver's); a sleep until the step
  // is due, as about 850.
  EXPECT_LT(static_cast<double>(sleepsAfter - sleeps) / seconds, 1600) << "in dissolves";
  session->Command("post " + main + " 16");
  ASSERT_EQ(AwaitExit(pid), "exited 0");

  ASSERT_EQ(StoreSetting(place, "Speed", "600"), "ok");
  pid = Launch("/s");
  main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  ASSERT_TRUE(WaitFor(0, 0, 1024, 768, 20, [](const Sample& s) { return s.MostlyLit(); }).MostlyLit());
  // The overlay's fade-out shows nothing new: the presentation is surely
  // over once the screen has kept still for longer than that fade lasts.
  testing::KeptStill still(std::chrono::seconds(3));
  WaitFor(0, 0, 1024, 768, 20, still);
  ASSERT_TRUE(still.Held()) << "the screen never kept still";
  // On a machine kept busy, the presentation's last steps may still be
  // running once the screen has kept still; a saver that keeps waking spends
  // as much in every span, so one quiet span of the next three is the idle.
  long betweenPictures = cpuMsOver(pid, 2000);
  for (int span = 1; span < 3 && betweenPictures >= 100; ++span) betweenPictures = cpuMsOver(pid, 2000);
  EXPECT_LT(betweenPictures, 100) << "between pictures";
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

// Whether a sample of the screen is of one colour, as the harness weighs it.
bool Near(const Sample& sample, std::uint32_t colour, long tolerance = 60) {
  return std::labs(static_cast<long>(sample.sum) / std::max(1L, sample.total) - Weighed(colour)) < tolerance;
}

// A folder of photos made by the test, gone with it.
class PhotoFolder {
 public:
  explicit PhotoFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / ("orvanel-" + name + "-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~PhotoFolder() { std::filesystem::remove_all(path_); }
  PhotoFolder(const PhotoFolder&) = delete;
  PhotoFolder& operator=(const PhotoFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // As Windows names it through Wine's Z: drive.
  std::string WindowsPath() const {
    std::string path = "Z:" + path_.string();
    for (auto& c : path) c = c == '/' ? '\\' : c;
    return path;
  }

 private:
  std::filesystem::path path_;
};

class WinePhotos : public WineSlideshow {
 protected:
  // The saver at a picture a second, in name order, cutting from one to the
  // next, over the folder.
  void StoreFolder(const PhotoFolder& folder) {
    ASSERT_EQ(StoreSetting(place, "Speed", "1"), "ok");
    ASSERT_EQ(StoreSetting(place, "Random", "0"), "ok");
    ASSERT_EQ(StoreSetting(place, "Blend", "0"), "ok");
    ASSERT_EQ(StoreSetting(place, "Folder", folder.WindowsPath()), "ok");
  }
  // The photos the middle of the screen shows, each of `colours` once as it
  // comes, until one more than a round of `expected` is seen; then the saver
  // is ended as a key would end it.
  std::vector<std::uint32_t> WatchRound(const std::vector<std::uint32_t>& colours,
                                        const std::vector<std::uint32_t>& expected, long tolerance) {
    std::vector<std::uint32_t> seen;
    const auto pid = Launch("/s");
    const auto main = FindWindow(pid, "TfrmSAVER");
    EXPECT_FALSE(main.empty());
    if (main.empty()) return seen;
    Eventually(
        [&] {
          const Sample middle = Take(510, 382, 4, 4);
          for (const std::uint32_t colour : colours) {
            if (Near(middle, colour, tolerance) && (seen.empty() || seen.back() != colour)) seen.push_back(colour);
          }
          return seen.size() > expected.size();
        },
        std::chrono::seconds(20), std::chrono::milliseconds(50));
    session->Command("post " + main + " 16");
    EXPECT_EQ(AwaitExit(pid), "exited 0");
    return seen;
  }
};

TEST_F(WinePhotos, APhotosFolderIsShownInNameOrderPastABadFile) {
  const PhotoFolder folder("photos");
  testing::WriteSolidPhoto(folder.Path() / "1.jpg", 0xC02010, false);
  std::ofstream(folder.Path() / "2.jpg") << "a shopping list, not a photo";
  testing::WriteSolidPhoto(folder.Path() / "3summer" / "beach.png", 0x10C020, true);
  testing::WriteSolidPhoto(folder.Path() / "10.jpg", 0x2010C0, false);
  StoreFolder(folder);
  // In name order: 1.jpg, (2.jpg passed over), 3 summer/beach.png, 10.jpg, and round again.
  const std::vector<std::uint32_t> expected = {0xC02010, 0x10C020, 0x2010C0};
  const auto seen = WatchRound(expected, expected, 60);
  EXPECT_TRUE(testing::FollowsInOrder(seen, expected)) << ::testing::PrintToString(seen);
}

// WebP is decoded by the saver itself; TIFF, BMP and GIF by the system's
// imaging codecs. Wine has no HEIF codec: its HEIC is passed over as a file
// that is not a photo.
TEST_F(WinePhotos, WebpBuiltInAndTheSystemsCodecsShowTheirPhotos) {
  const PhotoFolder folder("formats");
  const std::pair<const char*, const char*> files[] = {
      {"1.webp", "cwebp -quiet -q 95 in.png -o out"},
      {"2.tif", "convert in.png -compress lzw tiff:out"},
      {"3.heic", "heif-enc -q 95 in.png -o out.heic && mv out.heic out"},
      {"4.bmp", "convert in.png bmp3:out"},
      {"5.gif", "convert in.png gif:out"},
  };
  // Weighed apart from each other and from the root window's grey weave.
  const std::vector<std::uint32_t> colours = {0xC02010, 0x10C020, 0x404040, 0xC0C0C0, 0x10C0C0};
  for (std::size_t i = 0; i < std::size(files); ++i) {
    ASSERT_TRUE(testing::WriteEncodedPhoto(folder.Path() / files[i].first, colours[i], files[i].second))
        << files[i].first;
  }
  StoreFolder(folder);
  const std::vector<std::uint32_t> expected = {0xC02010, 0x10C020, 0xC0C0C0, 0x10C0C0};
  const auto seen = WatchRound(colours, expected, 50);
  EXPECT_TRUE(testing::FollowsInOrder(seen, expected)) << ::testing::PrintToString(seen);
}

// A TIFF turned half a turn by its orientation tag stands upright through
// the system's codec too: stored blue above red, it shows red above blue.
TEST_F(WinePhotos, ATiffStandsUprightByItsOrientationThroughTheSystemsCodec) {
  const PhotoFolder folder("turned");
  testing::EncoderFolder encoder;
  ASSERT_TRUE(encoder.Run("convert -size 1024x384 xc:'#2010c0' xc:'#c02010' -append -orient BottomRight "
                          "-compress lzw tiff:out"));
  std::filesystem::copy_file(encoder.Path() / "out", folder.Path() / "turned.tif");
  StoreFolder(folder);
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  EXPECT_TRUE(Eventually([&] { return Near(Take(510, 150, 4, 4), 0xC02010) && Near(Take(510, 600, 4, 4), 0x2010C0); },
                         std::chrono::seconds(10), std::chrono::milliseconds(50)))
      << "top " << Take(510, 150, 4, 4).sum << ", bottom " << Take(510, 600, 4, 4).sum;
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

// A photo in the colours it was taken in: a JPEG of the sRGB green 40, 200,
// 60 converted by ImageMagick into Adobe RGB (the numbers 117, 199, 75)
// with colord's profile embedded shows that green, not its numbers.
TEST_F(WinePhotos, AnAdobeRgbJpegShowsTheColoursItsProfileDescribes) {
  const PhotoFolder folder("profiled");
  testing::EncoderFolder encoder;
  ASSERT_TRUE(encoder.Run("convert -size 1024x768 xc:'rgb(40,200,60)' -profile /usr/share/color/icc/colord/sRGB.icc "
                          "-profile /usr/share/color/icc/colord/AdobeRGB1998.icc -quality 98 jpeg:out"));
  std::filesystem::copy_file(encoder.Path() / "out", folder.Path() / "adobe.jpg");
  StoreFolder(folder);
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  Sample shown;
  EXPECT_TRUE(Eventually(
      [&] {
        shown = Take(510, 382, 4, 4);
        return Near(shown, 0x28C83C, 40);
      },
      std::chrono::seconds(10), std::chrono::milliseconds(50)))
      << "shown " << shown.sum / std::max(1L, shown.total) << ", the green weighs " << Weighed(0x28C83C)
      << ", the numbers as they are " << Weighed(0x75C74B);
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

// Photos of 100 megapixels (a medium-format camera's) show: a PNG read by
// the saver row by row and a TIFF through the system's codec in bands. They
// are read beside the slideshow: a key that falls while the PNG is decoded
// again ends the saver at once.
TEST_F(WinePhotos, HundredMegapixelPhotosShowAndAKeyMidDecodeEndsTheSaver) {
  const PhotoFolder folder("large");
  testing::PngRecipe recipe;
  recipe.width = 12240;
  recipe.height = 8160;
  recipe.alpha = false;
  recipe.colour = [](int, int) { return 0x10C020u; };
  const auto png = testing::MakePng(recipe);
  std::ofstream(folder.Path() / "1.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  testing::EncoderFolder encoder;
  ASSERT_TRUE(encoder.Run("convert -size 12240x8160 xc:'#c02010' -depth 8 -compress lzw tiff:out"));
  std::filesystem::copy_file(encoder.Path() / "out", folder.Path() / "2.tif");
  StoreFolder(folder);
  const auto pid = Launch("/s");
  for (const std::uint32_t colour : {0x10C020u, 0xC02010u}) {
    ASSERT_TRUE(Eventually([&] { return Near(Take(510, 382, 4, 4), colour); }, std::chrono::seconds(60),
                           std::chrono::milliseconds(50)))
        << std::hex << colour << " never showed";
  }
  // The PNG is being decoded again once the saver has spent half a second
  // of processor time more: in a saver that read photos when due, too.
  const pid_t unixPid = testing::ProcessWithCommandLine("orvanel.scr /s");
  ASSERT_NE(unixPid, 0) << "the saver's process was not found";
  const double cpu = testing::CpuSeconds(unixPid);
  ASSERT_TRUE(Eventually([&] { return testing::CpuSeconds(unixPid) - cpu >= 0.5; }, std::chrono::seconds(30),
                         std::chrono::milliseconds(20)));
  const auto pressed = std::chrono::steady_clock::now();
  ASSERT_EQ(std::system("xdotool key a >/dev/null 2>&1"), 0);
  EXPECT_EQ(AwaitExit(pid, 10000), "exited 0");
  // Generous for a loaded machine: a key that waited for the decode took seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(1500));
}

// The caption as a person reads it: the photo's Exif date in the long form
// the system's own GetDateFormat gives for the user's locale, and its
// folder (Zürich, its ü read as u or not at all), in the bottom right
// corner of a 3:2 photo of 900 x 600 that fills the screen, cropped at its
// sides, where fitting it whole would leave bars.
TEST_F(WinePhotos, ACaptionIsReadOffTheScreenOverAPhotoThatFillsIt) {
  const PhotoFolder folder("caption");
  constexpr std::uint32_t kColour = 0x6A4A3A;
  testing::JpegRecipe recipe;
  recipe.width = 900;
  recipe.height = 600;
  recipe.dateTaken = "2019:10:15 18:30:00";
  recipe.colour = [](int, int) { return kColour; };
  const auto bytes = testing::MakeJpeg(recipe);
  // A folder's name outside ASCII, which the saver reads in the ANSI code page.
  std::filesystem::create_directories(folder.Path() / "Zürich");
  std::ofstream(folder.Path() / "Zürich" / "a.jpg", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  StoreFolder(folder);
  ASSERT_EQ(StoreSetting(place, "Speed", "5"), "ok");
  ASSERT_EQ(StoreSetting(place, "Caption", "2"), "ok");
  ASSERT_EQ(StoreSetting(place, "Fill", "1"), "ok");
  const std::string date = session->Command("longdate 2019 10 15");
  ASSERT_NE(testing::LettersAndDigits(date).find("2019"), std::string::npos) << date;
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  const auto reads = [&](const std::string& words) {
    return testing::LettersAndDigits(testing::ReadScreenText(512, 700, 512, 68)).find(words) != std::string::npos;
  };
  EXPECT_TRUE(Eventually([&] { return reads(testing::LettersAndDigits(date)) && reads("rich"); },
                         std::chrono::seconds(20), std::chrono::milliseconds(250)))
      << date << " | " << testing::ReadScreenText(512, 700, 512, 68);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1016, 0}, std::pair{0, 760}, std::pair{508, 380}}) {
    const Sample corner = Take(x, y, 8, 8);
    EXPECT_TRUE(Near(corner, kColour, 40)) << x << "," << y << ": " << corner.sum / std::max(1L, corner.total);
  }
  session->Command("post " + main + " 16");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
}

}  // namespace
}  // namespace orvanel::wine
