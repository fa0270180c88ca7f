// The peak memory of libheif's own decode of a file, with nothing of the
// saver around it: the floor under the saver's peak for the same photo.
//   orvanel_heif_bare_peak FILE
// Prints VmHWM in kB after decoding the primary image to its own planes.
#include <libheif/heif.h>

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: orvanel_heif_bare_peak FILE\n";
    return 2;
  }
  heif_context* context = heif_context_alloc();
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  const bool decoded = heif_context_read_from_file(context, argv[1], nullptr).code == heif_error_Ok &&
                       heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok &&
                       heif_decode_image(handle, &image, heif_colorspace_undefined, heif_chroma_undefined, nullptr)
                               .code == heif_error_Ok;
  heif_image_release(image);
  heif_image_handle_release(handle);
  heif_context_free(context);
  if (!decoded) return 1;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) std::cout << std::stoul(line.substr(6)) << "\n";
  }
  return 0;
}
