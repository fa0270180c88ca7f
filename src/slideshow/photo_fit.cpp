#include "slideshow/photo_fit.h"

#include <bit>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/photo/area_reducer.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/halving_sink.h"
#include "platform/photo/photo_format.h"

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

// Fits a photo to the area as its decoder hands it on: planned from its
// header, its rows halved while they stay at least the size needed, then
// reduced by area straight into the picture bitmap. The decoded
// photo is never held here, and the reduced one only for a photo to be turned.
class Fitting : public platform::photo::PhotoTarget {
 public:
  Fitting(platform::Desktop& desktop, std::int32_t areaWidth, std::int32_t areaHeight)
      : desktop_(desktop), areaWidth_(areaWidth), areaHeight_(areaHeight) {}

  std::optional<platform::photo::PhotoSize> Plan(const platform::photo::PhotoHeader& header) override {
    // A photo decoded whole is held whole, so it is taken no larger than a picture.
    const std::int64_t most = header.whole ? kMaxPicturePixels : platform::photo::kMaxPhotoPixels;
    if (header.width <= 0 || header.height <= 0 || static_cast<std::int64_t>(header.width) * header.height > most) {
      return std::nullopt;
    }
    orientation_ = header.orientation;
    const bool sideways = orientation_ >= 5;
    size_ = FitSize(sideways ? header.height : header.width, sideways ? header.width : header.height, areaWidth_,
                    areaHeight_);
    need_ = {sideways ? size_.height : size_.width, sideways ? size_.width : size_.height};
    return need_;
  }

  // The reduction is written straight into the bitmap that is drawn: a
  // photo is shown once per presentation, so a copy in the display's own
  // format would cost a whole screen of memory for nothing.
  platform::photo::RowSink* Sink() override {
    if (size_.width == 0 || size_.height == 0) {
      noRoom_ = true;
      return nullptr;
    }
    picture_ = desktop_.CreatePhotoBitmap(size_.width, size_.height);
    if (!picture_) return nullptr;
    BitmapRowsSink& bitmap = bitmap_.emplace(picture_->Rows());
    // Kept reduced, to be turned once it is whole.
    platform::photo::RowSink& reduced = orientation_ == 1 ? static_cast<platform::photo::RowSink&>(bitmap)
                                                          : reduced_.emplace(kMaxPicturePixels);
    return &halving_.emplace(need_.width, need_.height, reducer_.emplace(need_.width, need_.height, reduced));
  }

  // The picture once the decoder is done, `decoded` its answer.
  std::optional<FittedPicture> Fitted(bool decoded) {
    if (noRoom_) return FittedPicture{};
    if (!decoded) return std::nullopt;
    if (orientation_ != 1) platform::photo::WriteOriented(reduced_->Image(), orientation_, *bitmap_);
    return FittedPicture{std::move(picture_), size_.width, size_.height};
  }

 private:
  platform::Desktop& desktop_;
  std::int32_t areaWidth_;
  std::int32_t areaHeight_;
  int orientation_ = 1;
  PictureSize size_;  // drawn
  platform::photo::PhotoSize need_;  // reduced to, before it is turned
  bool noRoom_ = false;
  std::unique_ptr<platform::Bitmap> picture_;
  std::optional<BitmapRowsSink> bitmap_;
  std::optional<platform::photo::ImageSink> reduced_;
  std::optional<platform::photo::AreaReducer> reducer_;
  std::optional<platform::photo::HalvingSink> halving_;
};

}  // namespace

RgbImage ReduceByArea(const RgbImage& image, std::int32_t width, std::int32_t height) {
  platform::photo::ImageSink reduced(kMaxPicturePixels);
  platform::photo::AreaReducer reducer(width, height, reduced);
  platform::photo::WriteOriented(image, 1, reducer);
  return std::move(reduced.Image());
}

std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, const platform::photo::ByteSource& photo,
                                      std::int32_t areaWidth, std::int32_t areaHeight) {
  Fitting fitting(desktop, areaWidth, areaHeight);
  const bool decoded = platform::photo::DecodePhoto(photo, fitting);
  return fitting.Fitted(decoded);
}

}  // namespace orvanel::slideshow
