#include "platform/photo/jpeg_photo.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <iterator>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/photo/exif_date.h"
#include "platform/photo/exif_orientation.h"

namespace orvanel::platform::photo {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnFatalError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }

void OnMessage(j_common_ptr) {}

// A file that ends early would show grey where its end is missing: that is a
// damaged file, not a photo. Other warnings leave a photo that shows well.
void OnWarning(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnFatalError(info);
}

void UseErrorManager(jpeg_decompress_struct& info, ErrorManager& errors) {
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnFatalError;
  errors.pub.output_message = OnMessage;
  errors.pub.emit_message = OnWarning;
}

// Asks the library for RGB, or for CMYK where it cannot give RGB itself.
void ChooseOutput(jpeg_decompress_struct& info, int eighths) {
  info.scale_num = static_cast<unsigned>(eighths);
  info.scale_denom = 8;
  const bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = inks ? JCS_CMYK : JCS_RGB;
}

// Adobe's programs store CMYK inverted (0 is full ink) and mark the file with
// their APP14 block; others store it plainly.
void InksToRgb(const JSAMPLE* inks, JDIMENSION width, bool inverted, std::uint8_t* rgb) {
  for (JDIMENSION x = 0; x < width; ++x, inks += 4, rgb += 3) {
    const int k = inverted ? inks[3] : 255 - inks[3];
    for (int c = 0; c < 3; ++c) {
      const int ink = inverted ? inks[c] : 255 - inks[c];
      rgb[c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
    }
  }
}

// The library's input, read from a byte source a piece at a time into a
// buffer of the library's pool, so freed with the decompressor.
constexpr std::size_t kInputPiece = std::size_t{1} << 18;

struct SourceManager {
  jpeg_source_mgr pub;
  const ByteSource* source;
  std::uint64_t offset;  // of the next piece
  JOCTET* buffer;
};

void InitSource(j_decompress_ptr) {}

void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* manager = reinterpret_cast<SourceManager*>(info->src);
  std::size_t got = manager->source->ReadAt(manager->offset, manager->buffer, kInputPiece);
  if (got == 0) {
    // The data ends early: the library's own answer is a warning and an end
    // marker, and the warning makes it a damaged file here.
    WARNMS(info, JWRN_JPEG_EOF);
    manager->buffer[0] = 0xFF;
    manager->buffer[1] = JPEG_EOI;
    got = 2;
  } else {
    manager->offset += got;
  }
  manager->pub.next_input_byte = manager->buffer;
  manager->pub.bytes_in_buffer = got;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  auto* manager = reinterpret_cast<SourceManager*>(info->src);
  const auto skip = static_cast<std::uint64_t>(count);
  if (skip <= manager->pub.bytes_in_buffer) {
    manager->pub.next_input_byte += skip;
    manager->pub.bytes_in_buffer -= static_cast<std::size_t>(skip);
    return;
  }
  // Past the buffer: the bytes between are never read.
  manager->offset += skip - manager->pub.bytes_in_buffer;
  manager->pub.bytes_in_buffer = 0;
}

void UseSource(jpeg_decompress_struct& info, const ByteSource& source) {
  const auto common = reinterpret_cast<j_common_ptr>(&info);
  auto* manager = static_cast<SourceManager*>((*info.mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(SourceManager)));
  manager->buffer = static_cast<JOCTET*>((*info.mem->alloc_small)(common, JPOOL_PERMANENT, kInputPiece));
  manager->source = &source;
  manager->offset = 0;
  manager->pub.init_source = InitSource;
  manager->pub.fill_input_buffer = FillInputBuffer;
  manager->pub.skip_input_data = SkipInputData;
  manager->pub.resync_to_restart = jpeg_resync_to_restart;
  manager->pub.term_source = TermSource;
  manager->pub.next_input_byte = nullptr;
  manager->pub.bytes_in_buffer = 0;
  info.src = &manager->pub;
}

