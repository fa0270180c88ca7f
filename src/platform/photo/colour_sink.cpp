#include "platform/photo/colour_sink.h"

#include <lcms2.h>

namespace orvanel::platform::photo {
namespace {

// Closes a profile on every way out.
struct Profile {
  explicit Profile(cmsHPROFILE handle) : handle(handle) {}
  ~Profile() {
    if (handle != nullptr) cmsCloseProfile(handle);
  }
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;
  cmsHPROFILE handle;
};

cmsHPROFILE OpenProfile(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return cmsCreate_sRGBProfile();
  return cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
}

}  // namespace

std::unique_ptr<ColourSink> ColourSink::For(const ColourDescription& source, std::span<const std::uint8_t> display,
                                            RowSink& next) {
  if (source.iccProfile.empty()) return nullptr;
  const Profile from(OpenProfile(source.iccProfile));
  const Profile to(OpenProfile(display));
  if (from.handle == nullptr || to.handle == nullptr) return nullptr;
  if (cmsGetColorSpace(from.handle) != cmsSigRgbData || cmsGetColorSpace(to.handle) != cmsSigRgbData) return nullptr;
  // A transform keeps what it needs of both profiles.
  const cmsHTRANSFORM transform =
      cmsCreateTransform(from.handle, TYPE_RGB_8, to.handle, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
  if (transform == nullptr) return nullptr;
  return std::unique_ptr<ColourSink>(new ColourSink(transform, next));
}

ColourSink::~ColourSink() { cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_)); }

bool ColourSink::Begin(std::int32_t width, std::int32_t height) {
  width_ = static_cast<std::uint32_t>(width);
  row_.resize(static_cast<std::size_t>(width_) * 3);
  return next_.Begin(width, height);
}

void ColourSink::Row(const std::uint8_t* rgb) {
  cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), rgb, row_.data(), width_);
  next_.Row(row_.data());
}

}  // namespace orvanel::platform::photo
