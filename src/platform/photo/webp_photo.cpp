#include "platform/photo/webp_photo.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/photo/exif_date.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/whole_photo.h"

namespace orvanel::platform::photo {
namespace {

struct DemuxDelete {
  void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
using Demux = std::unique_ptr<WebPDemuxer, DemuxDelete>;

// A frame iterator's or chunk iterator's hold on the demuxer, let go on every way out.
class FirstFrame {
 public:
  explicit FirstFrame(WebPDemuxer* demux) { found_ = WebPDemuxGetFrame(demux, 1, &frame_) != 0; }
  ~FirstFrame() { WebPDemuxReleaseIterator(&frame_); }
  FirstFrame(const FirstFrame&) = delete;
  FirstFrame& operator=(const FirstFrame&) = delete;
  bool Found() const { return found_; }
  const WebPIterator& operator*() const { return frame_; }
  const WebPIterator* operator->() const { return &frame_; }

 private:
  WebPIterator frame_{};
  bool found_ = false;
};

// The Exif chunk's bytes, inside the file the demuxer reads; empty when it has none.
std::span<const std::uint8_t> ExifChunk(WebPDemuxer* demux) {
  if ((WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG) == 0) return {};
  WebPChunkIterator chunk{};
  std::span<const std::uint8_t> exif;
  if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) exif = {chunk.chunk.bytes, chunk.chunk.size};
  WebPDemuxReleaseChunkIterator(&chunk);
  return exif;
}

struct Canvas {
  std::vector<std::uint8_t> pixels;
  std::size_t stride = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool alpha = false;
};

// The first frame on its canvas, planned by the target first. The file is
// given up once it is decoded, before the target makes anything for the rows.
std::optional<Canvas> DecodeFirstFrame(const ByteSource& data, PhotoTarget& target) {
  const auto file = ReadAll(data, kMaxWholeFileBytes);
  if (!file) return std::nullopt;
  const WebPData webp{file->data(), file->size()};
  const Demux demux(WebPDemux(&webp));
  if (!demux) return std::nullopt;
  const FirstFrame frame(demux.get());
  if (!frame.Found()) return std::nullopt;
  Canvas canvas;
  canvas.width = static_cast<std::int32_t>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
  canvas.height = static_cast<std::int32_t>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
  if (canvas.width <= 0 || canvas.height <= 0 || frame->x_offset + frame->width > canvas.width ||
      frame->y_offset + frame->height > canvas.height) {
    return std::nullopt;
  }
  // A frame that covers its canvas is decoded straight to the size the
  // target needs, the library averaging the pixels each one covers: a photo
  // of any size costs only that. A first frame that leaves part of the
  // canvas uncovered is decoded whole, the rest transparent, and so black.
  const bool covers = frame->width == canvas.width && frame->height == canvas.height;
  const auto exif = ExifChunk(demux.get());
  const auto need =
      target.Plan({canvas.width, canvas.height, ExifBlockOrientation(exif), !covers, ExifBlockDateTaken(exif)});
  if (!need) return std::nullopt;
  const bool scaled = covers && need->width < canvas.width && need->height < canvas.height;
  if (scaled) {
    canvas.width = need->width;
    canvas.height = need->height;
  }
  canvas.alpha = frame->has_alpha != 0 || !covers;
  const int channels = canvas.alpha ? 4 : 3;
  canvas.stride = static_cast<std::size_t>(canvas.width) * channels;
  try {
    canvas.pixels.resize(canvas.stride * static_cast<std::size_t>(canvas.height));
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a photo that does not fit in memory is one not shown
  }
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return std::nullopt;
  config.output.colorspace = canvas.alpha ? MODE_RGBA : MODE_RGB;
  if (scaled) {
    config.options.use_scaling = 1;
    config.options.scaled_width = canvas.width;
    config.options.scaled_height = canvas.height;
  }
  config.output.is_external_memory = 1;
  const std::size_t at = static_cast<std::size_t>(frame->y_offset) * canvas.stride +
                         static_cast<std::size_t>(frame->x_offset) * channels;
  config.output.u.RGBA.rgba = canvas.pixels.data() + at;
  config.output.u.RGBA.stride = static_cast<int>(canvas.stride);
  config.output.u.RGBA.size = canvas.pixels.size() - at;
  const bool decoded = WebPDecode(frame->fragment.bytes, frame->fragment.size, &config) == VP8_STATUS_OK;
  WebPFreeDecBuffer(&config.output);
  if (!decoded) return std::nullopt;
  return canvas;
}

}  // namespace

bool HasWebpSignature(std::span<const std::uint8_t> start) {
  return start.size() >= 12 && std::memcmp(start.data(), "RIFF", 4) == 0 &&
         std::memcmp(start.data() + 8, "WEBP", 4) == 0;
}

bool DecodeWebpPhoto(const ByteSource& data, std::span<const std::uint8_t>, PhotoTarget& target) {
  const auto canvas = DecodeFirstFrame(data, target);
  if (!canvas) return false;
  RowSink* const sink = target.Sink();
  return sink != nullptr && WriteDecodedRows({canvas->pixels.data(), canvas->stride, canvas->width,
                                              canvas->height, canvas->alpha}, *sink);
}

}  // namespace orvanel::platform::photo
