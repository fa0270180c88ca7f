#include "slideshow/photo_fit.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "platform/photo/area_reducer.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/jpeg_photo.h"
#include "platform/photo/png_photo.h"

namespace orvanel::slideshow {
namespace {

using platform::photo::RgbImage;

// Writes RGB rows into a picture bitmap's rows, in its pixel layout.
class BitmapRowsSink : public platform::photo::RowSink {
 public:
  explicit BitmapRowsSink(platform::PixelRows rows) : rows_(rows) {}
  bool Begin(std::int32_t width, std::int32_t) override {
    width_ = width;
    return rows_.first != nullptr;
  }
  void Row(const std::uint8_t* rgb) override {
    std::uint8_t* to = rows_.first + y_++ * rows_.stride;
    switch (rows_.layout) {
      case platform::PixelLayout::kBgr24:
        Convert<3, true>(rgb, to, width_);
        break;
      case platform::PixelLayout::kRgbx32:
        Convert<4, false>(rgb, to, width_);
        break;
      case platform::PixelLayout::kBgrx32:
        ToBgrx(rgb, to);
        break;
    }
  }

 private:
  // One loop for each layout, free of tests, for the compiler to vectorise.
  template <int kStep, bool kBgr>
  static void Convert(const std::uint8_t* __restrict rgb, std::uint8_t* __restrict to, std::int32_t count) {
    for (std::int32_t x = 0; x < count; ++x, rgb += 3, to += kStep) {
      to[0] = kBgr ? rgb[2] : rgb[0];
      to[1] = rgb[1];
      to[2] = kBgr ? rgb[0] : rgb[2];
      if constexpr (kStep == 4) to[3] = 0xFF;
    }
  }

  // The display's layout, and so the common one: each pixel read as one
  // 32-bit word and its bytes moved in a register. The last pixel is done
  // on its own, as its word would end past the row.
  void ToBgrx(const std::uint8_t* __restrict rgb, std::uint8_t* __restrict to) const {
    std::int32_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
      for (; x + 1 < width_; ++x, rgb += 3, to += 4) {
        std::uint32_t word;
        std::memcpy(&word, rgb, 4);
        const std::uint32_t pixel = 0xFF000000u | (word & 0xFFu) << 16 | (word & 0xFF00u) | (word >> 16 & 0xFFu);
        std::memcpy(to, &pixel, 4);
      }
    }
    Convert<4, true>(rgb, to, width_ - x);
  }

  platform::PixelRows rows_;
  std::int32_t width_ = 0;
  std::ptrdiff_t y_ = 0;
};

// How a JPEG is decoded for an area: its size drawn, the size decoded and
// reduced to before it is turned, the DCT scale, the turn.
struct JpegPlan {
  PictureSize size;
  std::int32_t needWidth = 0;
  std::int32_t needHeight = 0;
  int eighths = 8;
  int orientation = 1;
};

std::optional<JpegPlan> PlanJpeg(const platform::photo::ByteSource& source,
                                 std::span<const std::uint8_t> start, std::int32_t areaWidth,
                                 std::int32_t areaHeight) {
  namespace photo = platform::photo;
  const auto stored = photo::ReadJpegPhotoSize(source);
  if (!stored || stored->width <= 0 || stored->height <= 0 ||
      static_cast<std::int64_t>(stored->width) * stored->height > photo::kMaxPhotoPixels) {
    return std::nullopt;
  }
  JpegPlan plan;
  plan.orientation = photo::ExifOrientation(start);
  const bool sideways = plan.orientation >= 5;
  plan.size = FitSize(sideways ? stored->height : stored->width, sideways ? stored->width : stored->height,
                      areaWidth, areaHeight);
  plan.needWidth = sideways ? plan.size.height : plan.size.width;
  plan.needHeight = sideways ? plan.size.width : plan.size.height;
  plan.eighths = DctEighthsFor(stored->width, stored->height, plan.needWidth, plan.needHeight);
  return plan;
}

// Decodes the JPEG row by row straight into the reduction, and the reduced
// rows straight into the picture bitmap: the decoded photo is never held,
// and the reduced one only for a photo to be turned.
bool DecodeJpegInto(const platform::photo::ByteSource& source, const JpegPlan& plan, platform::PixelRows rows) {
  namespace photo = platform::photo;
  BitmapRowsSink bitmap(rows);
  if (plan.orientation == 1) {
    platform::photo::AreaReducer reducer(plan.needWidth, plan.needHeight, bitmap);
    return photo::DecodeJpegRows(source, plan.eighths, reducer);
  }
  photo::ImageSink reduced(kMaxPicturePixels);
  platform::photo::AreaReducer reducer(plan.needWidth, plan.needHeight, reduced);
  if (!photo::DecodeJpegRows(source, plan.eighths, reducer)) return false;
  photo::WriteOriented(reduced.Image(), plan.orientation, bitmap);
  return true;
}

// A PNG is decoded from its whole file, which libpng's simple interface takes.
std::optional<RgbImage> DecodePngFile(const platform::photo::ByteSource& source) {
  const auto bytes = platform::photo::ReadAll(source, kMaxPngFileBytes);
  if (!bytes) return std::nullopt;
  return platform::photo::DecodePngPhoto(*bytes, kMaxPicturePixels);
}

}  // namespace

