#include "jpeg_files.h"

#include <csetjmp>
#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>

namespace orvanel::tools {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(errors->jump, 1);
}

// libjpeg in one function: no object with a destructor lives below setjmp.
bool Encode(const RgbImage& image, int quality, int dotsPerInch, unsigned char** out,
            unsigned long* size) {
  jpeg_compress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnError;
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, size);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.write_JFIF_header = TRUE;
  info.JFIF_major_version = 1;
  info.JFIF_minor_version = 1;
  info.density_unit = 1;
  info.X_density = static_cast<UINT16>(dotsPerInch);
  info.Y_density = static_cast<UINT16>(dotsPerInch);
  info.comp_info[0].h_samp_factor = 2;
  info.comp_info[0].v_samp_factor = 1;
  info.optimize_coding = FALSE;
  info.restart_interval = 0;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.rgb.data() +
                                        static_cast<std::size_t>(info.next_scanline) * image.width * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJfif(const RgbImage& image, int quality, int dotsPerInch) {
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const bool ok = Encode(image, quality, dotsPerInch, &out, &size);
  std::vector<std::uint8_t> bytes;
  if (ok) bytes.assign(out, out + size);
  std::free(out);
  if (!ok) throw std::runtime_error("JPEG encoding failed");
  return bytes;
}

}  // namespace orvanel::tools
