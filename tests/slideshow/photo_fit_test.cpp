// Photos from a user's folder, fitted to an area.
//   Orientation: the eight Exif orientations stand the photo upright.
//   Colour: greyscale, Adobe CMYK and YCCK, progressive files give the right colours;
//           an embedded profile gives the colours it describes, a damaged one none;
//           PNG of every colour type, its transparency composed over black.
//   Reduction: every covered pixel counts, so a fine pattern turns grey, not black or white.
//   DCT scale: the smallest scale that still covers the drawing size.
//   Bad bytes: truncated, foreign, absurdly large (in pixels or in bytes) or damaged Exif;
//              none is shown, none crashes.
//   Fill: the frame of each shape (crop, or fitted when the crop would take
//         too much), the crop centred after the photo is turned upright, a
//         small photo enlarged smoothly.
#include "slideshow/photo_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <lcms2.h>

#include "platform/photo/byte_source.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/jpeg_photo.h"
#include "platform/photo/png_photo.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_drawing.h"
#include "platform/sim/sim_process.h"
#include "support/jpeg_writer.h"
#include "support/png_writer.h"

namespace orvanel::slideshow {
namespace {

using platform::photo::kMaxPngFileBytes;
using platform::photo::RgbImage;
using platform::sim::SimDesktop;
using platform::sim::SimProcess;
using testing::JpegKind;
using testing::JpegRecipe;
using testing::MakeJpeg;

// A photo's bytes fitted as the saver fits a file of them.
std::optional<FittedPicture> Fit(platform::Desktop& desktop, std::span<const std::uint8_t> bytes,
                                 std::int32_t width, std::int32_t height,
                                 instance::FitMode mode = instance::FitMode::kFit) {
  return FitPhoto(desktop, platform::photo::MemorySource(bytes), width, height, mode);
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// Red, green, blue and white quarters, top left, top right, bottom left,
// bottom right, as the file stores them.
std::uint32_t Quarters(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  const bool bottom = y >= height / 2;
  return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
}

class PhotoFitTest : public ::testing::Test {
 protected:
  // The fitted bitmap's pixel as 0xRRGGBB.
  static std::uint32_t At(const FittedPicture& fitted, int x, int y) {
    const auto& pixels = static_cast<platform::sim::SimBitmap&>(*fitted.bitmap).Pixels();
    const platform::ColorRef c = pixels[static_cast<std::size_t>(y) * fitted.width + x];
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }
  static bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 10) {
    for (int shift : {0, 8, 16}) {
      if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) {
        return false;
      }
    }
    return true;
  }

