// Photos in the formats phones, cameras and the web make, each file made by
// the format's own encoder, fitted as the saver fits a file of the folder.
//   Colours: lossy and lossless, every bit depth and compression an encoder
//            offers, give the photo's quarters where they belong; each kind
//            is held whole only where its decoder must hold it.
//   Reduction: halved by 2 x 2 blocks while at least the size needed, then by area.
//   Orientation: HEIF's transforms, TIFF's tag and a WebP's Exif chunk each
//                stand the photo upright, and only once.
//   Transparency over black; of an animation, its first frame.
//   Bad files of each format are passed over; other files cost one look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/photo/exif_orientation.h"
#include "platform/photo/halving_sink.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/ycbcr_rows.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_drawing.h"
#include "platform/sim/sim_process.h"
#include "slideshow/photo_fit.h"
#include "support/encoded_photo.h"
#include "support/jpeg_writer.h"
#include "support/png_writer.h"

namespace orvanel::slideshow {
namespace {

using testing::Encode;
using testing::EncoderFolder;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;
constexpr int kWidth = 64, kHeight = 48;

// Red, green, blue and white quarters, top left, top right, bottom left,
// bottom right, as the file stores them.
std::uint32_t Quarters(int x, int y) {
  const bool right = x >= kWidth / 2;
  const bool bottom = y >= kHeight / 2;
  return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
}

Bytes QuartersPng() {
  testing::PngRecipe recipe;
  recipe.width = kWidth;
  recipe.height = kHeight;
  recipe.alpha = false;
  recipe.colour = [](int x, int y) { return 0xFF000000u | Quarters(x, y); };
  return testing::MakePng(recipe);
}

// The Exif block of a turned photo, as the TIFF structure other formats hold.
Bytes ExifTiff(int orientation) {
  const auto block = testing::ExifOrientationBlock(orientation);
  return Bytes(block.begin() + 6, block.end());
}

class PhotoFormatsTest : public ::testing::Test {
 protected:
  std::optional<FittedPicture> Fit(const Bytes& bytes, std::int32_t width = 640, std::int32_t height = 480) {
    return FitPhoto(process, platform::photo::MemorySource(bytes), width, height);
  }
  static std::uint32_t At(const FittedPicture& fitted, int x, int y) {
    const auto& pixels = static_cast<platform::sim::SimBitmap&>(*fitted.bitmap).Pixels();
    const platform::ColorRef c = pixels[static_cast<std::size_t>(y) * fitted.width + x];
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }
  static bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 24) {
    for (int shift : {0, 8, 16}) {
      if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) {
        return false;
      }
    }
    return true;
  }
  // The four quarters' middles as a viewer sees them.
  static std::vector<std::uint32_t> QuarterColours(const FittedPicture& fitted) {
    const int w = fitted.width, h = fitted.height;
    return {At(fitted, w / 4, h / 4), At(fitted, 3 * w / 4, h / 4), At(fitted, w / 4, 3 * h / 4),
            At(fitted, 3 * w / 4, 3 * h / 4)};
  }
  static void ExpectQuarters(const FittedPicture& fitted, const std::vector<std::uint32_t>& want,
                             const std::string& label) {
    const auto seen = QuarterColours(fitted);
    for (std::size_t i = 0; i < want.size(); ++i) {
      EXPECT_TRUE(Near(seen[i], want[i])) << label << ": quarter " << i << " is " << std::hex << seen[i];
    }
  }

  platform::sim::SimDesktop desktop;
  platform::sim::SimProcess process{desktop, "orvanel.scr /s"};
};

struct Recipe {
  const char* label;
  const char* command;  // from in.png to out
  // Whether its decoder holds the photo whole, not row by row, which limits
  // how large a photo of the kind may be.
  bool heldWhole = false;
};

// The header a decoder hands on, the photo then refused.
class HeaderRecord : public platform::photo::PhotoTarget {
 public:
  std::optional<platform::photo::PhotoSize> Plan(const platform::photo::PhotoHeader& header) override {
    seen = header;
    return std::nullopt;
  }
  platform::photo::RowSink* Sink() override { return nullptr; }
  std::optional<platform::photo::PhotoHeader> seen;
};

