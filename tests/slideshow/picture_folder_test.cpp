// The user's pictures folder on the simulated desktop.
//   Listing: the folder and those below it in name order (numbers by value),
//            hidden entries left out, a link back up the tree followed once,
//            no file opened; the depth and file-count limits; a desktop that
//            cannot tell folders apart.
//   Rotation: sequential and random order over the listed files, with wrap.
//   Bad files: skipped within the same job, never a box, left out of later
//              cycles; a folder of bad files, a missing one or an empty one
//              gives the built-in pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "slideshow/picture_count.h"
#include "slideshow/picture_folder.h"
#include "slideshow/showimg.h"
#include "support/jpeg_writer.h"
#include "support/slideshow_fixture.h"

namespace orvanel::slideshow {
namespace {

using testing::JpegRecipe;
using testing::SlideshowFixture;

class PictureFolder : public SlideshowFixture {
 protected:
  void WriteText(const std::string& path, const std::string& text) {
    Write(path, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  // A photo of one colour, as large as the monitor so that it covers it.
  void WritePhoto(const std::string& path, std::uint32_t colour) {
    JpegRecipe recipe;
    recipe.width = 1024;
    recipe.height = 768;
    recipe.colour = [colour](int, int) { return colour; };
    Write(path, testing::MakeJpeg(recipe));
  }
  bool ShowOn(int monitor) {
    auto* window = saver().PictureWindow(monitor);
    return ShowPicture(saver(), window->GetCanvas(), window->ClientRect(), saver().picturePool,
                       PicturesInRotation(saver()), saver().pictureIndex, monitor);
  }
  // The middle of monitor 0 as 0xRRGGBB.
  std::uint32_t Shown() {
    const platform::ColorRef c = desktop.PixelAt(main().Handle(), {512, 384});
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }
  static bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
      if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 6) return false;
    }
    return true;
  }
  std::vector<std::string> Names(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const auto& path : paths) names.push_back(path.substr(path.find("Photos\\") + 7));
    return names;
  }
};

TEST_F(PictureFolder, NamesAreOrderedAsPeopleReadThem) {
  const std::vector<std::string> sorted = {"a", "a1", "ab", "B", "c1", "IMG_0", "IMG_00", "IMG_2",
                                           "img_02b", "IMG_10", "IMG_100", "z"};
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    for (std::size_t j = 0; j < sorted.size(); ++j) {
      EXPECT_EQ(NameBefore(sorted[i], sorted[j]), i < j) << sorted[i] << " / " << sorted[j];
    }
  }
  // Names equal but for case or zeros still have an order, one way only.
  EXPECT_NE(NameBefore("IMG_2", "img_02"), NameBefore("img_02", "IMG_2"));
  EXPECT_NE(NameBefore("Photo", "photo"), NameBefore("photo", "Photo"));
}

TEST_F(PictureFolder, TheListingWalksSubfoldersInNameOrderWithoutOpeningAFile) {
  platform::sim::SimProcess process(desktop, "orvanel.scr");
  WriteText("C:\\Photos\\IMG_10.jpg", "x");
  WriteText("C:\\Photos\\IMG_9.jpg", "x");
  WriteText("C:\\Photos\\Holiday 2\\b.png", "x");
  WriteText("C:\\Photos\\Holiday 2\\a.jpg", "x");
  WriteText("C:\\Photos\\holiday 10\\c.jpg", "x");
  WriteText("C:\\Photos\\Thumbs.db", "x");
  WriteText("C:\\Photos\\Hidden\\d.jpg", "x");
  std::filesystem::create_directories(desktop.HostPath("C:\\Photos\\Empty"));
  desktop.SetHidden("C:\\Photos\\Thumbs.db");
  desktop.SetHidden("C:\\Photos\\Hidden");
  // A link back to the top: its files are listed once, not again and again.
  std::filesystem::create_directory_symlink(desktop.HostPath("C:\\Photos"), desktop.HostPath("C:\\Photos\\Loop"));
  desktop.filesRead.clear();

  const auto files = ListPictures(process, "C:\\Photos");
  EXPECT_EQ(Names(files), (std::vector<std::string>{"Holiday 2\\a.jpg", "Holiday 2\\b.png", "holiday 10\\c.jpg",
                                                    "IMG_9.jpg", "IMG_10.jpg"}));
  EXPECT_TRUE(desktop.filesRead.empty());
  EXPECT_TRUE(ListPictures(process, "C:\\Nowhere").empty());
  EXPECT_TRUE(ListPictures(process, "C:\\Photos\\Empty").empty());
  EXPECT_TRUE(ListPictures(process, "").empty());
  desktop.SetUnreadable("C:\\Photos");
  EXPECT_TRUE(ListPictures(process, "C:\\Photos").empty());
}