// The decompressor, destroyed on every way out: a return, a longjmp from
// the library (made before the setjmp, it is not one of the objects the jump
// skips) or an exception from the target.
class Decompressor {
 public:
  explicit Decompressor(jpeg_decompress_struct& info) : info_(info) {}
  ~Decompressor() { jpeg_destroy_decompress(&info_); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

 private:
  jpeg_decompress_struct& info_;
};

// The library rounds up: ceil(size * eighths / 8).
std::int32_t Scaled(std::int32_t size, int eighths) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(size) * eighths + 7) / 8);
}

// The ICC profile of the file's APP2 markers, joined; none when the
// markers are missing, incomplete or out of order.
ColourDescription IccProfileOf(j_decompress_ptr info) {
  ColourDescription colour;
  JOCTET* profile = nullptr;
  unsigned int length = 0;
  if (jpeg_read_icc_profile(info, &profile, &length) && profile != nullptr) {
    colour.iccProfile.assign(profile, profile + length);
  }
  std::free(profile);
  return colour;
}

}  // namespace

bool HasJpegSignature(std::span<const std::uint8_t> start) {
  static constexpr std::uint8_t kSignature[] = {0xFF, 0xD8, 0xFF};
  return start.size() >= sizeof kSignature &&
         std::equal(std::begin(kSignature), std::end(kSignature), start.begin());
}

// Each row lands in a buffer of the library's pool, freed with the
// decompressor. Everything made after the setjmp is trivially destructible,
// as a longjmp skips destructors; the target's own objects live in the target.
bool DecodeJpegPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target) {
  // The probe's start may end inside the Exif block: a file that goes on is
  // read as far as the block may reach.
  std::vector<std::uint8_t> exifArea;
  if (start.size() >= kProbeBytes && start.size() < kExifSearchBytes) {
    exifArea = ReadStart(data, kExifSearchBytes);
    start = exifArea;
  }
  const int orientation = ExifOrientation(start);
  const auto taken = ExifDateTaken(start);
  jpeg_decompress_struct info{};
  ErrorManager errors;
  UseErrorManager(info, errors);
  const Decompressor decompressor(info);
  if (setjmp(errors.jump)) return false;
  jpeg_create_decompress(&info);
  UseSource(info, data);
  jpeg_save_markers(&info, JPEG_APP0 + 14, 0);
  jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);  // an ICC profile, split over as many as it needs
  jpeg_read_header(&info, TRUE);
  const auto storedWidth = static_cast<std::int32_t>(info.image_width);
  const auto storedHeight = static_cast<std::int32_t>(info.image_height);
  PhotoHeader header{storedWidth, storedHeight, orientation, false, taken};
  header.colour = IccProfileOf(&info);
  const auto need = target.Plan(header);
  if (!need) return false;
  ChooseOutput(info, DctEighthsFor(storedWidth, storedHeight, need->width, need->height));
  // Before the decompression starts: for a progressive file it reads the
  // whole file.
  RowSink* const sink = target.Sink();
  if (sink == nullptr) return false;
  jpeg_start_decompress(&info);
  const JDIMENSION width = info.output_width;
  if (!sink->Begin(static_cast<std::int32_t>(width), static_cast<std::int32_t>(info.output_height))) return false;
  const bool inks = info.out_color_space == JCS_CMYK;
  JSAMPARRAY decoded = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                 width * (inks ? 4 : 3), 1);
  JSAMPARRAY rgb = inks ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                    width * 3, 1)
                        : decoded;
  while (info.output_scanline < info.output_height) {
    jpeg_read_scanlines(&info, decoded, 1);
    if (inks) InksToRgb(decoded[0], width, info.saw_Adobe_marker, rgb[0]);
    sink->Row(rgb[0]);
  }
  jpeg_finish_decompress(&info);
  return true;
}

int DctEighthsFor(std::int32_t storedWidth, std::int32_t storedHeight, std::int32_t needWidth,
                  std::int32_t needHeight) {
  for (int eighths = 1; eighths < 8; ++eighths) {
    if (Scaled(storedWidth, eighths) >= needWidth && Scaled(storedHeight, eighths) >= needHeight) return eighths;
  }
  return 8;
}

}  // namespace orvanel::platform::photo
