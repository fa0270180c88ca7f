// Makes the saver's picture collection and its icon.
//
//   picture_generator OUT_DIR
//       paints 55 landscapes, pic0.jpg .. pic54.jpg, and orvanel.ico
//   picture_generator --photos PHOTO_DIR OUT_DIR
//       turns the photographs in PHOTO_DIR (in any format the saver reads,
//       known by their content, in name order, the first 55 that decode) into
//       the collection: each stood upright as its format records, cropped to fill 4:3 and
//       scaled to 1024 x 768; a file that does not decode is skipped with a
//       word on standard error; landscapes fill the places no photograph takes
//   picture_generator --contact-sheet PICTURES_DIR OUT_FILE
//       a sheet of the collection in PICTURES_DIR, eight to a row, as a JPEG
//
// Every picture is a baseline JFIF file of the one form the saver's
// collection has; the same command makes the same bytes again. The files are
// written into a new folder beside OUT_DIR, which replaces OUT_DIR only once
// all are written: a run that fails leaves OUT_DIR as it was.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "icon_file.h"
#include "jpeg_files.h"
#include "landscape.h"
#include "photo_fit.h"
#include "platform/photo/byte_source.h"
#include "platform/photo/exif_orientation.h"
#include "platform/photo/photo_format.h"
#include "platform/photo/rgb_image.h"

namespace {

using orvanel::tools::RgbImage;

constexpr int kPictureCount = 55;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Pictures 6 and 23 say 180 dots per inch; the others 72.
int DotsPerInch(int number) { return number == 6 || number == 23 ? 180 : 72; }

// A file size for each picture, spread over the collection's range.
std::size_t TargetSize(int number) {
  const unsigned spread = (static_cast<unsigned>(number) * 2654435761u) >> 16;
  return 52'000 + spread % 118'000;
}

// The best quality whose file stays within the picture's target size.
std::vector<std::uint8_t> EncodeToSize(const RgbImage& image, int number) {
  int low = 40, high = 97;
  std::vector<std::uint8_t> best = orvanel::tools::EncodeJfif(image, low, DotsPerInch(number));
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    auto bytes = orvanel::tools::EncodeJfif(image, middle, DotsPerInch(number));
    if (bytes.size() <= TargetSize(number)) {
      low = middle;
      best = std::move(bytes);
    } else {
      high = middle - 1;
    }
  }
  return best;
}

RgbImage Landscape(int number) {
  const auto canvas = orvanel::tools::PaintPicture(number, kWidth, kHeight);
  return RgbImage{kWidth, kHeight, orvanel::tools::ToRgb8(canvas, static_cast<std::uint32_t>(number * 7919 + 1))};
}