  SimDesktop desktop;
  SimProcess process{desktop, "orvanel.scr /s"};
};

TEST_F(PhotoFitTest, EachExifOrientationStandsThePhotoUpright) {
  // What a viewer sees, top left, top right, bottom left, bottom right, for a
  // stored photo of red, green, blue and white quarters.
  struct Case {
    int orientation;
    std::uint32_t tl, tr, bl, br;
  };
  const Case cases[] = {
      {1, kRed, kGreen, kBlue, kWhite},  {2, kGreen, kRed, kWhite, kBlue},
      {3, kWhite, kBlue, kGreen, kRed},  {4, kBlue, kWhite, kRed, kGreen},
      {5, kRed, kBlue, kGreen, kWhite},  {6, kBlue, kRed, kWhite, kGreen},
      {7, kWhite, kGreen, kBlue, kRed},  {8, kGreen, kWhite, kRed, kBlue},
  };
  for (const Case& c : cases) {
    JpegRecipe recipe;
    recipe.width = 64;
    recipe.height = 32;
    recipe.orientation = c.orientation;
    recipe.colour = [](int x, int y) { return Quarters(x, y, 64, 32); };
    const auto file = MakeJpeg(recipe);
    ASSERT_EQ(platform::photo::ExifOrientation(file), c.orientation);
    const auto fitted = Fit(process, file, 640, 480);
    ASSERT_TRUE(fitted && fitted->bitmap) << c.orientation;
    const bool sideways = c.orientation >= 5;
    EXPECT_EQ(fitted->width, sideways ? 32 : 64) << c.orientation;
    EXPECT_EQ(fitted->height, sideways ? 64 : 32) << c.orientation;
    const int w = fitted->width, h = fitted->height;
    EXPECT_TRUE(Near(At(*fitted, w / 4, h / 4), c.tl)) << c.orientation << " top left";
    EXPECT_TRUE(Near(At(*fitted, 3 * w / 4, h / 4), c.tr)) << c.orientation << " top right";
    EXPECT_TRUE(Near(At(*fitted, w / 4, 3 * h / 4), c.bl)) << c.orientation << " bottom left";
    EXPECT_TRUE(Near(At(*fitted, 3 * w / 4, 3 * h / 4), c.br)) << c.orientation << " bottom right";
  }
}

TEST_F(PhotoFitTest, EveryColourSpaceGivesTheColoursOfThePhoto) {
  struct Case {
    JpegKind kind;
    bool progressive;
    std::uint32_t colour;
    std::uint32_t shown;
  };
  const Case cases[] = {
      {JpegKind::kRgb, false, 0xC86432, 0xC86432},
      {JpegKind::kRgb, true, 0x3264C8, 0x3264C8},
      {JpegKind::kGrey, false, 0x00A000, 0xA0A0A0},
      {JpegKind::kGrey, true, 0x004000, 0x404040},
      {JpegKind::kAdobeCmyk, false, 0xC86432, 0xC86432},
      {JpegKind::kAdobeYcck, false, 0x32C864, 0x32C864},
  };
  for (const Case& c : cases) {
    JpegRecipe recipe;
    recipe.kind = c.kind;
    recipe.progressive = c.progressive;
    recipe.colour = [&](int, int) { return c.colour; };
    const auto fitted = Fit(process, MakeJpeg(recipe), 640, 480);
    ASSERT_TRUE(fitted && fitted->bitmap) << static_cast<int>(c.kind);
    EXPECT_TRUE(Near(At(*fitted, 10, 10), c.shown, 4))
        << static_cast<int>(c.kind) << (c.progressive ? " progressive" : "") << ": " << std::hex
        << At(*fitted, 10, 10);
  }
}

// A profile saved to bytes, as a file would hold it.
std::vector<std::uint8_t> ProfileBytes(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<std::uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// Adobe RGB (1998): its primaries and white, a gamma of 563/256.
std::vector<std::uint8_t> AdobeRgbProfile() {
  const cmsCIExyY white{0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  auto bytes = ProfileBytes(cmsCreateRGBProfile(&white, &primaries, curves));
  cmsFreeToneCurve(gamma);
  return bytes;
}

// A JPEG's embedded profile says what its numbers mean: in Adobe RGB the
// numbers 117, 199, 75 are the sRGB green 40, 200, 60, as a colour-managed
// viewer shows it. A profile that cannot be used leaves the numbers as
// they are, as sRGB.
TEST_F(PhotoFitTest, AnEmbeddedProfileGivesTheColoursItDescribes) {
  const auto adobe = AdobeRgbProfile();
  const std::vector<std::uint8_t> damaged(adobe.begin(), adobe.begin() + static_cast<long>(adobe.size() / 2));
  cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
  const auto grey = ProfileBytes(cmsCreateGrayProfile(cmsD50_xyY(), linear));
  cmsFreeToneCurve(linear);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> profile;
    std::uint32_t shown;
  };
  const Case cases[] = {
      {"Adobe RGB", adobe, 0x28C83C},
      {"no profile", {}, 0x75C74B},
      {"half a profile", damaged, 0x75C74B},
      {"a greyscale profile on an RGB photo", grey, 0x75C74B},
  };
  for (const Case& c : cases) {
    JpegRecipe recipe;
    recipe.iccProfile = c.profile;
    recipe.colour = [](int, int) { return 0x75C74Bu; };
    const auto fitted = Fit(process, MakeJpeg(recipe), 640, 480);
    ASSERT_TRUE(fitted && fitted->bitmap) << c.what;
    EXPECT_TRUE(Near(At(*fitted, 10, 10), c.shown, 4)) << c.what << ": " << std::hex << At(*fitted, 10, 10);
  }
}

// A desktop whose photo bitmaps have the pixel layout of Windows (BGRX),
// of a 24-bit picture (BGR) or of the sim (RGBX), padded rows included.
class LayoutBitmap : public platform::Bitmap {
 public:
  LayoutBitmap(std::int32_t width, std::int32_t height, platform::PixelLayout layout)
      : width_(width), height_(height), layout_(layout),
        stride_((width * (layout == platform::PixelLayout::kBgr24 ? 3 : 4) + 3) / 4 * 4 + 4),
        bytes_(static_cast<std::size_t>(stride_) * height, 0xAB) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  int BitsPerPixel() const override { return layout_ == platform::PixelLayout::kBgr24 ? 24 : 32; }
  platform::PixelRows Rows() override { return {bytes_.data(), stride_, layout_}; }
  // 0xRRGGBB of a pixel, read as its layout lays it out.
  std::uint32_t At(int x, int y) const {
    const std::uint8_t* p = bytes_.data() + static_cast<std::ptrdiff_t>(y) * stride_ +
                            x * (layout_ == platform::PixelLayout::kBgr24 ? 3 : 4);
    return layout_ == platform::PixelLayout::kRgbx32 ? (p[0] << 16 | p[1] << 8 | p[2])
                                                     : (p[2] << 16 | p[1] << 8 | p[0]);
  }
  // The filler byte after each row's last pixel, untouched.
  bool RowEndsUntouched() const {
    const int used = width_ * (layout_ == platform::PixelLayout::kBgr24 ? 3 : 4);
    for (int y = 0; y < height_; ++y) {
      if (bytes_[static_cast<std::size_t>(y) * stride_ + used] != 0xAB) return false;
    }
    return true;
  }

 private:
  std::int32_t width_, height_;
  platform::PixelLayout layout_;
  std::ptrdiff_t stride_;
  std::vector<std::uint8_t> bytes_;
};

class LayoutProcess : public SimProcess {
 public:
  LayoutProcess(SimDesktop& desktop, platform::PixelLayout layout) : SimProcess(desktop, "orvanel.scr /s"), layout_(layout) {}
  std::unique_ptr<platform::Bitmap> CreatePhotoBitmap(std::int32_t width, std::int32_t height) override {
    return std::make_unique<LayoutBitmap>(width, height, layout_);
  }

 private:
  platform::PixelLayout layout_;
};

// Every layout a desktop may ask for holds the same colours, on rows of an
// odd width whose last pixel is written on its own.
TEST_F(PhotoFitTest, EveryPixelLayoutHoldsTheSameColours) {
  JpegRecipe recipe;
  recipe.width = 75;
  recipe.height = 42;
  recipe.colour = [&](int x, int y) { return Quarters(x, y, 75, 42); };
  const auto bytes = MakeJpeg(recipe);
  for (const auto layout : {platform::PixelLayout::kBgrx32, platform::PixelLayout::kBgr24,
                            platform::PixelLayout::kRgbx32}) {
    LayoutProcess desktop(this->desktop, layout);
    const auto fitted = Fit(desktop, bytes, 640, 480);
    ASSERT_TRUE(fitted && fitted->bitmap) << static_cast<int>(layout);
    const auto& bitmap = static_cast<const LayoutBitmap&>(*fitted->bitmap);
    for (const auto& [x, y] : {std::pair{10, 10}, std::pair{64, 10}, std::pair{10, 32}, std::pair{64, 32},
                               std::pair{74, 0}, std::pair{74, 41}}) {
      EXPECT_TRUE(Near(bitmap.At(x, y), Quarters(x, y, 75, 42), 12))
          << static_cast<int>(layout) << " at " << x << "," << y << ": " << std::hex << bitmap.At(x, y);
    }
    EXPECT_TRUE(bitmap.RowEndsUntouched()) << static_cast<int>(layout);
  }
}

// A desktop out of memory for bitmaps.
class NoBitmapProcess : public SimProcess {
 public:
  explicit NoBitmapProcess(SimDesktop& desktop) : SimProcess(desktop, "orvanel.scr /s") {}
  std::unique_ptr<platform::Bitmap> CreatePhotoBitmap(std::int32_t, std::int32_t) override { return nullptr; }
};

// An area with no room gives an empty picture; a bitmap that cannot be made
// refuses the photo: either way nothing is drawn and nothing is left alive.
TEST_F(PhotoFitTest, NoRoomOrNoBitmapShowsNothing) {
  const auto jpeg = MakeJpeg(JpegRecipe{});
  const auto png = testing::MakePng(testing::PngRecipe{});
  for (const auto* bytes : {&jpeg, &png}) {
    for (const auto& [width, height] : {std::pair{0, 480}, std::pair{640, 0}}) {
      const auto fitted = Fit(process, *bytes, width, height);
      ASSERT_TRUE(fitted.has_value());
      EXPECT_EQ(fitted->bitmap, nullptr);
      EXPECT_EQ(fitted->width, 0);
    }
    NoBitmapProcess outOfMemory(desktop);
    EXPECT_FALSE(Fit(outOfMemory, *bytes, 640, 480).has_value());
  }
  EXPECT_EQ(desktop.liveBitmaps, 0);
}

TEST_F(PhotoFitTest, APngIsShownWithItsTransparencyOverBlack) {
  struct Case {
    bool alpha;
    bool grey;
    std::uint32_t pixel;  // 0xAARRGGBB
    std::uint32_t shown;
  };
  const Case cases[] = {
      {false, false, 0xFFC86432, 0xC86432}, {true, false, 0xFFC86432, 0xC86432},
      {true, false, 0x80C86432, 0x643219},  // half transparent: half the value
      {true, false, 0x00FFFFFF, 0x000000},  // wholly transparent white is black
      {false, true, 0xFF00A000, 0xA0A0A0},  {true, true, 0x4000FF00, 0x404040},
  };
  for (const Case& c : cases) {
    testing::PngRecipe recipe;
    recipe.alpha = c.alpha;
    recipe.grey = c.grey;
    recipe.colour = [&](int, int) { return c.pixel; };
    const auto fitted = Fit(process, testing::MakePng(recipe), 640, 480);
    ASSERT_TRUE(fitted && fitted->bitmap) << std::hex << c.pixel;
    EXPECT_EQ(fitted->width, 64);
    EXPECT_TRUE(Near(At(*fitted, 10, 10), c.shown, 1)) << std::hex << c.pixel << ": " << At(*fitted, 10, 10);
  }
  // A large PNG is reduced to the area with its shape.
  testing::PngRecipe large;
  large.width = 2000;
  large.height = 1000;
  large.alpha = false;
  const auto reduced = Fit(process, testing::MakePng(large), 640, 480);
  ASSERT_TRUE(reduced && reduced->bitmap);
  EXPECT_EQ(reduced->width, 640);
  EXPECT_EQ(reduced->height, 320);
}

TEST_F(PhotoFitTest, AReducedPhotoAveragesWhatEachPixelCovers) {
  // Single-pixel stripes: a stretch that keeps whole pixels shows only one
  // of the two colours; an average shows grey.
  RgbImage stripes;
  stripes.width = 8;
  stripes.height = 2;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint8_t v = x % 2 ? 255 : 0;
      stripes.pixels.insert(stripes.pixels.end(), {v, v, v});
    }
  }
  const RgbImage half = ReduceByArea(stripes, 4, 1);
  ASSERT_EQ(half.pixels.size(), 12u);
  for (auto v : half.pixels) EXPECT_EQ(v, 128);

