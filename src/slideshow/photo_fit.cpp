#include "slideshow/photo_fit.h"

#include <algorithm>
#include <cmath>
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

void WriteRows(const RgbImage& image, platform::PixelRows rows) {
  const bool bgr = rows.layout != platform::PixelLayout::kRgbx32;
  const int step = rows.layout == platform::PixelLayout::kBgr24 ? 3 : 4;
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* from = image.Row(y);
    std::uint8_t* to = rows.first + y * rows.stride;
    for (std::int32_t x = 0; x < image.width; ++x, from += 3, to += step) {
      to[0] = bgr ? from[2] : from[0];
      to[1] = from[1];
      to[2] = bgr ? from[0] : from[2];
      if (step == 4) to[3] = 0xFF;
    }
  }
}

// The photo decoded at the scale its drawing size needs, reduced to that
// size and turned upright; nothing when it cannot be decoded.
std::optional<RgbImage> DecodeJpegFitted(std::span<const std::uint8_t> bytes, std::int32_t areaWidth,
                                         std::int32_t areaHeight, PictureSize& size) {
  namespace photo = platform::photo;
  const auto stored = photo::ReadJpegPhotoSize(bytes);
  if (!stored || stored->width <= 0 || stored->height <= 0 ||
      static_cast<std::int64_t>(stored->width) * stored->height > kMaxPhotoPixels) {
    return std::nullopt;
  }
  const int orientation = photo::ExifOrientation(bytes);
  const bool sideways = orientation >= 5;
  const std::int32_t uprightWidth = sideways ? stored->height : stored->width;
  const std::int32_t uprightHeight = sideways ? stored->width : stored->height;
  size = FitSize(uprightWidth, uprightHeight, areaWidth, areaHeight);
  if (size.width == 0 || size.height == 0) return RgbImage{};
  const std::int32_t needWidth = sideways ? size.height : size.width;
  const std::int32_t needHeight = sideways ? size.width : size.height;
  const int eighths = DctEighthsFor(stored->width, stored->height, needWidth, needHeight);
  // Decoded row by row straight into the reduction: the decoded photo is
  // never held whole.
  AreaReducer reducer(needWidth, needHeight);
  if (!photo::DecodeJpegRows(bytes, eighths, reducer)) return std::nullopt;
  RgbImage& reduced = reducer.Result();
  return orientation == 1 ? std::move(reduced) : photo::Orient(reduced, orientation);
}

// The whole photo decoded, then reduced to its drawing size.
std::optional<RgbImage> DecodePngFitted(std::span<const std::uint8_t> bytes, std::int32_t areaWidth,
                                        std::int32_t areaHeight, PictureSize& size) {
  auto decoded = platform::photo::DecodePngPhoto(bytes, kMaxPicturePixels);
  if (!decoded) return std::nullopt;
  size = FitSize(decoded->width, decoded->height, areaWidth, areaHeight);
  if (size.width == 0 || size.height == 0) return RgbImage{};
  return ReduceByArea(*decoded, size.width, size.height);
}

}  // namespace

RgbImage ReduceByArea(const RgbImage& image, std::int32_t width, std::int32_t height) {
  AreaReducer reducer(width, height);
  if (!reducer.Begin(image.width, image.height)) return RgbImage{};
  for (std::int32_t y = 0; y < image.height; ++y) reducer.Row(image.Row(y));
  return std::move(reducer.Result());
}

int DctEighthsFor(std::int32_t storedWidth, std::int32_t storedHeight, std::int32_t needWidth,
                  std::int32_t needHeight) {
  for (int eighths = 1; eighths < 8; ++eighths) {
    const auto scaled = platform::photo::ScaledJpegSize({storedWidth, storedHeight}, eighths);
    if (scaled.width >= needWidth && scaled.height >= needHeight) return eighths;
  }
  return 8;
}

std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, std::span<const std::uint8_t> bytes,
                                      std::int32_t areaWidth, std::int32_t areaHeight) {
  PictureSize size;
  std::optional<RgbImage> image;
  switch (platform::photo::RecogniseFormat(bytes)) {
    case platform::photo::PhotoFormat::kJpeg:
      image = DecodeJpegFitted(bytes, areaWidth, areaHeight, size);
      break;
    case platform::photo::PhotoFormat::kPng:
      image = DecodePngFitted(bytes, areaWidth, areaHeight, size);
      break;
    case platform::photo::PhotoFormat::kUnknown:
      break;
  }
  if (!image) return std::nullopt;
  if (size.width == 0 || size.height == 0) return FittedPicture{};
  auto scaled = desktop.CreateBitmap(size.width, size.height);
  auto picture = desktop.CreatePictureBitmap(size.width, size.height);
  if (!scaled || !picture) return std::nullopt;
  WriteRows(*image, picture->Rows());
  image.reset();
  auto context = desktop.BitmapContext(*scaled);
  context->StretchBitmap(*picture, platform::Rect{0, 0, size.width, size.height},
                         forms::ChooseStretchMode(context->BitsPerPixel(), picture->BitsPerPixel()));
  return FittedPicture{std::move(scaled), size.width, size.height};
}

}  // namespace orvanel::slideshow