RgbImage Icon() {
  constexpr int kSize = 32;
  // Painted large and averaged down, so the small picture keeps its detail.
  const auto big = Landscape(1);
  return orvanel::tools::CropAndScale(RgbImage{kWidth, kHeight, big.rgb}, kSize, kSize);
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

constexpr const char* kUsage =
    "usage: picture_generator OUT_DIR\n"
    "       picture_generator --photos PHOTO_DIR OUT_DIR\n"
    "       picture_generator --contact-sheet PICTURES_DIR OUT_FILE\n";

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Takes a photo whole at its stored size, as the decoder hands it on.
class WholePhoto : public orvanel::platform::photo::PhotoTarget {
 public:
  std::optional<orvanel::platform::photo::PhotoSize> Plan(
      const orvanel::platform::photo::PhotoHeader& header) override {
    if (static_cast<std::int64_t>(header.width) * header.height > orvanel::platform::photo::kMaxPhotoPixels) {
      return std::nullopt;
    }
    orientation_ = header.orientation;
    return orvanel::platform::photo::PhotoSize{header.width, header.height};
  }
  orvanel::platform::photo::RowSink* Sink() override { return &stored_; }

  int Orientation() const { return orientation_; }
  orvanel::platform::photo::RgbImage& Stored() { return stored_.Image(); }

 private:
  int orientation_ = 1;
  orvanel::platform::photo::ImageSink stored_{orvanel::platform::photo::kMaxPhotoPixels};
};

// The photo upright, in the tool's own image type; nothing when it does not decode.
std::optional<RgbImage> DecodePhoto(const std::filesystem::path& path) {
  namespace photo = orvanel::platform::photo;
  const auto bytes = ReadFile(path);
  WholePhoto whole;
  if (!photo::DecodePhoto(photo::MemorySource(bytes), whole)) return std::nullopt;
  photo::ImageSink upright(photo::kMaxPhotoPixels);
  photo::WriteOriented(whole.Stored(), whole.Orientation(), upright);
  auto& decoded = upright.Image();
  if (decoded.pixels.empty()) return std::nullopt;
  return RgbImage{decoded.width, decoded.height, std::move(decoded.pixels)};
}

// The first 55 photographs of the folder that decode, in name order.
std::vector<std::pair<std::string, RgbImage>> Photographs(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::pair<std::string, RgbImage>> photos;
  for (const auto& file : files) {
    if (photos.size() == kPictureCount) break;
    if (auto image = DecodePhoto(file)) {
      photos.emplace_back(file.filename().string(), orvanel::tools::CropAndScale(*image, kWidth, kHeight));
    } else {
      std::cerr << "picture_generator: " << file.string() << " is not a photo it can read; skipped\n";
    }
  }
  return photos;
}

// Writes the collection into a new folder beside `out`, then puts it in
// place of `out`: never half an old and half a new collection.
void WriteCollection(const std::filesystem::path& out, const std::vector<std::pair<std::string, RgbImage>>& photos) {
  const auto parent = out.parent_path().empty() ? std::filesystem::path(".") : out.parent_path();
  std::filesystem::create_directories(parent);
  const auto fresh = parent / (out.filename().string() + ".new");
  const auto old = parent / (out.filename().string() + ".old");
  std::filesystem::remove_all(fresh);
  std::filesystem::create_directories(fresh);
  for (int number = 0; number < kPictureCount; ++number) {
    const bool fromPhoto = static_cast<std::size_t>(number) < photos.size();
    const RgbImage image = fromPhoto ? photos[static_cast<std::size_t>(number)].second : Landscape(number);
    const auto bytes = EncodeToSize(image, number);
    WriteFile(fresh / ("pic" + std::to_string(number) + ".jpg"), bytes);
    std::cout << "pic" << number << ".jpg " << bytes.size() << " bytes"
              << (fromPhoto ? " from " + photos[static_cast<std::size_t>(number)].first : "") << "\n";
  }
  WriteFile(fresh / "orvanel.ico", orvanel::tools::EncodeIcon(Icon()));
  std::filesystem::remove_all(old);
  if (std::filesystem::exists(out)) std::filesystem::rename(out, old);
  std::filesystem::rename(fresh, out);
  std::filesystem::remove_all(old);
}

// The collection in `folder` as one picture: eight to a row, in number order.
RgbImage ContactSheet(const std::filesystem::path& folder) {
  constexpr int kColumns = 8;
  constexpr int kThumbWidth = 240;
  constexpr int kThumbHeight = 180;
  constexpr int kGap = 4;
  constexpr int kRows = (kPictureCount + kColumns - 1) / kColumns;
  RgbImage sheet{kColumns * (kThumbWidth + kGap) + kGap, kRows * (kThumbHeight + kGap) + kGap, {}};
  sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, 24);
  for (int number = 0; number < kPictureCount; ++number) {
    const auto path = folder / ("pic" + std::to_string(number) + ".jpg");
    const auto picture = DecodePhoto(path);
    if (!picture) throw std::runtime_error("cannot read " + path.string());
    const auto thumb = orvanel::tools::CropAndScale(*picture, kThumbWidth, kThumbHeight);
    const int left = kGap + (number % kColumns) * (kThumbWidth + kGap);
    const int top = kGap + (number / kColumns) * (kThumbHeight + kGap);
    for (int y = 0; y < kThumbHeight; ++y) {
      std::copy_n(thumb.rgb.begin() + static_cast<std::ptrdiff_t>(y) * kThumbWidth * 3, kThumbWidth * 3,
                  sheet.rgb.begin() + (static_cast<std::ptrdiff_t>(top + y) * sheet.width + left) * 3);
    }
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-help" || args[0] == "-h")) {
      std::cout << kUsage;
      return 0;
    }
    const bool fromPhotos = args.size() == 3 && args[0] == "--photos";
    const bool sheet = args.size() == 3 && args[0] == "--contact-sheet";
    if (!(args.size() == 1 || fromPhotos || sheet) ||
        std::any_of(args.begin() + (fromPhotos || sheet ? 1 : 0), args.end(),
                    [](const std::string& folder) { return folder.empty() || folder.front() == '-'; })) {
      // A folder named like an option is far more often a mistyped option.
      std::cerr << kUsage;
      return 2;
    }
    if (sheet) {
      WriteFile(args[2], orvanel::tools::EncodeJfif(ContactSheet(args[1]), 88, 72));
      return 0;
    }
    const auto photos = fromPhotos ? Photographs(args[1]) : std::vector<std::pair<std::string, RgbImage>>{};
    WriteCollection(fromPhotos ? args[2] : args[0], photos);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "picture_generator: " << error.what() << "\n";
    return 1;
  }
}
