// The formats Windows decodes through its imaging codecs: TIFF, BMP and GIF
// on every Windows, HEIF and AVIF where their codec extensions are
// installed. A file is one of them when it has the format's signature and an
// installed codec claims it by the patterns it registered, so a HEIC on a
// Windows without the extension is never taken for a photo.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "platform/photo/alpha_over_black.h"
#include "platform/photo/exif_date.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/photo_signatures.h"
#include "platform/photo/whole_photo.h"
#include "platform/win32/com.h"

namespace orvanel::platform::photo {
namespace {

using win32::ComPtr;
using win32::ScopedCom;

// One pattern a codec registered: bytes at a place from the start, under a mask.
struct CodecPattern {
  std::size_t position = 0;
  std::vector<BYTE> bytes;
  std::vector<BYTE> mask;

  bool Matches(std::span<const std::uint8_t> start) const {
    if (position + bytes.size() > start.size()) return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if ((start[position + i] & mask[i]) != bytes[i]) return false;
    }
    return true;
  }
};

ComPtr<IWICImagingFactory> Factory() {
  ComPtr<IWICImagingFactory> factory;
  CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Out()));
  return factory;
}

void AddPatterns(IWICBitmapDecoderInfo& decoder, std::vector<CodecPattern>& patterns) {
  UINT count = 0;
  UINT bytes = 0;
  if (FAILED(decoder.GetPatterns(0, nullptr, &count, &bytes)) || count == 0 || bytes == 0) return;
  // The patterns and the bytes they point to, in one block the codec fills.
  std::vector<std::uint64_t> block((bytes + 7) / 8);
  auto* const listed = reinterpret_cast<WICBitmapPattern*>(block.data());
  if (FAILED(decoder.GetPatterns(bytes, listed, &count, &bytes))) return;
  for (UINT i = 0; i < count; ++i) {
    const WICBitmapPattern& pattern = listed[i];
    if (pattern.EndOfStream || pattern.Length == 0 || pattern.Position.QuadPart >= kProbeBytes) continue;
    patterns.push_back({static_cast<std::size_t>(pattern.Position.QuadPart),
                        std::vector<BYTE>(pattern.Pattern, pattern.Pattern + pattern.Length),
                        std::vector<BYTE>(pattern.Mask, pattern.Mask + pattern.Length)});
  }
}

// The patterns of every installed decoder, read once: codecs are installed
// between runs, not during one.
std::vector<CodecPattern> InstalledPatterns() {
  const ScopedCom com;
  std::vector<CodecPattern> patterns;
  const auto factory = Factory();
  if (!factory) return patterns;
  ComPtr<IEnumUnknown> decoders;
  if (FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, decoders.Out()))) {
    return patterns;
  }
  for (;;) {
    ComPtr<IUnknown> component;
    ULONG fetched = 0;
    if (decoders->Next(1, component.Out(), &fetched) != S_OK || fetched == 0) break;
    ComPtr<IWICBitmapDecoderInfo> decoder;
    if (SUCCEEDED(component->QueryInterface(IID_PPV_ARGS(decoder.Out())))) AddPatterns(*decoder.get(), patterns);
  }
  return patterns;
}

bool CodecClaims(std::span<const std::uint8_t> start) {
  static const std::vector<CodecPattern> kPatterns = InstalledPatterns();
  return std::any_of(kPatterns.begin(), kPatterns.end(),
                     [start](const CodecPattern& pattern) { return pattern.Matches(start); });
}

bool IsSystemCodecPhoto(std::span<const std::uint8_t> start) {
  return (HasTiffSignature(start) || HasBmpSignature(start) || HasGifSignature(start) ||
          HasHeifSignature(start) || HasAvifSignature(start)) &&
         CodecClaims(start);
}

// One value the codec reads from the photo's metadata, cleared on every way out.
class MetadataValue {
 public:
  MetadataValue(IWICMetadataQueryReader& reader, const wchar_t* name) {
    PropVariantInit(&value_);
    found_ = SUCCEEDED(reader.GetMetadataByName(name, &value_));
  }
  ~MetadataValue() { PropVariantClear(&value_); }
  MetadataValue(const MetadataValue&) = delete;
  MetadataValue& operator=(const MetadataValue&) = delete;
  // The value when the photo has it and it has this type.
  const PROPVARIANT* As(VARTYPE type) const { return found_ && value_.vt == type ? &value_ : nullptr; }

 private:
  PROPVARIANT value_;
  bool found_ = false;
};