  // Three columns into two: each output pixel covers one and a half.
  RgbImage three;
  three.width = 3;
  three.height = 1;
  three.pixels = {0, 0, 0, 255, 255, 255, 30, 30, 30};
  const RgbImage two = ReduceByArea(three, 2, 1);
  EXPECT_EQ(two.pixels[0], 85);   // (0 + 255 / 2) / 1.5
  EXPECT_EQ(two.pixels[3], 105);  // (255 / 2 + 30) / 1.5
}

TEST_F(PhotoFitTest, AFinePatternPhotoIsShownGreyAtAQuarterSize) {
  JpegRecipe recipe;
  recipe.kind = JpegKind::kGrey;
  recipe.width = 1600;
  recipe.height = 1200;
  recipe.colour = [](int x, int y) { return (x / 2 + y / 2) % 2 ? 0xFFFFFFu : 0u; };
  const auto fitted = Fit(process, MakeJpeg(recipe), 400, 300);
  ASSERT_TRUE(fitted && fitted->bitmap);
  EXPECT_EQ(fitted->width, 400);
  EXPECT_EQ(fitted->height, 300);
  for (int y = 50; y < 250; y += 37) {
    for (int x = 50; x < 350; x += 41) {
      EXPECT_TRUE(Near(At(*fitted, x, y), 0x808080, 24)) << x << "," << y << ": " << std::hex << At(*fitted, x, y);
    }
  }
}