RgbImage ReduceByArea(const RgbImage& image, std::int32_t width, std::int32_t height) {
  platform::photo::ImageSink reduced(kMaxPicturePixels);
  platform::photo::AreaReducer reducer(width, height, reduced);
  platform::photo::WriteOriented(image, 1, reducer);
  return std::move(reduced.Image());
}

int DctEighthsFor(std::int32_t storedWidth, std::int32_t storedHeight, std::int32_t needWidth,
                  std::int32_t needHeight) {
  for (int eighths = 1; eighths < 8; ++eighths) {
    const auto scaled = platform::photo::ScaledJpegSize({storedWidth, storedHeight}, eighths);
    if (scaled.width >= needWidth && scaled.height >= needHeight) return eighths;
  }
  return 8;
}

std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, const platform::photo::ByteSource& photo,
                                      std::int32_t areaWidth, std::int32_t areaHeight) {
  namespace decoders = platform::photo;
  // The reduction is written straight into the bitmap that is drawn: a
  // photo is shown once per presentation, so a copy in the display's own
  // format would cost a whole screen of memory for nothing.
  std::unique_ptr<platform::Bitmap> picture;
  PictureSize size;
  // One read of the file's start gives both its signature and its Exif block.
  const auto start = decoders::ReadStart(photo, decoders::kExifSearchBytes);
  switch (decoders::RecogniseFormat(start)) {
    case decoders::PhotoFormat::kJpeg: {
      const auto plan = PlanJpeg(photo, start, areaWidth, areaHeight);
      if (!plan) return std::nullopt;
      size = plan->size;
      if (size.width == 0 || size.height == 0) return FittedPicture{};
      picture = desktop.CreatePhotoBitmap(size.width, size.height);
      if (!picture || !DecodeJpegInto(photo, *plan, picture->Rows())) return std::nullopt;
      break;
    }
    case decoders::PhotoFormat::kPng: {
      auto decoded = DecodePngFile(photo);
      if (!decoded) return std::nullopt;
      size = FitSize(decoded->width, decoded->height, areaWidth, areaHeight);
      if (size.width == 0 || size.height == 0) return FittedPicture{};
      picture = desktop.CreatePhotoBitmap(size.width, size.height);
      if (!picture) return std::nullopt;
      BitmapRowsSink bitmap(picture->Rows());
      platform::photo::AreaReducer reducer(size.width, size.height, bitmap);
      decoders::WriteOriented(*decoded, 1, reducer);
      break;
    }
    case decoders::PhotoFormat::kUnknown:
      return std::nullopt;
  }
  return FittedPicture{std::move(picture), size.width, size.height};
}

}  // namespace orvanel::slideshow
