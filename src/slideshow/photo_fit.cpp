#include "slideshow/photo_fit.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/photo/area_reducer.h"
#include "platform/photo/colour_sink.h"
#include "platform/photo/crop_sink.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/halving_sink.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/smooth_enlarger.h"

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

// Scales the decoded rows to a size: halved while they stay at least that
// size, then reduced by area; or, for a photo decoded smaller than that
// size, enlarged smoothly.
class Scaling : public platform::photo::RowSink {
 public:
  Scaling(std::int32_t width, std::int32_t height, platform::photo::RowSink& output)
      : width_(width), height_(height), output_(output) {}

  bool Begin(std::int32_t width, std::int32_t height) override {
    if (width >= width_ && height >= height_) {
      scaler_ = &halving_.emplace(width_, height_, reducer_.emplace(width_, height_, output_));
    } else {
      scaler_ = &enlarger_.emplace(width_, height_, output_);
    }
    return scaler_->Begin(width, height);
  }
  void Row(const std::uint8_t* rgb) override { scaler_->Row(rgb); }

 private:
  std::int32_t width_;
  std::int32_t height_;
  platform::photo::RowSink& output_;
  platform::photo::RowSink* scaler_ = nullptr;
  std::optional<platform::photo::AreaReducer> reducer_;
  std::optional<platform::photo::HalvingSink> halving_;
  std::optional<platform::photo::SmoothEnlarger> enlarger_;
};

// Frames a photo in the area as its decoder hands it on: planned from its
// header, its rows scaled straight into the picture bitmap, the part a
// filled frame crops away dropped on the way. The decoded photo is never
// held here, and the scaled one only for a photo to be turned.
class Fitting : public platform::photo::PhotoTarget {
 public:
  Fitting(platform::Desktop& desktop, std::int32_t areaWidth, std::int32_t areaHeight, instance::FitMode mode)
      : desktop_(desktop), areaWidth_(areaWidth), areaHeight_(areaHeight), mode_(mode) {}

  std::optional<platform::photo::PhotoSize> Plan(const platform::photo::PhotoHeader& header) override {
    if (!PhotoSizeShown(header)) return std::nullopt;
    orientation_ = header.orientation;
    taken_ = header.taken;
    colour_ = header.colour;
    const bool sideways = orientation_ >= 5;
    frame_ = FramePhoto(sideways ? header.height : header.width, sideways ? header.width : header.height,
                        areaWidth_, areaHeight_, mode_);
    const PictureSize& scaled = frame_.scaled;
    need_ = {sideways ? scaled.height : scaled.width, sideways ? scaled.width : scaled.height};
    return need_;
  }

  // The rows are written straight into the bitmap that is drawn: a
  // photo is shown once per presentation, so a copy in the display's own
  // format would cost a whole screen of memory for nothing.
  platform::photo::RowSink* Sink() override {
    const PictureSize& drawn = frame_.drawn;
    if (drawn.width == 0 || drawn.height == 0) {
      noRoom_ = true;
      return nullptr;
    }
    picture_ = desktop_.CreatePhotoBitmap(drawn.width, drawn.height);
    if (!picture_) return nullptr;
    upright_ = &bitmap_.emplace(picture_->Rows());
    if (frame_.scaled != drawn) {
      upright_ = &crop_.emplace((frame_.scaled.width - drawn.width) / 2, (frame_.scaled.height - drawn.height) / 2,
                                drawn.width, drawn.height, *upright_);
    }
    // Kept scaled, to be turned once it is whole.
    platform::photo::RowSink* scaled = orientation_ == 1 ? upright_ : &scaled_.emplace(kMaxPicturePixels);
    // Screen-sized rows into the display's colours.
    colourSink_ = platform::photo::ColourSink::For(colour_, {}, *scaled);
    if (colourSink_) scaled = colourSink_.get();
    return &scaling_.emplace(need_.width, need_.height, *scaled);
  }

  // The picture once the decoder is done, `decoded` its answer.
  std::optional<FittedPicture> Fitted(bool decoded) {
    if (noRoom_) return FittedPicture{};
    if (!decoded) return std::nullopt;
    if (orientation_ != 1) platform::photo::WriteOriented(scaled_->Image(), orientation_, *upright_);
    return FittedPicture{std::move(picture_), frame_.drawn.width, frame_.drawn.height, taken_};
  }

