#pragma once
// The JPEG decoder: libjpeg with its default settings (full size, colour,
// best quality), its warnings ignored, a fatal error reported as the
// library's message code.
#include <cstdint>
#include <span>

#include "platform/desktop.h"

namespace orvanel::platform::jpeg {

// The library's message codes for memory it could not get, and for a
// picture too large to take.
int OutOfMemoryCode();
int ImageTooBigCode();

struct HeaderResult {
  std::int32_t width = 0;
  std::int32_t height = 0;
  int errorCode = 0;  // the library's message code; 0 when the header was read
};

// Reads the picture's size from its header.
HeaderResult ReadHeader(std::span<const std::uint8_t> data);

// Decodes the whole picture into `rows`, which hold width x height pixels in
// their layout. With `reduceTo236Colours` the picture is quantised to 236
// colours, for displays of 8 bits a pixel or fewer. Returns 0, or the
// library's message code of a fatal error.
int Decode(std::span<const std::uint8_t> data, PixelRows rows, std::int32_t width,
           std::int32_t height, bool reduceTo236Colours);

}  // namespace orvanel::platform::jpeg