TEST_F(PictureFolder, SequentialOrderShowsTheFilesInTurnAndWraps) {
  const std::uint32_t colours[] = {0xC03020, 0x20C030, 0x3020C0};
  WritePhoto("C:\\Photos\\1.jpg", colours[0]);
  WritePhoto("C:\\Photos\\2.jpg", colours[1]);
  WritePhoto("C:\\Photos\\10.jpg", colours[2]);
  Start("/s", {8, false, false, "C:\\Photos"});
  for (int i = 0; i < 7; ++i) {
    ASSERT_TRUE(ShowOn(0));
    EXPECT_EQ(saver().pictureIndex, i % 3);
    EXPECT_TRUE(Near(Shown(), colours[i % 3])) << i << ": " << std::hex << Shown();
  }
  EXPECT_EQ(PicturesInRotation(saver()), 3);
  EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(PictureFolder, RandomOrderShowsEveryFileOnceACycle) {
  for (int i = 0; i < 12; ++i) {
    JpegRecipe recipe;
    recipe.colour = [i](int, int) { return static_cast<std::uint32_t>(i * 20) << 8; };
    Write("C:\\Photos\\" + std::to_string(i) + ".jpg", testing::MakeJpeg(recipe));
  }
  Start("/s", {8, true, false, "C:\\Photos"});
  for (int cycle = 0; cycle < 2; ++cycle) {
    std::set<int> shown;
    for (int i = 0; i < 12; ++i) {
      ASSERT_TRUE(ShowOn(0));
      shown.insert(saver().pictureIndex);
    }
    EXPECT_EQ(shown.size(), 12u) << "cycle " << cycle;
  }
}

TEST_F(PictureFolder, ABadFileIsPassedOverInTheSameJobAndNeverReported) {
  WritePhoto("C:\\Photos\\a.jpg", 0xC03020);
  WriteText("C:\\Photos\\b.jpg", "a text file that calls itself a photo");
  Write("C:\\Photos\\c.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00});  // cut off after its start
  WritePhoto("C:\\Photos\\d.jpg", 0x20C030);
  WritePhoto("C:\\Photos\\e.jpg", 0x3020C0);
  WritePhoto("C:\\Photos\\f.jpg", 0x808020);
  Start("/s", {8, false, false, "C:\\Photos"});
  std::vector<int> shown;
  // Removed and made unreadable after the listing, before their turn.
  std::filesystem::remove(desktop.HostPath("C:\\Photos\\e.jpg"));
  desktop.SetUnreadable("C:\\Photos\\f.jpg");
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(ShowOn(0));
    shown.push_back(saver().pictureIndex);
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 3, 0, 3}));
  EXPECT_TRUE(Near(Shown(), 0x20C030));
  EXPECT_TRUE(desktop.messageBoxes.empty());
  // Known bad files are not read again.
  desktop.filesRead.clear();
  ASSERT_TRUE(ShowOn(0));
  EXPECT_EQ(std::set<std::string>(desktop.filesRead.begin(), desktop.filesRead.end()),
            std::set<std::string>{"C:\\Photos\\a.jpg"});
}