// One file of each format and of the kinds its encoder makes.
constexpr Recipe kEachKind[] = {
    {"PNG interlaced", "convert in.png -interlace PNG png24:out", true},
    {"PNG 16 bits", "convert in.png -depth 16 png48:out"},
    {"PNG 16 bits with alpha", "convert in.png -depth 16 -alpha on png64:out"},
    {"PNG palette", "convert in.png -type palette png8:out"},
    {"PNG with alpha", "convert in.png -alpha on png32:out"},
    {"WebP lossy", "cwebp -quiet -q 95 in.png -o out"},
    {"WebP lossless", "cwebp -quiet -lossless in.png -o out"},
    {"HEIC", "heif-enc -q 95 in.png -o out.heic && mv out.heic out", true},
    {"AVIF", "avifenc -s 10 --min 0 --max 10 in.png out.avif && mv out.avif out", true},
    {"AVIF lossless", "avifenc -s 10 --lossless in.png out.avif && mv out.avif out", true},
    {"TIFF", "convert in.png -compress none tiff:out"},
    {"TIFF LZW", "convert in.png -compress lzw tiff:out"},
    {"TIFF deflate, 16 bits", "convert in.png -depth 16 -compress zip tiff:out"},
    {"TIFF JPEG", "convert in.png -compress jpeg -quality 95 tiff:out"},
    {"TIFF palette", "convert in.png -type palette tiff:out"},
    {"TIFF big-endian", "convert in.png -endian MSB tiff:out"},
    {"BMP 24 bits", "convert in.png bmp3:out"},
    {"BMP palette", "convert in.png -type palette bmp3:out"},
    {"BMP palette of 8 bits", "convert in.png -attenuate 0.5 +noise Uniform -type palette -compress none bmp3:out"},
    {"BMP palette, RLE", "convert in.png -type palette -compress rle bmp3:out", true},
    {"BMP version 5", "convert in.png -type truecolor bmp:out"},
    {"BMP OS/2", "convert in.png bmp2:out"},
    {"GIF", "convert in.png gif:out"},
    {"GIF interlaced", "convert in.png -interlace GIF gif:out", true},
};

TEST_F(PhotoFormatsTest, EachFormatGivesThePhotosColoursWhereTheyBelong) {
  const auto png = QuartersPng();
  for (const Recipe& recipe : kEachKind) {
    const auto file = Encode("in.png", png, recipe.command);
    ASSERT_TRUE(file) << recipe.label << ": " << recipe.command;
    EXPECT_TRUE(platform::photo::IsPhotoStart(*file)) << recipe.label;
    HeaderRecord header;
    platform::photo::DecodePhoto(platform::photo::MemorySource(*file), header);
    ASSERT_TRUE(header.seen) << recipe.label;
    EXPECT_EQ(header.seen->whole, recipe.heldWhole) << recipe.label;
    const auto fitted = Fit(*file);
    ASSERT_TRUE(fitted && fitted->bitmap) << recipe.label;
    EXPECT_EQ(fitted->width, kWidth) << recipe.label;
    EXPECT_EQ(fitted->height, kHeight) << recipe.label;
    ExpectQuarters(*fitted, {kRed, kGreen, kBlue, kWhite}, recipe.label);
  }
}

// A photo larger than the area is reduced by area, as a JPEG is: a fine
// pattern of black and white turns grey.
TEST_F(PhotoFormatsTest, AReducedPhotoOfEachFormatAveragesWhatEachPixelCovers) {
  testing::PngRecipe checks;
  checks.width = 256;
  checks.height = 192;
  checks.alpha = false;
  checks.colour = [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u; };
  const auto png = testing::MakePng(checks);
  for (const char* command : {"cwebp -quiet -lossless in.png -o out", "convert in.png -compress lzw tiff:out",
                              "convert in.png bmp3:out", "convert in.png gif:out",
                              "avifenc -s 10 --lossless in.png out.avif && mv out.avif out"}) {
    const auto file = Encode("in.png", png, command);
    ASSERT_TRUE(file) << command;
    // Halved twice to 64 x 48, then averaged by area to 60 x 45.
    const auto fitted = Fit(*file, 60, 60);
    ASSERT_TRUE(fitted && fitted->bitmap) << command;
    EXPECT_EQ(fitted->width, 60) << command;
    EXPECT_EQ(fitted->height, 45) << command;
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{31, 20}, std::pair{59, 44}}) {
      EXPECT_TRUE(Near(At(*fitted, x, y), 0x808080, 2)) << command << " at " << x << "," << y;
    }
  }
}

