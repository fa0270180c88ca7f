// The picture source.
//   Lookup: names without leading zeros, matched regardless of case; the missing-resource text.
//   FitSize: the rows of the size table, rounding of halves, pictures kept from overflowing.
//   FitPicture: the decoded pixels, the 8-bit display, bitmaps released on every way out.
//   Bad data: truncated, corrupt and foreign bytes give "JPEG error #N".
#include "slideshow/picture_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/forms/error.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_drawing.h"
#include "platform/sim/sim_process.h"
#include "support/bare_decode.h"

namespace orvanel::slideshow {
namespace {

using platform::sim::SimDesktop;
using platform::sim::SimProcess;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const forms::SaverError& error) {
    return error.what();
  }
  return "no error";
}

class PictureSourceTest : public ::testing::Test {
 protected:
  SimDesktop desktop;
  SimProcess process{desktop, "orvanel.scr /s"};
};

TEST_F(PictureSourceTest, FindsPicturesByNumberRegardlessOfCase) {
  const auto first = LoadPicture(process, 0);
  EXPECT_EQ(first.width, 1024);
  EXPECT_EQ(first.height, 768);
  const auto last = LoadPicture(process, 54);
  EXPECT_NE(first.bytes.data(), last.bytes.data());
  EXPECT_TRUE(process.FindModuleResource("pic0", "jpeg"));
  EXPECT_TRUE(process.FindModuleResource("Pic7", "JPEG"));
  EXPECT_FALSE(process.FindModuleResource("pic00", "JPEG"));
  EXPECT_FALSE(process.FindModuleResource("pic07", "JPEG"));
}

TEST_F(PictureSourceTest, AMissingPictureNamesWhatWasAskedFor) {
  EXPECT_EQ(ErrorOf([&] { LoadPicture(process, 55); }), "Resource pic55 not found");
  process.RemoveResource("PIC12", "JPEG");
  EXPECT_EQ(ErrorOf([&] { LoadPicture(process, 12); }), "Resource pic12 not found");
  EXPECT_EQ(ErrorOf([&] { LoadPicture(process, -1); }), "Resource pic-1 not found");
}

struct SizeRow {
  std::int32_t pw, ph, aw, ah;
  PictureSize expected;
};

class FitSizeTable : public ::testing::TestWithParam<SizeRow> {};

TEST_P(FitSizeTable, GivesTheDrawingSize) {
  const auto& r = GetParam();
  EXPECT_EQ(FitSize(r.pw, r.ph, r.aw, r.ah), r.expected)
      << r.pw << "x" << r.ph << " in " << r.aw << "x" << r.ah;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FitSizeTable,
    ::testing::Values(
        // The shipped pictures in the usual areas.
        SizeRow{1024, 768, 152, 112, {149, 112}}, SizeRow{1024, 768, 640, 480, {640, 480}},
        SizeRow{1024, 768, 800, 600, {800, 600}}, SizeRow{1024, 768, 800, 480, {640, 480}},
        SizeRow{1024, 768, 1024, 768, {1024, 768}}, SizeRow{1024, 768, 1280, 1024, {1024, 768}},
        SizeRow{1024, 768, 1920, 1080, {1024, 768}},
        // Halves go to the even neighbour: 150 x 3/4 = 112.5, 154 x 3/4 = 115.5.
        SizeRow{1024, 768, 150, 200, {150, 112}}, SizeRow{1024, 768, 154, 200, {154, 116}},
        // Smaller than the area: kept as it is.
        SizeRow{640, 480, 1024, 768, {640, 480}}, SizeRow{300, 500, 1024, 768, {300, 500}},
        // Square and portrait pictures that the rules already fit.
        SizeRow{500, 500, 400, 300, {300, 300}}, SizeRow{768, 1024, 1024, 768, {576, 768}},
        // Landscape taller than the area but not wider: fitted, not left overflowing.
        SizeRow{1024, 768, 1280, 720, {960, 720}}, SizeRow{1024, 768, 1024, 600, {800, 600}},
        // Portrait taller than an area narrower than its shape.
        SizeRow{768, 1024, 500, 800, {500, 667}},
        // Portrait wider than the area but not taller: keeps its shape.
        SizeRow{768, 1024, 700, 1100, {700, 933}},
        // Strips whose short side rounds to nothing keep one pixel of it.
        SizeRow{1000, 2, 152, 112, {152, 1}}, SizeRow{2, 1000, 152, 112, {1, 112}},
        SizeRow{4000, 3, 640, 480, {640, 1}},
        // Nothing to draw into.
        SizeRow{1024, 768, 0, 768, {0, 0}}, SizeRow{1024, 768, 1024, -5, {0, 0}}));