// A phone's folder holds videos and sidecar files beside its photos: once
// looked at, they are left out of every later cycle rather than drawn and
// passed over again, each draw costing a walk of the whole rotation.
TEST_F(PictureFolder, FilesThatFailedAreLeftOutOfLaterCycles) {
  WritePhoto("C:\\Photos\\a.jpg", 0xC03020);
  WritePhoto("C:\\Photos\\b.jpg", 0x20C030);
  for (int i = 0; i < 30; ++i) WriteText("C:\\Photos\\clip" + std::to_string(i) + ".mp4", "not a photo");
  Start("/s", {8, true, false, "C:\\Photos"});
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(ShowOn(0));
    for (const std::string& left : saver().picturePool) {
      EXPECT_FALSE(saver().unusablePictures[static_cast<std::size_t>(std::stoi(left))]) << "after show " << i;
    }
  }
  EXPECT_EQ(std::count(saver().unusablePictures.begin(), saver().unusablePictures.end(), true), 30);
}

TEST_F(PictureFolder, AFolderWithoutAPictureToShowGivesTheBuiltInPictures) {
  WriteText("C:\\Photos\\notes.txt", "no photo here");
  WriteText("C:\\Photos\\fake.png", "not a PNG");
  for (const char* folder : {"C:\\Photos", "C:\\Gone", "C:\\Photos\\Empty"}) {
    std::filesystem::create_directories(desktop.HostPath("C:\\Photos\\Empty"));
    Start("/s", {8, false, false, folder});
    ASSERT_TRUE(ShowOn(0)) << folder;
    EXPECT_EQ(PicturesInRotation(saver()), PictureCount) << folder;
    EXPECT_EQ(saver().pictureIndex, 0) << folder;
    ASSERT_TRUE(ShowOn(0));
    EXPECT_EQ(saver().pictureIndex, 1) << folder;
    EXPECT_TRUE(desktop.messageBoxes.empty()) << folder;
    instance.reset();
  }
}

// Folders made up as they are listed, under "V:": a chain of folders each
// holding one file and the next folder, and a share of more files than the
// listing keeps.
class VirtualFoldersProcess : public platform::sim::SimProcess {
 public:
  explicit VirtualFoldersProcess(platform::sim::SimDesktop& desktop) : SimProcess(desktop, "orvanel.scr /s") {}

  platform::FolderListing ListFolder(const std::string& path) override {
    listed.push_back(path);
    platform::FolderListing listing;
    listing.readable = true;
    listing.identity = identities ? path : "";
    const auto add = [&](const std::string& name, bool folder) {
      listing.entries.push_back({path + "\\" + name, name, folder, false, identities && folder ? path + "\\" + name : ""});
    };
    if (path.starts_with("V:\\Deep")) {
      add("photo.jpg", false);
      if (std::count(path.begin(), path.end(), '\\') < 80) add("next", true);
    } else if (path == "V:\\Share") {
      for (const char* folder : {"a", "b", "c"}) add(folder, true);
    } else if (path == "V:\\Share\\a") {
      for (std::size_t i = 0; i < kMaxPictureFiles - 2; ++i) add(std::to_string(i) + ".jpg", false);
    } else if (path == "V:\\Share\\b") {
      for (const char* file : {"x.jpg", "y.jpg", "z.jpg", "zz.jpg"}) add(file, false);
    } else if (path == "V:\\Twins") {
      for (const char* folder : {"one", "two"}) add(folder, true);
    } else if (path.starts_with("V:\\Twins\\")) {
      add("photo.jpg", false);
    }
    return listing;
  }

  bool identities = true;
  std::vector<std::string> listed;
};