// Halving averages each 2 x 2 block, an odd last row or column with itself,
// and stops while the next halving would fall short of the size needed.
TEST(HalvingSink, AveragesBlocksAndStopsAtTheSizeNeeded) {
  // A 3 x 3 grey photo, each value its own.
  const std::uint8_t values[3][3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 91}};
  platform::photo::ImageSink halved(100);
  platform::photo::HalvingSink halving(2, 2, halved);
  ASSERT_TRUE(halving.Begin(3, 3));
  for (const auto& row : values) {
    std::uint8_t rgb[9];
    for (int x = 0; x < 3; ++x) std::fill_n(rgb + 3 * x, 3, row[x]);
    halving.Row(rgb);
  }
  const auto& image = halved.Image();
  ASSERT_EQ(image.width, 2);
  ASSERT_EQ(image.height, 2);
  const int want[2][2] = {{30, 45}, {75, 91}};  // (10+20+40+50)/4, (30+60)/2, (70+80)/2, 91
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      for (int c = 0; c < 3; ++c) EXPECT_EQ(image.Row(y)[3 * x + c], want[y][x]) << x << "," << y;
    }
  }
  struct Case {
    std::int32_t width, height, needWidth, needHeight;
    int halvings;
  };
  for (const Case& c : {Case{4000, 3000, 1440, 1080, 1}, Case{4000, 3000, 960, 720, 2}, Case{8000, 6000, 640, 480, 3},
                        Case{999, 999, 501, 501, 0}, Case{999, 999, 500, 500, 1}, Case{640, 480, 640, 480, 0}}) {
    EXPECT_EQ(platform::photo::HalvingSink::HalvingsFor(c.width, c.height, c.needWidth, c.needHeight), c.halvings)
        << c.width << "x" << c.height << " for " << c.needWidth << "x" << c.needHeight;
  }
}

// The codecs' planes turned to RGB by each matrix and range, against the
// colours H.273's formulas give.
TEST(YCbCrToRgb, EachMatrixAndRangeGivesTheColoursOfItsFormulas) {
  struct Case {
    int matrix;
    bool fullRange;
    std::uint8_t y, cb, cr;
    std::uint8_t red, green, blue;
  };
  const Case cases[] = {
      {6, true, 76, 85, 255, 254, 0, 0},      // BT.601 red
      {6, true, 150, 44, 21, 0, 255, 1},      // BT.601 green
      {6, false, 16, 128, 128, 0, 0, 0},      // limited black
      {6, false, 235, 128, 128, 255, 255, 255},
      {1, false, 63, 102, 240, 255, 0, 0},    // BT.709 red, limited
      {1, true, 18, 255, 116, 0, 0, 255},     // BT.709 blue, full
      {9, true, 67, 91, 255, 255, 0, 0},      // BT.2020 red
      {0, true, 30, 40, 50, 50, 30, 40},      // the identity: green, blue, red planes
  };
  for (const Case& c : cases) {
    const platform::photo::YCbCrToRgb conversion(c.matrix, c.fullRange);
    std::uint8_t rgb[3];
    conversion.Row(&c.y, &c.cb, &c.cr, 1, false, rgb);
    EXPECT_NEAR(rgb[0], c.red, 2) << "matrix " << c.matrix;
    EXPECT_NEAR(rgb[1], c.green, 2) << "matrix " << c.matrix;
    EXPECT_NEAR(rgb[2], c.blue, 2) << "matrix " << c.matrix;
  }
  // Chroma at half the width: each chroma sample serves two pixels.
  const std::uint8_t luma[4] = {76, 76, 150, 150};
  const std::uint8_t cb[2] = {85, 44};
  const std::uint8_t cr[2] = {255, 21};
  std::uint8_t row[12];
  platform::photo::YCbCrToRgb(6, true).Row(luma, cb, cr, 4, true, row);
  EXPECT_GT(row[3], 240);   // the second pixel red, from the first sample
  EXPECT_GT(row[10], 240);  // the fourth green, from the second
}