// Asks the decoder for rows of at least `need` and notes the size it
// delivers them at; the rows themselves are refused.
class DeliveredSize : public platform::photo::PhotoTarget, public platform::photo::RowSink {
 public:
  explicit DeliveredSize(platform::photo::PhotoSize need) : need_(need) {}
  std::optional<platform::photo::PhotoSize> Plan(const platform::photo::PhotoHeader&) override { return need_; }
  RowSink* Sink() override { return this; }
  bool Begin(std::int32_t width, std::int32_t height) override {
    delivered = {width, height};
    return false;
  }
  void Row(const std::uint8_t*) override {}
  platform::photo::PhotoSize delivered;

 private:
  platform::photo::PhotoSize need_;
};

// The size libjpeg itself gives the header of `jpeg` at eighths/8.
std::pair<int, int> LibjpegSizeAt(const std::vector<std::uint8_t>& jpeg, int eighths) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  info.scale_num = static_cast<unsigned>(eighths);
  info.scale_denom = 8;
  jpeg_calc_output_dimensions(&info);
  const std::pair<int, int> size{static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
  jpeg_destroy_decompress(&info);
  return size;
}

// A JPEG is decoded at the smallest of libjpeg's eighths that still covers
// the size drawn: at least that size, where one eighth less would fall
// short, however libjpeg rounds.
TEST_F(PhotoFitTest, AJpegIsDecodedAtTheSmallestScaleThatStillCoversTheDrawingSize) {
  struct Row {
    int width, height, needWidth, needHeight;
  };
  const Row rows[] = {
      {6000, 4000, 1620, 1080}, {6000, 4000, 3240, 2160}, {4000, 3000, 640, 480}, {4000, 3000, 149, 112},
      {1024, 768, 1024, 768},  // no smaller scale covers it
      {1001, 10, 126, 2},      {1001, 10, 127, 2},        {10, 1001, 2, 127},  // rounding, either side
  };
  JpegRecipe recipe;
  recipe.width = 16;
  recipe.height = 16;
  const auto small = MakeJpeg(recipe);
  for (const Row& row : rows) {
    // The small photo's frame header made to say the row's size: the rows
    // are refused before any is decoded.
    auto jpeg = small;
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
      if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
        jpeg[i + 5] = static_cast<std::uint8_t>(row.height >> 8), jpeg[i + 6] = static_cast<std::uint8_t>(row.height);
        jpeg[i + 7] = static_cast<std::uint8_t>(row.width >> 8), jpeg[i + 8] = static_cast<std::uint8_t>(row.width);
        break;
      }
    }
    DeliveredSize target({row.needWidth, row.needHeight});
    platform::photo::DecodePhoto(platform::photo::MemorySource(jpeg), target);
    const auto what = ::testing::PrintToString(std::vector<int>{row.width, row.height, row.needWidth, row.needHeight});
    EXPECT_GE(target.delivered.width, row.needWidth) << what;
    EXPECT_GE(target.delivered.height, row.needHeight) << what;
    int eighths = 1;
    while (eighths < 8 && LibjpegSizeAt(jpeg, eighths) != std::pair{target.delivered.width, target.delivered.height}) {
      ++eighths;
    }
    ASSERT_EQ(LibjpegSizeAt(jpeg, eighths), (std::pair{target.delivered.width, target.delivered.height})) << what;
    if (eighths > 1) {
      const auto smaller = LibjpegSizeAt(jpeg, eighths - 1);
      EXPECT_TRUE(smaller.first < row.needWidth || smaller.second < row.needHeight) << what;
    }
  }
}

