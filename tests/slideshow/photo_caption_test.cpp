// The caption of a photo of the user's folder.
//   Text: the folder below the chosen one (or the chosen one's own name),
//         names outside ASCII, the date and folder joined or alone.
//   Size and place: 2.5 % of the area's height, in each corner, never
//                   outside a picture too small for it.
//   Drawing: white glyphs over a dark halo, legible on white and on black,
//            in every pixel layout, clipped at the picture's edges.
//   Slideshow: the Exif date, else the file's time, in the desktop's long
//              form; the corner moving on with each picture; none for the
//              built-in pictures or with the caption off; fill leaves no bars.
#include "slideshow/photo_caption.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "slideshow/caption_drawing.h"
#include "slideshow/showimg.h"
#include "support/jpeg_writer.h"
#include "support/slideshow_fixture.h"

namespace orvanel::slideshow {
namespace {

using instance::CaptionKind;
using platform::Point;

TEST(CaptionText, NamesThePhotosFolderBelowTheChosenOne) {
  struct Case {
    const char* chosen;
    const char* photo;
    const char* folder;
  };
  const Case cases[] = {
      {"C:\\Photos", "C:\\Photos\\a.jpg", "Photos"},
      {"C:\\Photos\\", "C:\\Photos\\a.jpg", "Photos"},
      {"C:\\Photos", "C:\\Photos\\2019\\Rome\\a.jpg", "2019\\Rome"},
      {"/home/me/Bilder", "/home/me/Bilder/Été 2019/Zürich/b.heic", "Été 2019/Zürich"},
      {"/home/me/写真", "/home/me/写真/東京.jpg", "写真"},
      {"/home/me/写真/", "/home/me/写真/旅行/東京.jpg", "旅行"},
      // A name that merely begins like the chosen folder is not below it.
      {"C:\\Photo", "C:\\Photos\\a.jpg", "Photos"},
      {"/", "/a.jpg", "/"},
      {"/", "/x/y/a.jpg", "x/y"},
      {"D:\\", "D:\\Trips\\a.jpg", "Trips"},
  };
  for (const Case& c : cases) EXPECT_EQ(CaptionFolder(c.chosen, c.photo), c.folder) << c.photo;

  EXPECT_EQ(CaptionText(CaptionKind::kNone, "9 December 2026", "Rome"), "");
  EXPECT_EQ(CaptionText(CaptionKind::kDate, "9 December 2026", "Rome"), "9 December 2026");
  EXPECT_EQ(CaptionText(CaptionKind::kDateAndFolder, "9 December 2026", "Été/Zürich"),
            "9 December 2026  |  Été/Zürich");
  EXPECT_EQ(CaptionText(CaptionKind::kDateAndFolder, "", "Rome"), "Rome");
  EXPECT_EQ(CaptionText(CaptionKind::kDate, "", "Rome"), "");
}

TEST(CaptionPlace, FollowsTheAreasHeightAndSitsInEachCorner) {
  EXPECT_EQ(CaptionLineHeight(1080), 27);
  EXPECT_EQ(CaptionLineHeight(768), 19);
  EXPECT_EQ(CaptionLineHeight(2160), 54);
  EXPECT_EQ(CaptionLineHeight(112), kSmallestCaptionLine);  // a preview

  const PictureSize picture{400, 300}, caption{100, 20};
  struct Case {
    CaptionCorner corner;
    Point at;
  };
  for (const Case& c : {Case{CaptionCorner::kBottomRight, {290, 270}}, Case{CaptionCorner::kBottomLeft, {10, 270}},
                        Case{CaptionCorner::kTopLeft, {10, 10}}, Case{CaptionCorner::kTopRight, {290, 10}}}) {
    const auto at = PlaceCaption(picture, caption, 10, c.corner);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->x, c.at.x);
    EXPECT_EQ(at->y, c.at.y);
  }
  EXPECT_FALSE(PlaceCaption({119, 300}, caption, 10, CaptionCorner::kTopLeft));
  EXPECT_FALSE(PlaceCaption({400, 39}, caption, 10, CaptionCorner::kTopLeft));
  EXPECT_TRUE(PlaceCaption({120, 40}, caption, 10, CaptionCorner::kTopLeft));
}

// A picture of one grey in a given pixel layout.
struct Picture {
  Picture(std::int32_t width, std::int32_t height, platform::PixelLayout layout, std::uint8_t grey)
      : width(width), height(height), step(layout == platform::PixelLayout::kBgr24 ? 3 : 4),
        bytes(static_cast<std::size_t>(width * height * step), grey), layout(layout) {}
  platform::PixelRows Rows() { return {bytes.data(), width * step, layout}; }
  const std::uint8_t* At(int x, int y) const { return bytes.data() + (y * width + x) * step; }
  std::int32_t width, height, step;
  std::vector<std::uint8_t> bytes;
  platform::PixelLayout layout;
};

// A block of full coverage, as a glyph's stroke.
platform::TextMask Block(std::int32_t width, std::int32_t height) {
  return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height), 255)};
}