// What a viewer sees, top left, top right, bottom left, bottom right, of
// the quarters turned by each Exif orientation.
struct Turned {
  int orientation;
  std::vector<std::uint32_t> seen;
  const char* irot;  // avifenc's transforms that turn it the same way
  const char* imir;
  const char* tiff;  // ImageMagick's name of the TIFF orientation
};
const Turned kTurned[] = {
    {1, {kRed, kGreen, kBlue, kWhite}, "", "", "TopLeft"},
    {2, {kGreen, kRed, kWhite, kBlue}, "", "--imir 1", "TopRight"},
    {3, {kWhite, kBlue, kGreen, kRed}, "--irot 2", "", "BottomRight"},
    {4, {kBlue, kWhite, kRed, kGreen}, "", "--imir 0", "BottomLeft"},
    {5, {kRed, kBlue, kGreen, kWhite}, "--irot 1", "--imir 0", "LeftTop"},
    {6, {kBlue, kRed, kWhite, kGreen}, "--irot 3", "", "RightTop"},
    {7, {kWhite, kGreen, kBlue, kRed}, "--irot 3", "--imir 0", "RightBottom"},
    {8, {kGreen, kWhite, kRed, kBlue}, "--irot 1", "", "LeftBottom"},
};

TEST_F(PhotoFormatsTest, EachFormatsOwnOrientationStandsThePhotoUprightOnce) {
  const auto png = QuartersPng();
  for (const Turned& turned : kTurned) {
    const bool sideways = turned.orientation >= 5;
    EncoderFolder folder;
    folder.Write("in.png", png);
    folder.Write("exif", ExifTiff(turned.orientation));
    const std::pair<std::string, std::string> files[] = {
        {"AVIF", std::string("avifenc -s 10 --min 0 --max 10 ") + turned.irot + " " + turned.imir +
                     " in.png out.avif && mv out.avif out"},
        // avifenc turns an Exif orientation into transforms and keeps the
        // Exif block too, as phones write HEIF: it is turned once, not twice.
        {"AVIF with Exif", "avifenc -s 10 --min 0 --max 10 --exif exif in.png out.avif && mv out.avif out"},
        {"TIFF", std::string("convert in.png -orient ") + turned.tiff + " tiff:out"},
        {"WebP", "cwebp -quiet -lossless in.png -o plain.webp && webpmux -set exif exif plain.webp -o out"},
    };
    for (const auto& [format, command] : files) {
      const std::string label = format + " turned " + std::to_string(turned.orientation);
      const auto file = folder.Run(command);
      ASSERT_TRUE(file) << label << ": " << command;
      const auto fitted = Fit(*file);
      ASSERT_TRUE(fitted && fitted->bitmap) << label;
      EXPECT_EQ(fitted->width, sideways ? kHeight : kWidth) << label;
      EXPECT_EQ(fitted->height, sideways ? kWidth : kHeight) << label;
      ExpectQuarters(*fitted, turned.seen, label);
    }
  }
}

// heif-enc keeps a JPEG's Exif block but writes no transform: the HEIC
// stands as stored, its Exif orientation left to readers of Exif alone.
TEST_F(PhotoFormatsTest, AHeicIsNotTurnedByItsExifOrientation) {
  testing::JpegRecipe recipe;
  recipe.width = kWidth;
  recipe.height = kHeight;
  recipe.orientation = 6;
  recipe.colour = [](int x, int y) { return Quarters(x, y); };
  const auto file = Encode("in.jpg", testing::MakeJpeg(recipe), "heif-enc -q 95 in.jpg -o out.heic && mv out.heic out");
  ASSERT_TRUE(file);
  const auto fitted = Fit(*file);
  ASSERT_TRUE(fitted && fitted->bitmap);
  EXPECT_EQ(fitted->width, kWidth);
  ExpectQuarters(*fitted, {kRed, kGreen, kBlue, kWhite}, "HEIC with Exif orientation 6");
}

