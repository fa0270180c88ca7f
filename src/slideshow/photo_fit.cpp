#include "slideshow/photo_fit.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/forms/canvas.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/jpeg_photo.h"
#include "platform/photo/png_photo.h"

namespace orvanel::slideshow {
namespace {

using platform::photo::RgbImage;

// The source pixels one output pixel covers along one side, with their shares.
struct Span {
  std::int32_t first = 0;
  std::vector<float> weights;
};

std::vector<Span> SpansFor(std::int32_t source, std::int32_t target) {
  std::vector<Span> spans(static_cast<std::size_t>(target));
  const double step = static_cast<double>(source) / target;
  for (std::int32_t i = 0; i < target; ++i) {
    const double from = i * step;
    const double to = std::min<double>(source, (i + 1) * step);
    Span& span = spans[static_cast<std::size_t>(i)];
    span.first = static_cast<std::int32_t>(from);
    for (std::int32_t s = span.first; s < to; ++s) {
      const double covered = std::min<double>(s + 1, to) - std::max<double>(s, from);
      span.weights.push_back(static_cast<float>(covered / step));
    }
  }
  return spans;
}

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
  auto decoded = photo::DecodeJpegPhoto(bytes, eighths, kMaxPicturePixels);
  if (!decoded) return std::nullopt;
  RgbImage reduced = ReduceByArea(*decoded, needWidth, needHeight);
  decoded.reset();  // the larger one goes before the turned copy is made
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
  RgbImage reduced;
  reduced.width = width;
  reduced.height = height;
  reduced.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  if (width == image.width && height == image.height) {
    reduced.pixels = image.pixels;
    return reduced;
  }
  const auto columns = SpansFor(image.width, width);
  const auto rows = SpansFor(image.height, height);
  // One output row at a time: the rows it covers summed by their shares,
  // then the columns; only one row of sums is ever held.
  std::vector<float> sums(static_cast<std::size_t>(image.width) * 3);
  for (std::int32_t y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    const Span& rowSpan = rows[static_cast<std::size_t>(y)];
    for (std::size_t r = 0; r < rowSpan.weights.size(); ++r) {
      const std::uint8_t* from = image.Row(rowSpan.first + static_cast<std::int32_t>(r));
      const float weight = rowSpan.weights[r];
      for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += weight * from[i];
    }
    std::uint8_t* to = reduced.Row(y);
    for (std::int32_t x = 0; x < width; ++x) {
      const Span& columnSpan = columns[static_cast<std::size_t>(x)];
      float pixel[3] = {0, 0, 0};
      for (std::size_t c = 0; c < columnSpan.weights.size(); ++c) {
        const float* sum = &sums[static_cast<std::size_t>(columnSpan.first + static_cast<std::int32_t>(c)) * 3];
        for (int k = 0; k < 3; ++k) pixel[k] += columnSpan.weights[c] * sum[k];
      }
      for (int k = 0; k < 3; ++k) {
        *to++ = static_cast<std::uint8_t>(std::clamp(std::lround(pixel[k]), 0L, 255L));
      }
    }
  }
  return reduced;
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