TEST_F(PhotoFitTest, FilesThatAreNotPhotosAreRefusedQuietly) {
  JpegRecipe recipe;
  recipe.width = 200;
  recipe.height = 100;
  recipe.colour = [](int x, int y) { return static_cast<std::uint32_t>(x * 7 + y * 13) * 0x010101u; };
  const auto good = MakeJpeg(recipe);
  ASSERT_TRUE(Fit(process, good, 640, 480));

  const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  EXPECT_FALSE(Fit(process, truncated, 640, 480));
  const std::vector<std::uint8_t> header(good.begin(), good.begin() + 4);
  EXPECT_FALSE(Fit(process, header, 640, 480));
  const std::string text = "these are holiday notes, not a photo";
  EXPECT_FALSE(Fit(process, std::vector<std::uint8_t>(text.begin(), text.end()), 640, 480));
  EXPECT_FALSE(Fit(process, std::span<const std::uint8_t>{}, 640, 480));
  const auto png = testing::MakePng({});
  EXPECT_FALSE(Fit(process, std::vector<std::uint8_t>(png.begin(), png.end() - 20), 640, 480));

  // A header claiming 30000 x 30000 pixels is refused before any decoding.
  auto huge = good;
  for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 0x75, huge[i + 6] = 0x30, huge[i + 7] = 0x75, huge[i + 8] = 0x30;
      break;
    }
  }
  EXPECT_FALSE(Fit(process, huge, 640, 480));
  EXPECT_EQ(desktop.liveBitmaps, 0);
}

// Hands out a photo's bytes at most `piece` at a time, as a file read in
// short pieces does, and stops answering at `end` as a file cut short does.
class PieceSource : public platform::photo::ByteSource {
 public:
  PieceSource(const std::vector<std::uint8_t>& bytes, std::size_t piece, std::size_t end)
      : bytes_(bytes), piece_(piece), end_(end) {}
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override {
    largestAsk = std::max(largestAsk, count);
    if (offset >= end_) return 0;
    const std::size_t length = std::min({count, piece_, end_ - static_cast<std::size_t>(offset)});
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), length, into);
    handedOut += length;
    return length;
  }
  mutable std::size_t largestAsk = 0;
  mutable std::size_t handedOut = 0;

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t piece_;
  std::size_t end_;
};