TEST_F(PhotoFormatsTest, TransparencyOfEachFormatIsShownOverBlack) {
  // Transparent red on the left, opaque green on the right.
  testing::PngRecipe recipe;
  recipe.width = kWidth;
  recipe.height = kHeight;
  recipe.colour = [](int x, int) { return x < kWidth / 2 ? 0x00FF0000u : 0xFF00FF00u; };
  const auto png = testing::MakePng(recipe);
  for (const char* command : {"cwebp -quiet -lossless -exact in.png -o out", "cwebp -quiet -q 95 in.png -o out",
                              "heif-enc -q 95 in.png -o out.heic && mv out.heic out",
                              "avifenc -s 10 --lossless in.png out.avif && mv out.avif out",
                              "convert in.png -compress lzw tiff:out", "convert in.png bmp:out",
                              "convert in.png gif:out"}) {
    const auto file = Encode("in.png", png, command);
    ASSERT_TRUE(file) << command;
    const auto fitted = Fit(*file);
    ASSERT_TRUE(fitted && fitted->bitmap) << command;
    EXPECT_TRUE(Near(At(*fitted, 8, 24), kBlack)) << command << ": " << std::hex << At(*fitted, 8, 24);
    EXPECT_TRUE(Near(At(*fitted, 56, 24), kGreen)) << command << ": " << std::hex << At(*fitted, 56, 24);
  }
}

TEST_F(PhotoFormatsTest, AnAnimationShowsItsFirstFrame) {
  testing::PngRecipe recipe;
  recipe.width = kWidth;
  recipe.height = kHeight;
  recipe.alpha = false;
  recipe.colour = [](int, int) { return 0xFFFF0000u; };
  const auto red = testing::MakePng(recipe);
  recipe.colour = [](int, int) { return 0xFF0000FFu; };
  const auto blue = testing::MakePng(recipe);
  EncoderFolder folder;
  folder.Write("red.png", red);
  folder.Write("blue.png", blue);
  for (const char* command : {"img2webp -lossless red.png blue.png -o out",
                              "convert -delay 10 red.png blue.png -loop 0 gif:out"}) {
    const auto file = folder.Run(command);
    ASSERT_TRUE(file) << command;
    const auto fitted = Fit(*file);
    ASSERT_TRUE(fitted && fitted->bitmap) << command;
    EXPECT_TRUE(Near(At(*fitted, 32, 24), kRed)) << command << ": " << std::hex << At(*fitted, 32, 24);
  }
}

