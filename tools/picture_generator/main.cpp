// Makes the saver's picture collection and its icon.
//
//   picture_generator OUT_DIR
//       paints 55 landscapes, pic0.jpg .. pic54.jpg, and orvanel.ico
//   picture_generator --photos PHOTO_DIR OUT_DIR
//       turns the JPEG photographs in PHOTO_DIR (in name order, the first 55)
//       into the collection: each cropped to fill 4:3 and scaled to
//       1024 x 768; landscapes fill the places no photograph takes
//
// Every picture is a baseline JFIF file of the one form the saver's
// collection has; the same command makes the same bytes again.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "icon_file.h"
#include "jpeg_files.h"
#include "landscape.h"
#include "photo_fit.h"

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
  const auto seed = static_cast<std::uint32_t>(number * 7919 + 1);
  const auto canvas = orvanel::tools::PaintLandscape(seed, kWidth, kHeight);
  return RgbImage{kWidth, kHeight, orvanel::tools::ToRgb8(canvas, seed)};
}

RgbImage Icon() {
  constexpr int kSize = 32;
  // Painted large and averaged down, so the small picture keeps its detail.
  const auto big = Landscape(3);
  return orvanel::tools::CropAndScale(RgbImage{kWidth, kHeight, big.rgb}, kSize, kSize);
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::filesystem::path> Photographs(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> photos;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    auto extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (entry.is_regular_file() && (extension == ".jpg" || extension == ".jpeg")) {
      photos.push_back(entry.path());
    }
  }
  std::sort(photos.begin(), photos.end());
  if (photos.size() > kPictureCount) photos.resize(kPictureCount);
  return photos;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::filesystem::path out;
    std::vector<std::filesystem::path> photos;
    if (argc == 2) {
      out = argv[1];
    } else if (argc == 4 && std::string(argv[1]) == "--photos") {
      photos = Photographs(argv[2]);
      out = argv[3];
    } else {
      std::cerr << "usage: picture_generator OUT_DIR\n"
                   "       picture_generator --photos PHOTO_DIR OUT_DIR\n";
      return 2;
    }
    std::filesystem::create_directories(out);
    for (int number = 0; number < kPictureCount; ++number) {
      const bool fromPhoto = static_cast<std::size_t>(number) < photos.size();
      const RgbImage image =
          fromPhoto ? orvanel::tools::CropAndScale(
                          orvanel::tools::DecodeJpegFile(photos[static_cast<std::size_t>(number)].string()),
                          kWidth, kHeight)
                    : Landscape(number);
      const auto bytes = EncodeToSize(image, number);
      WriteFile(out / ("pic" + std::to_string(number) + ".jpg"), bytes);
      std::cout << "pic" << number << ".jpg " << bytes.size() << " bytes"
                << (fromPhoto ? " from " + photos[static_cast<std::size_t>(number)].filename().string() : "")
                << "\n";
    }
    WriteFile(out / "orvanel.ico", orvanel::tools::EncodeIcon(Icon()));
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "picture_generator: " << error.what() << "\n";
    return 1;
  }
}
