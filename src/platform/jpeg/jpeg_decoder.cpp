#include "platform/jpeg/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace orvanel::platform::jpeg {
namespace {

// The library's error manager, extended with the place to jump back to.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnFatalError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings and trace messages go nowhere.
void OnMessage(j_common_ptr) {}

void UseErrorManager(jpeg_decompress_struct& info, ErrorManager& errors) {
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnFatalError;
  errors.pub.output_message = OnMessage;
}

J_COLOR_SPACE ColourSpaceFor(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::kBgr24:
      return JCS_EXT_BGR;
    case PixelLayout::kBgrx32:
      return JCS_EXT_BGRX;
    case PixelLayout::kRgbx32:
      break;
  }
  return JCS_EXT_RGBX;
}

// Spreads a quantised row (colour-map indexes) into the target layout.
void ExpandRow(const JSAMPLE* indexes, JSAMPARRAY colourMap, JDIMENSION width, std::uint8_t* to,
               PixelLayout layout) {
  const bool bgr = layout != PixelLayout::kRgbx32;
  const bool padded = layout != PixelLayout::kBgr24;
  const int step = padded ? 4 : 3;
  for (JDIMENSION x = 0; x < width; ++x) {
    const int i = indexes[x];
    std::uint8_t* pixel = to + static_cast<std::size_t>(x) * step;
    pixel[bgr ? 2 : 0] = colourMap[0][i];
    pixel[1] = colourMap[1][i];
    pixel[bgr ? 0 : 2] = colourMap[2][i];
    if (padded) pixel[3] = 0xFF;
  }
}

}  // namespace

int OutOfMemoryCode() { return JERR_OUT_OF_MEMORY; }

int ImageTooBigCode() { return JERR_IMAGE_TOO_BIG; }

// No object with a destructor lives in these functions: longjmp skips them.
HeaderResult ReadHeader(std::span<const std::uint8_t> data) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  UseErrorManager(info, errors);
  if (setjmp(errors.jump)) {
    const int code = errors.pub.msg_code;
    jpeg_destroy_decompress(&info);
    return HeaderResult{0, 0, code};
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  const HeaderResult result{static_cast<std::int32_t>(info.image_width),
                            static_cast<std::int32_t>(info.image_height), 0};
  jpeg_destroy_decompress(&info);
  return result;
}

int Decode(std::span<const std::uint8_t> data, PixelRows rows, std::int32_t width,
           std::int32_t height, bool reduceTo236Colours) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  JSAMPARRAY indexRow = nullptr;
  UseErrorManager(info, errors);
  if (setjmp(errors.jump)) {
    const int code = errors.pub.msg_code;
    jpeg_destroy_decompress(&info);  // frees indexRow with the library's pool
    return code;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  if (static_cast<std::int32_t>(info.image_width) != width ||
      static_cast<std::int32_t>(info.image_height) != height) {
    ERREXIT(&info, JERR_IMAGE_TOO_BIG);
  }
  if (reduceTo236Colours) {
    info.out_color_space = JCS_RGB;
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = 236;
  } else {
    info.out_color_space = ColourSpaceFor(rows.layout);
  }
  jpeg_start_decompress(&info);
  if (reduceTo236Colours) {
    indexRow = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                         info.output_width, 1);
  }
  while (info.output_scanline < info.output_height) {
    std::uint8_t* target = rows.first + static_cast<std::ptrdiff_t>(info.output_scanline) * rows.stride;
    if (reduceTo236Colours) {
      jpeg_read_scanlines(&info, indexRow, 1);
      ExpandRow(indexRow[0], info.colormap, info.output_width, target, rows.layout);
    } else {
      JSAMPROW row = target;
      jpeg_read_scanlines(&info, &row, 1);
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return 0;
}

}  // namespace orvanel::platform::jpeg