TEST_F(PhotoFitTest, AJpegIsReadInPiecesNeverWholeAndShortReadsChangeNoPixel) {
  JpegRecipe recipe;
  recipe.width = 1600;
  recipe.height = 1200;
  recipe.quality = 98;
  recipe.orientation = 1;  // an Exif block, which the decoder skips over
  recipe.colour = [](int x, int y) {
    const auto noise = (static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u) >> 8;
    return (noise & 0x3F3F3F) + static_cast<std::uint32_t>(x / 8) * 0x010000u + static_cast<std::uint32_t>(y / 8);
  };
  const auto file = MakeJpeg(recipe);
  ASSERT_GT(file.size(), 1u << 20);  // several of the decoder's pieces
  const auto whole = Fit(process, file, 640, 480);
  ASSERT_TRUE(whole && whole->bitmap);
  const auto& expected = static_cast<const platform::sim::SimBitmap&>(*whole->bitmap).Pixels();

  for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{4093}, std::size_t{7}}) {
    const PieceSource source(file, piece, file.size());
    const auto fitted = FitPhoto(process, source, 640, 480);
    ASSERT_TRUE(fitted && fitted->bitmap) << piece;
    EXPECT_EQ(static_cast<const platform::sim::SimBitmap&>(*fitted->bitmap).Pixels(), expected) << piece;
    EXPECT_LT(source.largestAsk, file.size() / 4) << piece;
  }
  // A file that stops answering part way, as one removed while it is read:
  // refused whether it is stored upright or turned, as phones store most.
  const int bitmapsBefore = desktop.liveBitmaps;
  const PieceSource cut(file, 4093, file.size() * 2 / 3);
  EXPECT_FALSE(FitPhoto(process, cut, 640, 480));
  recipe.orientation = 6;
  const auto turned = MakeJpeg(recipe);
  const PieceSource turnedCut(turned, 4093, turned.size() * 2 / 3);
  EXPECT_FALSE(FitPhoto(process, turnedCut, 640, 480));
  EXPECT_EQ(desktop.liveBitmaps, bitmapsBefore);
}

// The header that plans the decoding is read by the decoding itself: the
// file is read once after its start, which is read for the signature and the
// Exif block, not once more for the header alone.
TEST_F(PhotoFitTest, AJpegIsReadOnceAfterItsStart) {
  JpegRecipe recipe;
  recipe.orientation = 6;
  const auto file = MakeJpeg(recipe);
  const PieceSource source(file, file.size(), file.size());
  ASSERT_TRUE(FitPhoto(process, source, 640, 480));
  EXPECT_EQ(source.handedOut, 2 * file.size());
}

// A panorama strip too thin to keep its shape in the area still gets a row
// of its own colour, rather than a result with nothing to draw, which would
// leave the file in the rotation and show nothing every turn.
TEST_F(PhotoFitTest, AStripTooThinForTheAreaIsShownOnePixelHigh) {
  JpegRecipe wide;
  wide.width = 1000;
  wide.height = 2;
  wide.colour = [](int, int) { return 0x3060C0u; };
  testing::PngRecipe tall;
  tall.width = 2;
  tall.height = 1000;
  tall.alpha = false;
  tall.colour = [](int, int) { return 0xFF3060C0u; };
  const auto jpeg = MakeJpeg(wide);
  const auto png = testing::MakePng(tall);
  const auto strip = Fit(process, jpeg, 152, 112);
  ASSERT_TRUE(strip && strip->bitmap);
  EXPECT_EQ(strip->width, 152);
  EXPECT_EQ(strip->height, 1);
  EXPECT_TRUE(Near(At(*strip, 76, 0), 0x3060C0)) << std::hex << At(*strip, 76, 0);
  const auto column = Fit(process, png, 152, 112);
  ASSERT_TRUE(column && column->bitmap);
  EXPECT_EQ(column->width, 1);
  EXPECT_EQ(column->height, 112);
  EXPECT_TRUE(Near(At(*column, 0, 56), 0x3060C0, 1)) << std::hex << At(*column, 0, 56);
}

// A PNG file of 300 MiB: its start a real PNG's, the rest made up as it is
// read. What was asked for is remembered, nothing is kept.
class HugePngSource : public platform::photo::ByteSource {
 public:
  explicit HugePngSource(std::vector<std::uint8_t> start) : start_(std::move(start)) {}
  std::size_t ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) const override {
    constexpr std::uint64_t kSize = std::uint64_t{300} << 20;
    if (offset >= kSize) return 0;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(count, kSize - offset));
    std::fill_n(into, length, std::uint8_t{0});
    if (offset < start_.size()) {
      const auto from = static_cast<std::size_t>(offset);
      std::copy_n(start_.begin() + static_cast<std::ptrdiff_t>(from), std::min(length, start_.size() - from), into);
    }
    furthest = std::max(furthest, offset + length);
    return length;
  }
  mutable std::uint64_t furthest = 0;

 private:
  std::vector<std::uint8_t> start_;
};

