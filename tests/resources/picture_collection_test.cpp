// The committed picture collection, read byte by byte.
//   Form: markers in order, JFIF fields and densities, frame, tables, scan, nothing after EOI.
//   Collection: 55 files, all different, sizes in range, no two alike to the eye; the icon
//               and the description.
//   Embedding: the program carries the same bytes under the same names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resources/embedded_resources.h"
#include "support/bare_decode.h"

namespace orvanel::resources {
namespace {

const std::filesystem::path kFolder = ORVANEL_RESOURCES_DIR;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::uint8_t> Picture(int n) {
  return ReadFile(kFolder / "pictures" / ("pic" + std::to_string(n) + ".jpg"));
}

struct Segment {
  std::uint8_t marker;
  std::vector<std::uint8_t> body;  // after the length field
};

unsigned Word(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] << 8 | b[at + 1]; }

// The marker segments up to and including SOS, and where the scan's data starts.
std::vector<Segment> Segments(const std::vector<std::uint8_t>& file, std::size_t& scanStart) {
  std::vector<Segment> segments;
  std::size_t at = 2;
  while (at + 4 <= file.size()) {
    if (file[at] != 0xFF) return {};
    const std::uint8_t marker = file[at + 1];
    const unsigned length = Word(file, at + 2);
    if (length < 2 || at + 2 + length > file.size()) return {};
    segments.push_back({marker, {file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                 file.begin() + static_cast<std::ptrdiff_t>(at + 2 + length)}});
    at += 2 + length;
    if (marker == 0xDA) break;
  }
  scanStart = at;
  return segments;
}

class CommittedPicture : public ::testing::TestWithParam<int> {};

TEST_P(CommittedPicture, HasTheCollectionsOneForm) {
  const int n = GetParam();
  const auto file = Picture(n);
  ASSERT_GT(file.size(), 1000u);
  ASSERT_EQ(file[0], 0xFF);
  ASSERT_EQ(file[1], 0xD8);

  std::size_t scanStart = 0;
  const auto segments = Segments(file, scanStart);
  std::vector<std::uint8_t> order;
  for (const auto& s : segments) order.push_back(s.marker);
  ASSERT_EQ(order, (std::vector<std::uint8_t>{0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA}));

  // APP0: JFIF 1.01, dots per inch, no thumbnail.
  const auto& app0 = segments[0].body;
  ASSERT_EQ(app0.size(), 14u);
  EXPECT_EQ(std::string(app0.begin(), app0.begin() + 5), std::string("JFIF\0", 5));
  EXPECT_EQ(app0[5], 1);
  EXPECT_EQ(app0[6], 1);
  EXPECT_EQ(app0[7], 1);
  const unsigned density = n == 6 || n == 23 ? 180 : 72;
  EXPECT_EQ(Word(app0, 8), density);
  EXPECT_EQ(Word(app0, 10), density);
  EXPECT_EQ(app0[12], 0);
  EXPECT_EQ(app0[13], 0);

  // One 8-bit table in each DQT.
  for (int i : {1, 2}) {
    ASSERT_EQ(segments[static_cast<std::size_t>(i)].body.size(), 65u);
    EXPECT_EQ(segments[static_cast<std::size_t>(i)].body[0] >> 4, 0);
  }

  // SOF0: 8 bits, 1024 x 768, Y Cb Cr sampled 2x1, 1x1, 1x1.
  const auto& frame = segments[3].body;
  ASSERT_EQ(frame.size(), 15u);
  EXPECT_EQ(frame[0], 8);
  EXPECT_EQ(Word(frame, 1), 768u);
  EXPECT_EQ(Word(frame, 3), 1024u);
  EXPECT_EQ(frame[5], 3);
  EXPECT_EQ(frame[7], 0x21);
  EXPECT_EQ(frame[10], 0x11);
  EXPECT_EQ(frame[13], 0x11);

  // One scan of all three components, the whole spectrum at once.
  const auto& scan = segments[8].body;
  ASSERT_EQ(scan.size(), 10u);
  EXPECT_EQ(scan[0], 3);
  EXPECT_EQ(scan[7], 0);
  EXPECT_EQ(scan[8], 63);
  EXPECT_EQ(scan[9], 0);

  // Entropy-coded data with no marker but stuffed bytes, then EOI and nothing after.
  std::size_t at = scanStart;
  while (at + 1 < file.size() && !(file[at] == 0xFF && file[at + 1] != 0x00)) ++at;
  EXPECT_EQ(at, file.size() - 2) << "a marker inside the scan, or bytes after EOI";
  EXPECT_EQ(file[file.size() - 2], 0xFF);
  EXPECT_EQ(file[file.size() - 1], 0xD9);
}

INSTANTIATE_TEST_SUITE_P(Pictures, CommittedPicture, ::testing::Range(0, 55));

TEST(PictureCollection, HoldsFiftyFiveDifferentPicturesOfSensibleSize) {
  std::set<std::vector<std::uint8_t>> distinct;
  for (int n = 0; n < 55; ++n) {
    const auto file = Picture(n);
    EXPECT_GE(file.size(), 40'000u) << n;
    EXPECT_LE(file.size(), 180'000u) << n;
    distinct.insert(file);
  }
  EXPECT_EQ(distinct.size(), 55u);
  EXPECT_FALSE(std::filesystem::exists(kFolder / "pictures" / "pic55.jpg"));
}

// A picture's layout: its brightness in 32 x 24 cells, less its mean and
// scaled to a length of 1. Two layouts' dot product is their correlation:
// 1 for the same light and dark in the same places, whatever the colours.
std::vector<double> Layout(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> rgb;
  testing::BareDecode(file, rgb, 1);  // 128 x 96
  constexpr int kWidth = 128, kHeight = 96, kColumns = 32, kRows = 24;
  std::vector<double> cells(kColumns * kRows);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 3;
      cells[static_cast<std::size_t>(y * kRows / kHeight * kColumns + x * kColumns / kWidth)] +=
          0.299 * rgb[at] + 0.587 * rgb[at + 1] + 0.114 * rgb[at + 2];
    }
  }
  double mean = 0;
  for (double c : cells) mean += c;
  mean /= static_cast<double>(cells.size());
  double length = 0;
  for (double& c : cells) {
    c -= mean;
    length += c * c;
  }
  for (double& c : cells) c /= std::sqrt(length);
  return cells;
}

// Pictures a viewer would take for the same place share their layout: the
// old collection, ranges over a lake again and again, had pairs above 0.9.
TEST(PictureCollection, NoTwoPicturesShareALayout) {
  std::vector<std::vector<double>> layouts;
  for (int n = 0; n < 55; ++n) layouts.push_back(Layout(Picture(n)));
  for (std::size_t a = 0; a < layouts.size(); ++a) {
    for (std::size_t b = a + 1; b < layouts.size(); ++b) {
      double correlation = 0;
      for (std::size_t i = 0; i < layouts[a].size(); ++i) correlation += layouts[a][i] * layouts[b][i];
      EXPECT_LT(correlation, 0.9) << "pictures " << a << " and " << b;
    }
  }
}

TEST(PictureCollection, TheIconIsOne32By32ImageAt24Bits) {
  const auto icon = ReadFile(kFolder / "pictures" / "orvanel.ico");
  ASSERT_GE(icon.size(), 22u + 40u);
  EXPECT_EQ(icon[2] | icon[3] << 8, 1);  // an icon
  EXPECT_EQ(icon[4] | icon[5] << 8, 1);  // one image
  EXPECT_EQ(icon[6], 32);
  EXPECT_EQ(icon[7], 32);
  EXPECT_EQ(icon[12] | icon[13] << 8, 24);
  const std::size_t header = icon[18] | icon[19] << 8;
  EXPECT_EQ(icon[header + 14] | icon[header + 15] << 8, 24);  // the bitmap's own bit count
}

TEST(EmbeddedResources, CarryTheCommittedBytesUnderTheirNames) {
  const auto table = EmbeddedResources();
  ASSERT_EQ(table.size(), 56u);
  for (int n = 0; n < 55; ++n) {
    const auto& entry = table[static_cast<std::size_t>(n)];
    EXPECT_EQ(std::string(entry.name), "PIC" + std::to_string(n));
    EXPECT_EQ(std::string(entry.type), "JPEG");
    const auto file = Picture(n);
    ASSERT_TRUE(std::equal(entry.bytes.begin(), entry.bytes.end(), file.begin(), file.end())) << n;
  }
  const auto& description = table[55];
  EXPECT_EQ(std::string(description.name), "DESCRIPTION");
  std::u16string text;
  for (std::size_t i = 0; i + 1 < description.bytes.size(); i += 2) {
    text += static_cast<char16_t>(description.bytes[i] | description.bytes[i + 1] << 8);
  }
  EXPECT_EQ(text, u"RIDUVOV Orvanel Screensaver");
}

}  // namespace
}  // namespace orvanel::resources
