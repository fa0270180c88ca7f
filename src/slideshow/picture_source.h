#pragma once
// Where a picture comes from: the module's resource "pic" + number of type
// "JPEG", decoded at full size and scaled down to fit an area. Nothing
// survives from one presentation to the next.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/desktop.h"

namespace orvanel::slideshow {

// A picture file as the module holds it, with the size its header gives.
struct PictureData {
  std::span<const std::uint8_t> bytes;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct PictureSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The picture at the size it is drawn, in the display's format.
struct FittedPicture {
  std::unique_ptr<platform::Bitmap> bitmap;  // null for an empty area
  std::int32_t width = 0;
  std::int32_t height = 0;
  // When a photo was taken, as it records it; nothing when it does not.
  std::optional<platform::DateTime> taken;
};

// The largest picture decoded: 8192 x 8192 pixels.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{8192} * 8192;

// The bytes of picture `number`. Raises "Resource %s not found" with the
// name asked for (pic12), or "JPEG error #%d" when its header is unreadable.
PictureData LoadPicture(platform::Desktop& desktop, std::int32_t number);

// The size a picture is drawn at in an area: scaled down to fit, keeping its
// shape, never enlarged.
PictureSize FitSize(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t areaWidth,
                    std::int32_t areaHeight);

// Decodes the picture and scales it to FitSize. Raises "JPEG error #%d" with
// the decoder's message code when the data cannot be decoded.
FittedPicture FitPicture(platform::Desktop& desktop, const PictureData& picture,
                         std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace orvanel::slideshow