// A PNG is read as it is decoded: one whose data is not there is refused at
// its first chunk, not read on. An interlaced one is read whole before it is
// decoded, so a file beyond the size any photo has is refused once that
// size is passed, not read to its end.
TEST_F(PhotoFitTest, APngOfNoPixelsOrLargerThanAnyPhotoIsRefusedUnread) {
  const auto png = testing::MakePng({});
  std::vector<std::uint8_t> header(png.begin(), png.begin() + 33);  // signature and header
  HugePngSource source(header);
  EXPECT_FALSE(FitPhoto(process, source, 640, 480));
  EXPECT_LT(source.furthest, std::uint64_t{1} << 20);
  header[28] = 1;  // Adam7
  HugePngSource interlaced(header);
  EXPECT_FALSE(FitPhoto(process, interlaced, 640, 480));
  EXPECT_EQ(interlaced.furthest, kMaxPngFileBytes + 1);
  EXPECT_EQ(desktop.liveBitmaps, 0);
}

TEST_F(PhotoFitTest, ADamagedExifBlockLeavesThePhotoAsStored) {
  auto block = testing::ExifOrientationBlock(6);
  std::vector<std::vector<std::uint8_t>> damaged;
  // Cut anywhere before the orientation value is complete.
  for (std::size_t cut = 6; cut < 26; cut += 3) {
    damaged.emplace_back(block.begin(), block.begin() + static_cast<long>(cut));
  }
  auto farOffset = block;
  farOffset[10] = 0xF0;  // the first directory far beyond the block
  damaged.push_back(farOffset);
  auto badValue = block;
  badValue[24] = 9;
  damaged.push_back(badValue);
  auto badOrder = block;
  badOrder[6] = 'X';
  damaged.push_back(badOrder);
  for (const auto& exif : damaged) {
    // SOI, then the APP1 block with its length, then the end.
    std::vector<std::uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1, static_cast<std::uint8_t>((exif.size() + 2) >> 8),
                                      static_cast<std::uint8_t>(exif.size() + 2)};
    file.insert(file.end(), exif.begin(), exif.end());
    file.insert(file.end(), {0xFF, 0xD9});
    EXPECT_EQ(platform::photo::ExifOrientation(file), 1) << exif.size();
  }
}

}  // namespace
}  // namespace orvanel::slideshow