 private:
  platform::Desktop& desktop_;
  std::int32_t areaWidth_;
  std::int32_t areaHeight_;
  instance::FitMode mode_;
  int orientation_ = 1;
  std::optional<platform::DateTime> taken_;
  platform::photo::ColourDescription colour_;
  PhotoFrame frame_;
  platform::photo::PhotoSize need_;  // scaled to, before it is turned
  bool noRoom_ = false;
  std::unique_ptr<platform::Bitmap> picture_;
  std::optional<BitmapRowsSink> bitmap_;
  std::optional<platform::photo::CropSink> crop_;
  platform::photo::RowSink* upright_ = nullptr;  // takes the rows once turned
  std::optional<platform::photo::ImageSink> scaled_;
  std::unique_ptr<platform::photo::ColourSink> colourSink_;
  std::optional<Scaling> scaling_;
};

// The size of a photo scaled to `area` along its tighter side (cover) or
// its looser one (contain), keeping its shape, at least one pixel each way.
// Wide enough for a sliver of a photo, whose cover runs far past any area.
struct ScaledSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};
ScaledSize ScaledToArea(std::int32_t width, std::int32_t height, std::int32_t areaWidth, std::int32_t areaHeight,
                        bool cover) {
  // Wider than the area, in shape: its height decides a cover, its width a fit.
  const bool wider = std::int64_t{width} * areaHeight >= std::int64_t{height} * areaWidth;
  const auto scaledSide = [](std::int64_t side, std::int64_t to, std::int64_t from) {
    return std::max<std::int64_t>(1, (side * to + from / 2) / from);
  };
  if (wider == cover) return {scaledSide(width, areaHeight, height), areaHeight};
  return {areaWidth, scaledSide(height, areaWidth, width)};
}

// A size known to lie within an area's bounds, or within half as much again.
PictureSize Narrowed(const ScaledSize& size) {
  return {static_cast<std::int32_t>(size.width), static_cast<std::int32_t>(size.height)};
}

}  // namespace

RgbImage ReduceByArea(const RgbImage& image, std::int32_t width, std::int32_t height) {
  platform::photo::ImageSink reduced(kMaxPicturePixels);
  platform::photo::AreaReducer reducer(width, height, reduced);
  platform::photo::WriteOriented(image, 1, reducer);
  return std::move(reduced.Image());
}

PhotoFrame FramePhoto(std::int32_t photoWidth, std::int32_t photoHeight, std::int32_t areaWidth,
                      std::int32_t areaHeight, instance::FitMode mode) {
  if (mode == instance::FitMode::kFit || areaWidth <= 0 || areaHeight <= 0 || photoWidth <= 0 || photoHeight <= 0) {
    const PictureSize fitted = FitSize(photoWidth, photoHeight, areaWidth, areaHeight);
    return {fitted, fitted};
  }
  const ScaledSize cover = ScaledToArea(photoWidth, photoHeight, areaWidth, areaHeight, true);
  // Cropping away up to a third keeps what a photo is of: a 4:3 or 3:2 photo
  // on a 16:9 or 16:10 monitor loses a quarter at most. A portrait on a
  // landscape monitor would lose more than half, a square one nearly half.
  if (3 * std::int64_t{areaWidth} * areaHeight >= 2 * cover.width * cover.height) {
    return {Narrowed(cover), {areaWidth, areaHeight}};
  }
  const PictureSize whole = Narrowed(ScaledToArea(photoWidth, photoHeight, areaWidth, areaHeight, false));
  return {whole, whole};
}

bool PhotoSizeShown(const platform::photo::PhotoHeader& header) {
  const std::int64_t most = header.whole ? kMaxPicturePixels : platform::photo::kMaxPhotoPixels;
  return header.width > 0 && header.height > 0 && static_cast<std::int64_t>(header.width) * header.height <= most;
}

std::optional<FittedPicture> FitPhoto(platform::Desktop& desktop, const platform::photo::ByteSource& photo,
                                      std::int32_t areaWidth, std::int32_t areaHeight, instance::FitMode mode) {
  Fitting fitting(desktop, areaWidth, areaHeight, mode);
  const bool decoded = platform::photo::DecodePhoto(photo, fitting);
  return fitting.Fitted(decoded);
}

}  // namespace orvanel::slideshow
