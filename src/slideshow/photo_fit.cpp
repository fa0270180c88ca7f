#include "slideshow/photo_fit.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "platform/forms/canvas.h"
#include "slideshow/area_reducer.h"
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
    const bool bgr = rows_.layout != platform::PixelLayout::kRgbx32;
    const int step = rows_.layout == platform::PixelLayout::kBgr24 ? 3 : 4;
    std::uint8_t* to = rows_.first + y_++ * rows_.stride;
    for (std::int32_t x = 0; x < width_; ++x, rgb += 3, to += step) {
      to[0] = bgr ? rgb[2] : rgb[0];
      to[1] = rgb[1];
      to[2] = bgr ? rgb[0] : rgb[2];
      if (step == 4) to[3] = 0xFF;
    }
  }

 private:
  platform::PixelRows rows_;
  std::int32_t width_ = 0;
  std::ptrdiff_t y_ = 0;
};

void WriteImage(const RgbImage& image, platform::photo::RowSink& sink) {
  if (!sink.Begin(image.width, image.height)) return;
  for (std::int32_t y = 0; y < image.height; ++y) sink.Row(image.Row(y));
}

// How a JPEG is decoded for an area: its size drawn, the size decoded and
// reduced to before it is turned, the DCT scale, the turn.
struct JpegPlan {
  PictureSize size;
  std::int32_t needWidth = 0;
  std::int32_t needHeight = 0;
  int eighths = 8;
  int orientation = 1;
};

std::optional<JpegPlan> PlanJpeg(std::span<const std::uint8_t> bytes, std::int32_t areaWidth,
                                 std::int32_t areaHeight) {
  namespace photo = platform::photo;
  const auto stored = photo::ReadJpegPhotoSize(bytes);
  if (!stored || stored->width <= 0 || stored->height <= 0 ||
      static_cast<std::int64_t>(stored->width) * stored->height > photo::kMaxPhotoPixels) {
    return std::nullopt;
  }
  JpegPlan plan;
  plan.orientation = photo::ExifOrientation(bytes);
  const bool sideways = plan.orientation >= 5;
  plan.size = FitSize(sideways ? stored->height : stored->width, sideways ? stored->width : stored->height,
                      areaWidth, areaHeight);
  plan.needWidth = sideways ? plan.size.height : plan.size.width;
  plan.needHeight = sideways ? plan.size.width : plan.size.height;
  plan.eighths = DctEighthsFor(stored->width, stored->height, plan.needWidth, plan.needHeight);
  return plan;
}

// Decodes the JPEG row by row straight into the reduction, and the reduced
// rows straight into the picture bitmap: neither the decoded photo nor a
// copy of the reduced one is held, but for a photo to be turned.
bool DecodeJpegInto(std::span<const std::uint8_t> bytes, const JpegPlan& plan, platform::PixelRows rows) {
  namespace photo = platform::photo;
  BitmapRowsSink bitmap(rows);
  if (plan.orientation == 1) {
    AreaReducer reducer(plan.needWidth, plan.needHeight, bitmap);
    return photo::DecodeJpegRows(bytes, plan.eighths, reducer);
  }
  photo::ImageSink reduced(kMaxPicturePixels);
  AreaReducer reducer(plan.needWidth, plan.needHeight, reduced);
  if (!photo::DecodeJpegRows(bytes, plan.eighths, reducer)) return false;
  WriteImage(photo::Orient(reduced.Image(), plan.orientation), bitmap);
  return true;
}

}  // namespace

RgbImage ReduceByArea(const RgbImage& image, std::int32_t width, std::int32_t height) {
  platform::photo::ImageSink reduced(kMaxPicturePixels);
  AreaReducer reducer(width, height, reduced);
  WriteImage(image, reducer);
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

std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, std::vector<std::uint8_t> bytes,
                                      std::int32_t areaWidth, std::int32_t areaHeight) {
  // The picture bitmap is made at the drawing size before decoding, and the
  // file's bytes go before the display's bitmap is made: at most one of
  // the large buffers besides the picture bitmap at any time.
  std::unique_ptr<platform::Bitmap> picture;
  PictureSize size;
  switch (platform::photo::RecogniseFormat(bytes)) {
    case platform::photo::PhotoFormat::kJpeg: {
      const auto plan = PlanJpeg(bytes, areaWidth, areaHeight);
      if (!plan) return std::nullopt;
      size = plan->size;
      if (size.width == 0 || size.height == 0) return FittedPicture{};
      picture = desktop.CreatePictureBitmap(size.width, size.height);
      if (!picture || !DecodeJpegInto(bytes, *plan, picture->Rows())) return std::nullopt;
      break;
    }
    case platform::photo::PhotoFormat::kPng: {
      auto decoded = platform::photo::DecodePngPhoto(bytes, kMaxPicturePixels);
      if (!decoded) return std::nullopt;
      size = FitSize(decoded->width, decoded->height, areaWidth, areaHeight);
      if (size.width == 0 || size.height == 0) return FittedPicture{};
      picture = desktop.CreatePictureBitmap(size.width, size.height);
      if (!picture) return std::nullopt;
      BitmapRowsSink bitmap(picture->Rows());
      AreaReducer reducer(size.width, size.height, bitmap);
      WriteImage(*decoded, reducer);
      break;
    }
    case platform::photo::PhotoFormat::kUnknown:
      return std::nullopt;
  }
  std::vector<std::uint8_t>().swap(bytes);
  auto scaled = desktop.CreateBitmap(size.width, size.height);
  if (!scaled) return std::nullopt;
  auto context = desktop.BitmapContext(*scaled);
  context->StretchBitmap(*picture, platform::Rect{0, 0, size.width, size.height},
                         forms::ChooseStretchMode(context->BitsPerPixel(), picture->BitsPerPixel()));
  return FittedPicture{std::move(scaled), size.width, size.height};
}

}  // namespace orvanel::slideshow