namespace orvanel::slideshow {
namespace {

TEST(FramePhoto, EachShapeIsCroppedToCoverOrFittedWhenTheCropWouldTakeTooMuch) {
  using instance::FitMode;
  struct Case {
    const char* shape;
    std::int32_t photoWidth, photoHeight, areaWidth, areaHeight;
    FitMode mode;
    PictureSize scaled, drawn;
  };
  const Case cases[] = {
      // Fit is the design's: reduced to fit, never enlarged.
      {"4:3 fit", 4000, 3000, 1920, 1080, FitMode::kFit, {1440, 1080}, {1440, 1080}},
      {"small fit", 800, 600, 1920, 1080, FitMode::kFit, {800, 600}, {800, 600}},
      // Landscape photos of the usual shapes fill, the excess cropped.
      {"4:3 on 16:9", 4000, 3000, 1920, 1080, FitMode::kFill, {1920, 1440}, {1920, 1080}},
      {"3:2 on 16:10", 6000, 4000, 1920, 1200, FitMode::kFill, {1920, 1280}, {1920, 1200}},
      {"16:9 on 4:3", 1920, 1080, 1024, 768, FitMode::kFill, {1365, 768}, {1024, 768}},
      {"same shape", 3840, 2160, 1920, 1080, FitMode::kFill, {1920, 1080}, {1920, 1080}},
      {"small, enlarged", 800, 600, 1920, 1080, FitMode::kFill, {1920, 1440}, {1920, 1080}},
      // Exactly a third cropped away still fills; a little more does not.
      {"a third", 1000, 1000, 1500, 1000, FitMode::kFill, {1500, 1500}, {1500, 1000}},
      {"over a third", 1000, 1000, 1502, 1000, FitMode::kFill, {1000, 1000}, {1000, 1000}},
      // Far-off shapes stay whole, enlarged as far as the area allows.
      {"portrait on landscape", 3000, 4000, 1920, 1080, FitMode::kFill, {810, 1080}, {810, 1080}},
      {"square on 16:9", 1000, 1000, 1920, 1080, FitMode::kFill, {1080, 1080}, {1080, 1080}},
      {"panorama", 9000, 3000, 1920, 1080, FitMode::kFill, {1920, 640}, {1920, 640}},
      {"small portrait", 300, 400, 1920, 1080, FitMode::kFill, {810, 1080}, {810, 1080}},
      {"no area", 800, 600, 0, 0, FitMode::kFill, {0, 0}, {0, 0}},
      {"no photo", 0, 600, 1920, 1080, FitMode::kFill, {0, 0}, {0, 0}},
      // A sliver, whose cover would run billions of pixels past the area.
      {"sliver", 1, 6710887, 3840, 2160, FitMode::kFill, {1, 2160}, {1, 2160}},
  };
  for (const Case& c : cases) {
    const PhotoFrame frame = FramePhoto(c.photoWidth, c.photoHeight, c.areaWidth, c.areaHeight, c.mode);
    EXPECT_EQ(frame, (PhotoFrame{c.scaled, c.drawn})) << c.shape << ": " << frame.scaled.width << "x"
                                                       << frame.scaled.height << " drawn " << frame.drawn.width
                                                       << "x" << frame.drawn.height;
  }
}

class FillTest : public PhotoFitTest {};

TEST_F(FillTest, TheCropIsTheCentreOfThePhotoAsItStands) {
  // A photo with a band of its own colour along each edge: filling a wider
  // area crops the top and bottom bands away and keeps the sides; a
  // taller area, the sides. Stored turned a quarter, the photo is turned
  // upright before it is cropped.
  constexpr std::uint32_t kTop = 0xFF0000, kBottom = 0x0000FF, kLeft = 0x00FF00, kRight = 0xFFFF00,
                          kMiddle = 0x808080;
  const auto banded = [](int x, int y, int w, int h) {
    if (y < h / 16) return kTop;
    if (y >= h - h / 16) return kBottom;
    if (x < w / 16) return kLeft;
    if (x >= w - w / 16) return kRight;
    return kMiddle;
  };
  struct Case {
    int orientation;
    std::int32_t areaWidth, areaHeight;
    bool bandsAcrossKept;  // top and bottom shown, rather than left and right
  };
  for (const Case& c : {Case{1, 320, 180, false}, Case{1, 240, 240, true}, Case{6, 320, 180, false}}) {
    // Stored sideways for orientation 6: (x, y) as stored is (127 - y, x) as it stands.
    JpegRecipe recipe;
    recipe.width = c.orientation == 6 ? 96 : 128;
    recipe.height = c.orientation == 6 ? 128 : 96;
    recipe.orientation = c.orientation == 1 ? 0 : c.orientation;
    recipe.colour = [&](int x, int y) {
      return c.orientation == 6 ? banded(127 - y, x, 128, 96) : banded(x, y, 128, 96);
    };
    const auto fitted = Fit(process, MakeJpeg(recipe), c.areaWidth, c.areaHeight, instance::FitMode::kFill);
    ASSERT_TRUE(fitted && fitted->bitmap);
    ASSERT_EQ(fitted->width, c.areaWidth);
    ASSERT_EQ(fitted->height, c.areaHeight);
    const int w = fitted->width, h = fitted->height;
    const std::uint32_t top = At(*fitted, w / 2, 1), bottom = At(*fitted, w / 2, h - 2);
    const std::uint32_t left = At(*fitted, 1, h / 2), right = At(*fitted, w - 2, h / 2);
    if (c.bandsAcrossKept) {
      EXPECT_TRUE(Near(top, kTop) && Near(bottom, kBottom)) << c.orientation << std::hex << " " << top;
      EXPECT_TRUE(Near(left, kMiddle) && Near(right, kMiddle)) << c.orientation << std::hex << " " << left;
    } else {
      EXPECT_TRUE(Near(top, kMiddle) && Near(bottom, kMiddle)) << c.orientation << std::hex << " " << top;
      EXPECT_TRUE(Near(left, kLeft) && Near(right, kRight)) << c.orientation << std::hex << " " << left;
    }
  }
}

TEST_F(FillTest, ASmallPhotoIsEnlargedSmoothlyNotInBlocks) {
  // Black left half, white right half, 8 x 6, filling 64 x 48: the edge
  // shades through grey; a copy of whole pixels would jump from 0 to 255.
  JpegRecipe recipe;
  recipe.width = 8;
  recipe.height = 6;
  recipe.colour = [](int x, int) { return x < 4 ? 0x000000u : 0xFFFFFFu; };
  const auto fitted = Fit(process, MakeJpeg(recipe), 64, 48, instance::FitMode::kFill);
  ASSERT_TRUE(fitted && fitted->bitmap);
  ASSERT_EQ(fitted->width, 64);
  int shades = 0;
  std::uint32_t previous = 0;
  for (int x = 0; x < 64; ++x) {
    const std::uint32_t v = At(*fitted, x, 24) & 0xFF;
    EXPECT_GE(v + 8, previous) << x;  // never darker to the right
    if (v > 24 && v < 232) ++shades;
    previous = v;
  }
  EXPECT_GE(shades, 4);
  EXPECT_TRUE(Near(At(*fitted, 0, 0), 0x000000));
  EXPECT_TRUE(Near(At(*fitted, 63, 47), 0xFFFFFF));
}

}  // namespace
}  // namespace orvanel::slideshow