TEST(CaptionDrawing, WhiteTextOverADarkHaloIsLegibleOnWhiteAndOnBlack) {
  const platform::TextMask text = Block(10, 16);
  const int radius = CaptionHaloRadius(16);
  for (auto layout : {platform::PixelLayout::kBgr24, platform::PixelLayout::kBgrx32, platform::PixelLayout::kRgbx32}) {
    for (std::uint8_t grey : {std::uint8_t{0}, std::uint8_t{255}}) {
      Picture picture(40, 40, layout, grey);
      DrawCaption(picture.Rows(), picture.width, picture.height, text, {15, 12});
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(picture.At(20, 20)[c], 255);  // the glyph
        // Next to the glyph the halo darkens a white photo.
        if (grey == 255) {
          EXPECT_LT(picture.At(15 - 1, 20)[c], 128);
        }
        EXPECT_EQ(picture.At(15 - radius - 2, 20)[c], grey);  // beyond the halo, untouched
        EXPECT_EQ(picture.At(20, 12 + 16 + radius + 1)[c], grey);
      }
      if (picture.step == 4) {
        EXPECT_EQ(picture.At(20, 20)[3], grey);  // the unused byte
      }
    }
  }
}

TEST(CaptionDrawing, ACaptionPastThePicturesEdgesIsClippedToIt) {
  // A picture of 20 x 20 in the middle of rows three times as long and
  // high: whatever the caption writes outside the picture lands in the
  // margin around it, which must keep its grey.
  constexpr int kSide = 20, kStep = 4;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(3 * kSide * 3 * kSide * kStep), 128);
  const std::ptrdiff_t stride = 3 * kSide * kStep;
  const platform::PixelRows rows{canvas.data() + kSide * stride + kSide * kStep, stride,
                                 platform::PixelLayout::kBgrx32};
  const platform::TextMask text = Block(30, 30);
  for (Point at : {Point{-10, -10}, Point{5, 5}, Point{-40, 0}, Point{25, 25}, Point{0, -35}}) {
    DrawCaption(rows, kSide, kSide, text, at);
  }
  int inside = 0;
  for (int y = 0; y < 3 * kSide; ++y) {
    for (int x = 0; x < 3 * kSide; ++x) {
      const std::uint8_t value = canvas[static_cast<std::size_t>(y * stride + x * kStep)];
      const bool picture = x >= kSide && x < 2 * kSide && y >= kSide && y < 2 * kSide;
      if (picture) {
        inside += value == 255;
      } else {
        ASSERT_EQ(value, 128) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inside, 0);
}

class PhotoCaptions : public testing::SlideshowFixture {
 protected:
  void WritePhoto(const std::string& path, int width, int height, const std::string& dateTaken = "") {
    testing::JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.dateTaken = dateTaken;
    const auto bytes = testing::MakeJpeg(recipe);  // grey 0x808080
    const auto host = desktop.HostPath(path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  }
  bool ShowOn(int monitor) {
    auto* window = saver().PictureWindow(monitor);
    return ShowPicture(saver(), window->GetCanvas(), window->ClientRect(), saver().picturePool,
                       PicturesInRotation(saver()), saver().pictureIndex, monitor);
  }
  std::uint8_t Green(Point at) { return desktop.PixelAt(main().Handle(), at) >> 8 & 0xFF; }
  // What the simulated desktop's glyph cells along the middle of a line show
  // from `at` on: '#' for a covered cell, ' ' for an empty one.
  std::string Cells(Point at, std::size_t count, int line) {
    std::string cells;
    for (std::size_t i = 0; i < count; ++i) {
      const Point middle{at.x + static_cast<int>(i) * (line / 2) + line / 4, at.y + line / 2};
      cells += Green(middle) > 240 ? '#' : Green(middle) > 100 ? ' ' : '?';
    }
    return cells;
  }
  // The cells a text gives: one for each code point.
  static std::string CellsOf(const std::string& text) {
    std::string cells;
    for (unsigned char c : text) {
      if ((c & 0xC0) != 0x80) cells += c == ' ' ? ' ' : '#';
    }
    return cells;
  }
  // The long date a test's desktop writes, and the dates it was asked for.
  void RecordDates() {
    desktop.SetLongDate([this](const platform::DateTime& date) {
      asked.push_back(date);
      return "D" + std::to_string(date.day) + "." + std::to_string(date.month) + "." + std::to_string(date.year);
    });
  }
  std::vector<platform::DateTime> asked;
};

TEST_F(PhotoCaptions, TheDateTakenElseTheFilesTimeWithTheFolderMovingOnEachPicture) {
  WritePhoto("C:\\Photos\\b.jpg", 1024, 768);
  desktop.SetModifiedTime("C:\\Photos\\b.jpg", {2021, 3, 4, 12, 0, 0, 0});
  WritePhoto("C:\\Photos\\Été 2019\\Zürich\\c.jpg", 1024, 768, "2019:08:15 18:30:00");
  desktop.SetModifiedTime("C:\\Photos\\Été 2019\\Zürich\\c.jpg", {2024, 1, 2, 12, 0, 0, 0});
  RecordDates();
  Start("/s", {8, false, false, "C:\\Photos", CaptionKind::kDateAndFolder});
  const std::string first = "D4.3.2021  |  Photos";
  const std::string second = "D15.8.2019  |  Été 2019\\Zürich";
  // 2.5 % of 768 is a line of 19 pixels, 9 from the edges; the simulated
  // desktop's cells are 9 pixels wide.
  const int line = 19, inset = 9, cell = 9;
  const auto width = [&](const std::string& text) { return static_cast<int>(CellsOf(text).size()) * cell; };
  struct Step {
    const std::string& text;
    Point at;
  };
  const Step steps[] = {
      {first, {1024 - inset - width(first), 768 - inset - line}},    // bottom right
      {second, {inset, 768 - inset - line}},                          // bottom left
      {first, {inset, inset}},                                        // top left
      {second, {1024 - inset - width(second), inset}},                // top right
      {first, {1024 - inset - width(first), 768 - inset - line}},    // and round again
  };
  for (const Step& step : steps) {
    ASSERT_TRUE(ShowOn(0));
    EXPECT_EQ(Cells(step.at, CellsOf(step.text).size(), line), CellsOf(step.text)) << step.text;
    // The cell after the text is the photo's own grey.
    EXPECT_NEAR(Green({step.at.x + width(step.text) + cell / 2 + 2, step.at.y + line / 2}), 0x80, 8);
  }
  ASSERT_EQ(asked.size(), 5u);
  EXPECT_EQ(asked[0], (platform::DateTime{2021, 3, 4, 12, 0, 0, 0}));
  EXPECT_EQ(asked[1], (platform::DateTime{2019, 8, 15, 18, 30, 0, 0}));
}

// A preview's area of 160 x 120 makes the smallest line, 6 pixels, with
// cells 3 wide, 3 from the picture's edges.
TEST_F(PhotoCaptions, ThePreviewDrawsItScaledDown) {
  WritePhoto("C:\\Photos\\a.jpg", 1024, 768);
  desktop.SetModifiedTime("C:\\Photos\\a.jpg", {2021, 3, 4, 12, 0, 0, 0});
  RecordDates();
  Start("/s", {8, false, false, "C:\\Photos", CaptionKind::kDate});
  ASSERT_TRUE(ShowPicture(saver(), main().GetCanvas(), platform::Rect{0, 0, 160, 120}, saver().picturePool,
                          PicturesInRotation(saver()), saver().pictureIndex, PreviewTarget));
  const std::string text = "D4.3.2021";
  const int line = kSmallestCaptionLine, inset = 3, width = static_cast<int>(CellsOf(text).size()) * 3;
  EXPECT_EQ(Cells({160 - inset - width, 120 - inset - line}, CellsOf(text).size(), line), CellsOf(text));
}

TEST_F(PhotoCaptions, NoneForTheBuiltInPicturesOrWithTheCaptionOff) {
  RecordDates();
  Start("/s", {8, false, false, "", CaptionKind::kDateAndFolder});
  ASSERT_TRUE(ShowOn(0));
  EXPECT_TRUE(asked.empty());

  WritePhoto("C:\\Photos\\a.jpg", 1024, 768, "2019:08:15 18:30:00");
  Start("/s", {8, false, false, "C:\\Photos", CaptionKind::kNone});
  ASSERT_TRUE(ShowOn(0));
  EXPECT_TRUE(asked.empty());
  for (Point at : {Point{1000, 750}, Point{20, 750}, Point{20, 15}, Point{1000, 15}}) {
    EXPECT_NEAR(Green(at), 0x80, 8);
  }
}

TEST_F(PhotoCaptions, AFilledPhotoLeavesNoBarsWhereAFittedOneDoes) {
  WritePhoto("C:\\Photos\\a.jpg", 800, 600);
  for (auto mode : {instance::FitMode::kFit, instance::FitMode::kFill}) {
    Start("/s", {8, false, false, "C:\\Photos", CaptionKind::kNone, mode}, {platform::Rect{0, 0, 1024, 576}});
    ASSERT_TRUE(ShowOn(0));
    int black = 0;
    for (Point at : {Point{0, 0}, Point{1023, 575}, Point{0, 288}, Point{1023, 288}, Point{512, 0}}) {
      if (Green(at) < 16) ++black;
    }
    // Fitted, 768 x 576 at a random place along the width: a bar on one side at least.
    if (mode == instance::FitMode::kFill) {
      EXPECT_EQ(black, 0);
    } else {
      EXPECT_GE(black, 2);
    }
  }
}

}  // namespace
}  // namespace orvanel::slideshow
