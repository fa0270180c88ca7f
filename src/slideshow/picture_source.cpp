#include "slideshow/picture_source.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/forms/canvas.h"
#include "platform/forms/error.h"
#include "platform/jpeg/jpeg_decoder.h"

namespace orvanel::slideshow {
namespace {

// The nearest whole number, halves going to the even one.
std::int32_t Nearest(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

[[noreturn]] void RaiseJpegError(int code) {
  throw forms::SaverError(forms::FormatMessage("JPEG error #%d", code));
}

// Inside the area with the picture's own shape, never enlarged, at least one
// pixel each way.
PictureSize FitInside(std::int32_t pw, std::int32_t ph, std::int32_t aw, std::int32_t ah) {
  const double scale = std::min({1.0, static_cast<double>(aw) / pw, static_cast<double>(ah) / ph});
  return PictureSize{std::clamp(Nearest(pw * scale), 1, aw), std::clamp(Nearest(ph * scale), 1, ah)};
}

}  // namespace

PictureData LoadPicture(platform::Desktop& desktop, std::int32_t number) {
  const std::string name = "pic" + std::to_string(number);
  const auto bytes = desktop.FindModuleResource(name, "JPEG");
  if (!bytes) throw forms::SaverError(forms::FormatMessage("Resource %s not found", name));
  const auto header = platform::jpeg::ReadHeader(*bytes);
  if (header.errorCode != 0) RaiseJpegError(header.errorCode);
  return PictureData{*bytes, header.width, header.height};
}

PictureSize FitSize(std::int32_t pw, std::int32_t ph, std::int32_t aw, std::int32_t ah) {
  if (pw <= 0 || ph <= 0 || aw <= 0 || ah <= 0) return PictureSize{};
  const double ratio = pw > ph ? static_cast<double>(pw) / ph : static_cast<double>(ph) / pw;
  PictureSize size{pw, ph};
  if (ph > ah && ph > pw) {
    // A portrait picture taller than the area.
    size = PictureSize{Nearest(ah / ratio), ah};
  } else if (pw > aw && pw >= ph) {
    // A landscape or square picture wider than the area.
    size.height = Nearest(aw / ratio);
    size.width = aw;
    if (size.height > ah) size = PictureSize{Nearest(ah * ratio), ah};
  } else if (pw > aw) {
    // A portrait picture wider than the area but not taller: the width rules
    // are for landscape shapes, so fit it whole instead.
    return FitInside(pw, ph, aw, ah);
  }
  // A picture of extreme shape (a 1000 x 2 strip) rounds to no pixel on its
  // short side; it keeps one, so that it is shown rather than taken for an
  // empty area.
  size.width = std::max(size.width, 1);
  size.height = std::max(size.height, 1);
  // Whatever still overflows the area (a landscape picture taller than the
  // area but not wider, a portrait one in an area narrower than its shape)
  // is fitted inside it, keeping its shape.
  if (size.width > aw || size.height > ah) return FitInside(pw, ph, aw, ah);
  return size;
}

FittedPicture FitPicture(platform::Desktop& desktop, const PictureData& picture,
                         std::int32_t areaWidth, std::int32_t areaHeight) {
  // A header may claim any size up to 65500 x 65500; the decoded picture is
  // kept in memory whole, so a size far beyond any screen is refused.
  if (static_cast<std::int64_t>(picture.width) * picture.height > kMaxPicturePixels) {
    RaiseJpegError(platform::jpeg::ImageTooBigCode());
  }
  const PictureSize size = FitSize(picture.width, picture.height, areaWidth, areaHeight);
  if (size.width == 0 || size.height == 0) return FittedPicture{};

  // Sized first, as the display's bitmap is made for the drawing size.
  auto scaled = desktop.CreateBitmap(size.width, size.height);
  auto decoded = desktop.CreatePictureBitmap(picture.width, picture.height);
  if (!scaled || !decoded) RaiseJpegError(platform::jpeg::OutOfMemoryCode());
  auto scaledContext = desktop.BitmapContext(*scaled);
  const bool paletteDisplay = scaledContext->BitsPerPixel() <= 8;
  const int code = platform::jpeg::Decode(picture.bytes, decoded->Rows(), picture.width,
                                          picture.height, paletteDisplay);
  if (code != 0) RaiseJpegError(code);
  scaledContext->StretchBitmap(
      *decoded, platform::Rect{0, 0, size.width, size.height},
      forms::ChooseStretchMode(scaledContext->BitsPerPixel(), decoded->BitsPerPixel()));
  return FittedPicture{std::move(scaled), size.width, size.height, std::nullopt};
}

}  // namespace orvanel::slideshow