// The same bytes decoded by the library alone, as RGB.
std::vector<std::uint8_t> BareDecode(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> rgb;
  testing::BareDecode(bytes, rgb);
  return rgb;
}

TEST_F(PictureSourceTest, AtFullSizeTheBitmapHoldsTheDecodedPixels) {
  const auto picture = LoadPicture(process, 23);
  const auto fitted = FitPicture(process, picture, 1024, 768);
  ASSERT_EQ(fitted.width, 1024);
  ASSERT_EQ(fitted.height, 768);
  const auto rgb = BareDecode(picture.bytes);
  const auto& pixels = static_cast<platform::sim::SimBitmap&>(*fitted.bitmap).Pixels();
  for (std::size_t i = 0; i < pixels.size(); i += 997) {
    ASSERT_EQ(pixels[i] & 0xFFFFFF, platform::Rgb(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]))
        << "pixel " << i;
  }
}

TEST_F(PictureSourceTest, ScalingTakesWholeSourcePixels) {
  const auto picture = LoadPicture(process, 5);
  const auto fitted = FitPicture(process, picture, 152, 112);
  ASSERT_EQ(fitted.width, 149);
  ASSERT_EQ(fitted.height, 112);
  const auto rgb = BareDecode(picture.bytes);
  const auto& pixels = static_cast<platform::sim::SimBitmap&>(*fitted.bitmap).Pixels();
  for (int y = 0; y < 112; y += 7) {
    for (int x = 0; x < 149; x += 5) {
      const std::size_t sx = static_cast<std::size_t>(x) * 1024 / 149;
      const std::size_t sy = static_cast<std::size_t>(y) * 768 / 112;
      const std::size_t at = (sy * 1024 + sx) * 3;
      ASSERT_EQ(pixels[static_cast<std::size_t>(y) * 149 + x] & 0xFFFFFF,
                platform::Rgb(rgb[at], rgb[at + 1], rgb[at + 2]));
    }
  }
}

TEST_F(PictureSourceTest, APaletteDisplayGetsAtMost236Colours) {
  desktop.SetDisplayBitsPerPixel(8);
  const auto fitted = FitPicture(process, LoadPicture(process, 9), 1024, 768);
  std::set<platform::ColorRef> colours;
  for (auto pixel : static_cast<platform::sim::SimBitmap&>(*fitted.bitmap).Pixels()) {
    colours.insert(pixel & 0xFFFFFF);
  }
  EXPECT_LE(colours.size(), 236u);
  EXPECT_GT(colours.size(), 50u);
}

TEST_F(PictureSourceTest, OnlyTheFittedPictureOutlivesTheCall) {
  {
    const auto fitted = FitPicture(process, LoadPicture(process, 1), 640, 480);
    EXPECT_EQ(desktop.liveBitmaps, 1);
    EXPECT_EQ(desktop.openContexts, 0);
  }
  EXPECT_EQ(desktop.liveBitmaps, 0);
}

class BadPictureTest : public PictureSourceTest {
 protected:
  std::vector<std::uint8_t> Original() {
    const auto bytes = LoadPicture(process, 3).bytes;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  }
  // Installs `bytes` as picture 3 and shows it; returns the error text.
  std::string Show(std::vector<std::uint8_t> bytes) {
    process.AddResource("PIC3", "JPEG", std::move(bytes));
    const std::string error = ErrorOf([&] { FitPicture(process, LoadPicture(process, 3), 800, 600); });
    EXPECT_EQ(desktop.liveBitmaps, 0);
    EXPECT_EQ(desktop.openContexts, 0);
    return error;
  }
  static std::string Code(int code) { return "JPEG error #" + std::to_string(code); }
};

TEST_F(BadPictureTest, ATruncatedHeaderIsAnError) {
  auto bytes = Original();
  bytes.resize(100);  // inside the quantisation tables, before the frame
  EXPECT_EQ(Show(bytes), Code(JERR_NO_IMAGE));
}