// Cut short, cut to their start, or holding no image: none is shown. A
// damaged one may show or not; under the sanitizers its decoding must read
// and write nothing out of bounds.
TEST_F(PhotoFormatsTest, BadFilesOfEachFormatArePassedOver) {
  const auto png = QuartersPng();
  for (const Recipe& recipe : kEachKind) {
    const auto file = Encode("in.png", png, recipe.command);
    ASSERT_TRUE(file) << recipe.label;
    const Bytes half(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(file->size() / 2));
    EXPECT_FALSE(Fit(half)) << recipe.label << " cut to half";
    const Bytes start(file->begin(), file->begin() + 40);
    EXPECT_FALSE(Fit(start)) << recipe.label << " cut to its start";
    Bytes damaged = *file;
    for (std::size_t at = 16; at < damaged.size(); at += 7) damaged[at] ^= 0x5A;
    Fit(damaged);
  }
  const Bytes noImage[] = {
      {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'},
      {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'E', 'B', 'P'},
      {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'},
      {0, 0, 0, 20, 'f', 't', 'y', 'p', 'a', 'v', 'i', 'f', 0, 0, 0, 0, 'm', 'i', 'f', '1'},
  };
  for (const Bytes& file : noImage) {
    EXPECT_TRUE(platform::photo::IsPhotoStart(file)) << file.size();
    EXPECT_FALSE(Fit(file)) << file.size();
  }
  EXPECT_FALSE(Fit(Bytes{}));
}

// A BMP whose header claims more pixels than any photo is refused before a
// byte of its pixels is decoded.
TEST_F(PhotoFormatsTest, ABmpClaimingAnAbsurdSizeIsRefused) {
  const auto bmp = Encode("in.png", QuartersPng(), "convert in.png bmp3:out");
  ASSERT_TRUE(bmp);
  Bytes huge = *bmp;
  for (const std::size_t at : {18, 22}) {
    huge[at] = 0x00;
    huge[at + 1] = 0x00;
    huge[at + 2] = 0x01;  // 65536 each way
    huge[at + 3] = 0x00;
  }
  EXPECT_FALSE(Fit(huge));
}

// Rows stored top first, as a negative height says, stand as stored; the
// usual bottom-up rows are turned once (the table above).
TEST_F(PhotoFormatsTest, ABmpStoredTopFirstStandsAsStored) {
  const auto bmp = Encode("in.png", QuartersPng(), "convert in.png bmp3:out");
  ASSERT_TRUE(bmp);
  const std::size_t pixelsAt = (*bmp)[10] | (*bmp)[11] << 8;
  const std::size_t rowBytes = kWidth * 3;  // 192: no padding
  ASSERT_EQ(bmp->size(), pixelsAt + rowBytes * kHeight);
  Bytes topFirst(bmp->begin(), bmp->begin() + static_cast<std::ptrdiff_t>(pixelsAt));
  for (int row = kHeight - 1; row >= 0; --row) {
    const auto from = bmp->begin() + static_cast<std::ptrdiff_t>(pixelsAt + rowBytes * static_cast<std::size_t>(row));
    topFirst.insert(topFirst.end(), from, from + static_cast<std::ptrdiff_t>(rowBytes));
  }
  const std::uint32_t negative = static_cast<std::uint32_t>(-kHeight);
  for (int i = 0; i < 4; ++i) topFirst[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(negative >> (8 * i));
  const auto fitted = Fit(topFirst);
  ASSERT_TRUE(fitted && fitted->bitmap);
  ExpectQuarters(*fitted, {kRed, kGreen, kBlue, kWhite}, "top first");
}

// A BMP whose palette claims billions of colours is refused at its header:
// gdk-pixbuf's loader, given it, asks for gigabytes. The file is read no
// further than its start.
TEST_F(PhotoFormatsTest, ABmpClaimingAnAbsurdPaletteNeverReachesTheLoader) {
  const auto bmp = Encode("in.png", QuartersPng(), "convert in.png -type palette bmp3:out");
  ASSERT_TRUE(bmp);
  Bytes hostile = *bmp;
  hostile.resize(64 * 1024, 0);
  for (std::size_t at = 46; at < 50; ++at) hostile[at] = 0xF7;
  struct CountingSource : platform::photo::ByteSource {
    explicit CountingSource(const Bytes& bytes) : memory(bytes) {}
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override {
      const std::size_t got = memory.ReadAt(offset, into, count);
      handedOut += got;
      return got;
    }
    platform::photo::MemorySource memory;
    mutable std::size_t handedOut = 0;
  };
  const CountingSource source(hostile);
  EXPECT_FALSE(FitPhoto(process, source, 640, 480));
  EXPECT_LE(source.handedOut, platform::photo::kProbeBytes);
}

// Videos and sidecar files of a phone's folder are known for no photo by
// their first bytes alone.
TEST_F(PhotoFormatsTest, FilesOfOtherKindsAreNotTakenForPhotos) {
  const Bytes others[] = {
      {0, 0, 0, 24, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm', 0, 0, 2, 0, 'i', 's', 'o', 'm', 'm', 'p', '4', '1'},
      {0, 0, 0, 20, 'f', 't', 'y', 'p', 'q', 't', ' ', ' ', 0, 0, 2, 0, 'q', 't', ' ', ' '},
      {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '},
      {'<', '?', 'x', 'p', 'a', 'c', 'k', 'e', 't'},
      {'B', 'M', 'x', 'y', 'z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {},
  };
  for (const Bytes& file : others) EXPECT_FALSE(platform::photo::IsPhotoStart(file)) << file.size();
}

}  // namespace
}  // namespace orvanel::slideshow