// The orientation by the property's name or, where that is not known, by
// TIFF's tag.
int OrientationOf(IWICMetadataQueryReader& reader) {
  for (const wchar_t* name : {L"System.Photo.Orientation", L"/ifd/{ushort=274}"}) {
    const MetadataValue value(reader, name);
    const PROPVARIANT* orientation = value.As(VT_UI2);
    if (orientation != nullptr && orientation->uiVal >= 1 && orientation->uiVal <= 8) return orientation->uiVal;
  }
  return 1;
}

// The original date of the Exif directory, where TIFF holds it (and a codec
// that reads another format's Exif block the same way), as the text Exif
// writes.
std::optional<DateTime> DateTakenOf(IWICMetadataQueryReader& reader) {
  const MetadataValue value(reader, L"/ifd/exif/{ushort=36867}");
  const PROPVARIANT* text = value.As(VT_LPSTR);
  if (text == nullptr || text->pszVal == nullptr) return std::nullopt;
  return ParseExifDateText(text->pszVal);
}

// The photo's metadata as the codec reads it; null when it has none.
ComPtr<IWICMetadataQueryReader> MetadataOf(IWICBitmapFrameDecode& frame) {
  ComPtr<IWICMetadataQueryReader> reader;
  if (FAILED(frame.GetMetadataQueryReader(reader.Out()))) return {};
  return reader;
}

// The rows as the codec's converter gives them, a band at a time, as RGB
// over black.
bool WriteRows(IWICBitmapSource& pixels, std::int32_t width, std::int32_t height, RowSink& sink) {
  if (!sink.Begin(width, height)) return false;
  const std::int32_t kBand = std::min(16, height);
  const auto stride = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> band;
  std::vector<std::uint8_t> rgb;
  try {
    band.resize(stride * static_cast<std::size_t>(kBand));
    rgb.resize(static_cast<std::size_t>(width) * 3);
  } catch (const std::bad_alloc&) {
    return false;  // a photo that does not fit in memory is one not shown
  }
  for (std::int32_t top = 0; top < height; top += kBand) {
    const std::int32_t rows = std::min(kBand, height - top);
    const WICRect rect{0, top, width, rows};
    if (FAILED(pixels.CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(stride * rows), band.data()))) {
      return false;
    }
    for (std::int32_t y = 0; y < rows; ++y) {
      std::uint8_t* const row = band.data() + static_cast<std::size_t>(y) * stride;
      for (std::size_t x = 0; x < stride; x += 4) std::swap(row[x], row[x + 2]);  // BGRA to RGBA
      ComposeOverBlack(row, static_cast<std::size_t>(width), rgb.data());
      sink.Row(rgb.data());
    }
  }
  return true;
}

// The system's TIFF codec decodes the bands asked of it strip by strip;
// the others may hold the whole image, and are taken no larger than a
// photo held whole.
bool IsTiff(std::span<const std::uint8_t> start) {
  return start.size() >= 4 && (std::memcmp(start.data(), "II*\0", 4) == 0 || std::memcmp(start.data(), "MM\0*", 4) == 0);
}

bool DecodeSystemCodecPhoto(const ByteSource& data, std::span<const std::uint8_t> start, PhotoTarget& target) {
  const ScopedCom com;
  const auto file = ReadAll(data, kMaxWholeFileBytes);
  if (!file || file->empty() || file->size() > MAXDWORD) return false;
  const auto factory = Factory();
  if (!factory) return false;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(file->data()), static_cast<DWORD>(file->size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Out())) ||
      FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) || width == 0 ||
      height == 0 || width > INT32_MAX || height > INT32_MAX) {
    return false;
  }
  const auto w = static_cast<std::int32_t>(width);
  const auto h = static_cast<std::int32_t>(height);
  const auto metadata = MetadataOf(*frame.get());
  const int orientation = metadata ? OrientationOf(*metadata.get()) : 1;
  const auto taken = metadata ? DateTakenOf(*metadata.get()) : std::nullopt;
  if (!target.Plan({w, h, orientation, !IsTiff(start), taken})) return false;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  RowSink* const sink = target.Sink();
  return sink != nullptr && WriteRows(*converter.get(), w, h, *sink);
}

constexpr PhotoFormat kSystemFormats[] = {
    {IsSystemCodecPhoto, DecodeSystemCodecPhoto},
};

}  // namespace

std::span<const PhotoFormat> SystemFormats() { return kSystemFormats; }

}  // namespace orvanel::platform::photo