// Sixty-four levels below the chosen folder are listed and no more: a link
// loop the desktop cannot see, or a tree of absurd depth, ends there.
TEST_F(PictureFolder, FoldersBelowTheDepthLimitAreNotListed) {
  VirtualFoldersProcess process(desktop);
  const auto files = ListPictures(process, "V:\\Deep");
  EXPECT_EQ(files.size(), static_cast<std::size_t>(kMaxFolderDepth) + 1);  // depths 0 to 64
  EXPECT_EQ(process.listed.size(), static_cast<std::size_t>(kMaxFolderDepth) + 1);
}

// A share of more files than the listing keeps: it stops at the limit in the
// middle of a folder, and lists no folder after it.
TEST_F(PictureFolder, TheListingStopsAtItsLimitOfFiles) {
  VirtualFoldersProcess process(desktop);
  const auto files = ListPictures(process, "V:\\Share");
  ASSERT_EQ(files.size(), kMaxPictureFiles);
  EXPECT_EQ(files[kMaxPictureFiles - 3], "V:\\Share\\a\\999997.jpg");
  EXPECT_EQ(files[kMaxPictureFiles - 2], "V:\\Share\\b\\x.jpg");
  EXPECT_EQ(files.back(), "V:\\Share\\b\\y.jpg");
  EXPECT_EQ(std::count(process.listed.begin(), process.listed.end(), "V:\\Share\\c"), 0);
}

// Without identities, two folders cannot be told from each other; both are
// listed, as a link loop is then left to the depth limit.
TEST_F(PictureFolder, FoldersWithoutIdentitiesAreAllListed) {
  VirtualFoldersProcess process(desktop);
  process.identities = false;
  const auto files = ListPictures(process, "V:\\Twins");
  EXPECT_EQ(files, (std::vector<std::string>{"V:\\Twins\\one\\photo.jpg", "V:\\Twins\\two\\photo.jpg"}));
}

// The dialog's count walks beside the dialog, looking at each file once: at
// 20 ms a look, the count grows as the walk goes and the dialog's clock
// moves only in its own waits. A BMP whose header claims more pixels than
// a photo decoded whole may have is never shown, and not counted.
TEST_F(PictureFolder, APictureCountLooksAtEachFileOnceBesideTheDialog) {
  WritePhoto("C:\\Photos\\a.jpg", 0xC03020);
  for (int i = 0; i < 40; ++i) WriteText("C:\\Photos\\clip" + std::to_string(i) + ".mp4", "not a photo");
  // The file's header and a 40-byte info header: 10000 x 10000 pixels of 8
  // bits, run-length coded, which is decoded whole.
  std::string huge = "BM";
  const auto le32 = [&huge](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) huge += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  le32(54 + 30000u * 10000u);
  le32(0);
  le32(54);
  le32(40);
  le32(10000);
  le32(10000);
  le32(1 | 8 << 16);
  le32(1);
  for (int i = 0; i < 5; ++i) le32(0);
  WriteText("C:\\Photos\\huge.bmp", huge);
  WritePhoto("C:\\Photos\\Later\\b.jpg", 0x20C030);
  Start("/c", {8, false, false, ""});
  desktop.SetReadCost(20);
  desktop.filesRead.clear();
  FolderPictureCount count(saver(), "C:\\Photos", main().Handle());
  std::vector<std::size_t> counts;
  while (!count.LookFurther()) {
    counts.push_back(count.Found());
    saver().desktop.SleepUntilMessage(10, false);
    saver().app.ProcessMessages();
  }
  EXPECT_EQ(count.Found(), 2u);
  EXPECT_EQ(counts.front(), 0u);
  EXPECT_NE(std::find(counts.begin(), counts.end(), 1u), counts.end());  // a, before b was looked at
  std::map<std::string, int> looks;
  for (const std::string& path : desktop.filesRead) ++looks[path];
  EXPECT_EQ(looks.size(), 43u);
  for (const auto& [path, times] : looks) EXPECT_EQ(times, 1) << path;
}

}  // namespace
}  // namespace orvanel::slideshow