TEST_F(BadPictureTest, BytesThatAreNoJpegAreAnError) {
  EXPECT_EQ(Show({'G', 'I', 'F', '8', '9', 'a', 0, 0}), Code(JERR_NO_SOI));
  EXPECT_EQ(Show({}), Code(JERR_INPUT_EMPTY));
}

TEST_F(BadPictureTest, ACorruptFrameIsAnError) {
  auto bytes = Original();
  // The frame header's sample precision, which baseline pictures keep at 8.
  for (std::size_t i = 2; i + 4 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 4] = 3;
      break;
    }
  }
  EXPECT_EQ(Show(bytes), Code(JERR_BAD_PRECISION));
}

TEST_F(BadPictureTest, AFrameClaimingAHugeSizeIsRefusedBeforeDecoding) {
  auto bytes = Original();
  // The frame header's height and width, each 16 bits: 65000 x 65000.
  for (std::size_t i = 2; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      for (const std::size_t at : {i + 5, i + 7}) {
        bytes[at] = 65000 >> 8;
        bytes[at + 1] = 65000 & 0xFF;
      }
      break;
    }
  }
  EXPECT_EQ(Show(bytes), Code(JERR_IMAGE_TOO_BIG));
}

// A header that reads well over a body that cannot be decoded: the tables the
// scan needs are missing, which the library finds only when it starts.
TEST_F(BadPictureTest, MissingQuantisationTablesAreAnErrorAfterTheHeader) {
  auto bytes = Original();
  std::vector<std::uint8_t> stripped(bytes.begin(), bytes.begin() + 2);
  for (std::size_t i = 2; i + 4 <= bytes.size();) {
    const std::size_t length = 2 + (static_cast<std::size_t>(bytes[i + 2]) << 8 | bytes[i + 3]);
    if (bytes[i + 1] == 0xDA) {  // the scan runs to the end
      stripped.insert(stripped.end(), bytes.begin() + static_cast<long>(i), bytes.end());
      break;
    }
    if (bytes[i + 1] != 0xDB) {
      stripped.insert(stripped.end(), bytes.begin() + static_cast<long>(i),
                      bytes.begin() + static_cast<long>(i + length));
    }
    i += length;
  }
  ASSERT_LT(stripped.size(), bytes.size());
  EXPECT_EQ(Show(stripped), Code(JERR_NO_QUANT_TABLE));
}

// A desktop that can make one of the two bitmaps but not the other.
class ShortOfBitmapsProcess : public SimProcess {
 public:
  ShortOfBitmapsProcess(SimDesktop& desktop, bool drawingBitmap)
      : SimProcess(desktop, "orvanel.scr /s"), drawingBitmap_(drawingBitmap) {}
  std::unique_ptr<platform::Bitmap> CreateBitmap(std::int32_t width, std::int32_t height) override {
    return drawingBitmap_ ? nullptr : SimProcess::CreateBitmap(width, height);
  }
  std::unique_ptr<platform::Bitmap> CreatePictureBitmap(std::int32_t width, std::int32_t height) override {
    return drawingBitmap_ ? SimProcess::CreatePictureBitmap(width, height) : nullptr;
  }

 private:
  bool drawingBitmap_;
};

// Out of memory for either bitmap is the library's own out-of-memory error,
// and the one that was made is not kept.
TEST_F(BadPictureTest, ABitmapThatCannotBeMadeIsAnOutOfMemoryError) {
  for (const bool drawingBitmap : {true, false}) {
    ShortOfBitmapsProcess shortOfBitmaps(desktop, drawingBitmap);
    const auto picture = LoadPicture(shortOfBitmaps, 3);
    EXPECT_EQ(ErrorOf([&] { FitPicture(shortOfBitmaps, picture, 800, 600); }), Code(JERR_OUT_OF_MEMORY))
        << drawingBitmap;
    EXPECT_EQ(desktop.liveBitmaps, 0) << drawingBitmap;
  }
}

TEST_F(BadPictureTest, ATruncatedScanIsOnlyAWarning) {
  auto bytes = Original();
  bytes.resize(bytes.size() / 2);  // the rest of the picture comes out grey
  EXPECT_EQ(Show(bytes), "no error");
}

}  // namespace
}  // namespace orvanel::slideshow
