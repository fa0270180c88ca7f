// The formats Linux decodes through Debian's libraries.
#include "platform/photo/bmp_photo.h"
#include "platform/photo/gif_photo.h"
#include "platform/photo/heif_photo.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/photo_signatures.h"
#include "platform/photo/tiff_photo.h"

namespace orvanel::platform::photo {
namespace {

constexpr PhotoFormat kSystemFormats[] = {
    {HasHeifSignature, DecodeHeifPhoto},
    {HasAvifSignature, DecodeHeifPhoto},
    {HasTiffSignature, DecodeTiffPhoto},
    {HasGifSignature, DecodeGifPhoto},
    {HasBmpSignature, DecodeBmpPhoto},
};

}  // namespace

std::span<const PhotoFormat> SystemFormats() { return kSystemFormats; }

}  // namespace orvanel::platform::photo
