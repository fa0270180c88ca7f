// The date a photo was taken, from its Exif block.
//   Blocks: either byte order; only the Exif directory's original date
//           counts; offsets and counts out of range, a block cut anywhere,
//           and dates no calendar has give nothing.
//   Formats: JPEG, WebP, TIFF, HEIC and AVIF each hand the date to their
//            target with the header.
#include "platform/photo/exif_date.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/photo/photo_format.h"
#include "support/encoded_photo.h"
#include "support/jpeg_writer.h"
#include "support/png_writer.h"

namespace orvanel::platform::photo {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kAscii = 2, kShort = 3, kLong = 4, kUndefined = 7;
constexpr std::uint16_t kDateTimeTag = 0x0132, kExifTag = 0x8769, kOriginalTag = 0x9003, kDigitizedTag = 0x9004;

// A TIFF structure made by hand in either byte order: its directories one
// after another from offset 8, then the bytes their entries point to.
class TiffMaker {
 public:
  explicit TiffMaker(bool bigEndian) : bigEndian_(bigEndian) {}

  // A new directory, the first the one the header points to.
  int Directory() {
    directories_.emplace_back();
    return static_cast<int>(directories_.size()) - 1;
  }
  // An entry whose value field holds `value`, whatever its type and count claim.
  void Value(int directory, std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    directories_[directory].push_back({tag, type, count, value, -1, -1});
  }
  // An entry pointing to bytes placed after the directories.
  void Place(int directory, std::uint16_t tag, std::uint16_t type, std::uint32_t count, Bytes bytes) {
    placed_.push_back(std::move(bytes));
    directories_[directory].push_back({tag, type, count, 0, -1, static_cast<int>(placed_.size()) - 1});
  }
  // Text and its terminating NUL, claiming `count` characters when given.
  void Text(int directory, std::uint16_t tag, const std::string& text, std::optional<std::uint32_t> count = {}) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    Place(directory, tag, kAscii, count.value_or(size), std::move(bytes));
  }
  // An entry pointing to another directory, as IFD0's to the Exif directory.
  void Point(int directory, std::uint16_t tag, int to) {
    directories_[directory].push_back({tag, kLong, 1, 0, to, -1});
  }

  Bytes Make() const {
    std::vector<std::uint32_t> directoryAt;
    std::uint32_t at = 8;
    for (const auto& entries : directories_) {
      directoryAt.push_back(at);
      at += 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
    }
    std::vector<std::uint32_t> placedAt;
    for (const Bytes& bytes : placed_) {
      placedAt.push_back(at);
      at += static_cast<std::uint32_t>(bytes.size());
    }
    Bytes tiff;
    const char order = bigEndian_ ? 'M' : 'I';
    tiff.insert(tiff.end(), {static_cast<std::uint8_t>(order), static_cast<std::uint8_t>(order)});
    U16(tiff, 42);
    U32(tiff, 8);
    for (const auto& entries : directories_) {
      U16(tiff, static_cast<std::uint16_t>(entries.size()));
      for (const Entry& entry : entries) {
        U16(tiff, entry.tag);
        U16(tiff, entry.type);
        U32(tiff, entry.count);
        if (entry.directory >= 0) {
          U32(tiff, directoryAt[entry.directory]);
        } else if (entry.placed >= 0) {
          U32(tiff, placedAt[entry.placed]);
        } else if (entry.type == kShort) {
          U16(tiff, static_cast<std::uint16_t>(entry.value));  // a SHORT stands first in its field
          U16(tiff, 0);
        } else {
          U32(tiff, entry.value);
        }
      }
      U32(tiff, 0);
    }
    for (const Bytes& bytes : placed_) tiff.insert(tiff.end(), bytes.begin(), bytes.end());
    return tiff;
  }

 private:
  struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count, value;
    int directory, placed;
  };
  void U16(Bytes& to, std::uint16_t value) const {
    const std::uint8_t high = value >> 8, low = value & 0xFF;
    to.insert(to.end(), bigEndian_ ? std::initializer_list<std::uint8_t>{high, low}
                                   : std::initializer_list<std::uint8_t>{low, high});
  }
  void U32(Bytes& to, std::uint32_t value) const {
    U16(to, static_cast<std::uint16_t>(bigEndian_ ? value >> 16 : value));
    U16(to, static_cast<std::uint16_t>(bigEndian_ ? value : value >> 16));
  }

  bool bigEndian_;
  std::vector<std::vector<Entry>> directories_;
  std::vector<Bytes> placed_;
};

// The Exif block cameras write: IFD0 pointing to the Exif directory, which
// holds the original date.
Bytes ExifWithDate(const std::string& date, bool bigEndian = false) {
  TiffMaker maker(bigEndian);
  const int first = maker.Directory();
  const int exif = maker.Directory();
  maker.Point(first, kExifTag, exif);
  maker.Text(exif, kOriginalTag, date);
  return maker.Make();
}

// A JPEG file holding the Exif block right after its start marker, and
// before it another block of `before` bytes.
Bytes JpegWithExif(const Bytes& tiff, std::size_t before = 0) {
  testing::JpegRecipe recipe;
  const Bytes jpeg = testing::MakeJpeg(recipe);
  Bytes file(jpeg.begin(), jpeg.begin() + 2);
  const auto segment = [&file](std::uint8_t marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    file.insert(file.end(), {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    file.insert(file.end(), payload.begin(), payload.end());
  };
  if (before > 0) segment(0xE2, Bytes(before, 0x20));
  Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
  exif.insert(exif.end(), tiff.begin(), tiff.end());
  segment(0xE1, exif);
  file.insert(file.end(), jpeg.begin() + 2, jpeg.end());
  return file;
}

constexpr DateTime kTaken{2021, 7, 14, 9, 5, 30, 0};

TEST(ExifDateTaken, OnlyTheExifDirectorysRealOriginalDateCounts) {
  struct Case {
    const char* label;
    Bytes tiff;
    std::optional<DateTime> taken;
  };
  std::vector<Case> cases = {
      {"little-endian", ExifWithDate("2021:07:14 09:05:30"), kTaken},
      {"big-endian", ExifWithDate("2021:07:14 09:05:30", true), kTaken},
      {"29 February of a leap year", ExifWithDate("2024:02:29 23:59:59"), DateTime{2024, 2, 29, 23, 59, 59, 0}},
      {"29 February 2000", ExifWithDate("2000:02:29 00:00:00"), DateTime{2000, 2, 29, 0, 0, 0, 0}},
      {"year 1", ExifWithDate("0001:01:01 00:00:00"), DateTime{1, 1, 1, 0, 0, 0, 0}},
      {"year 9999", ExifWithDate("9999:12:31 23:59:59"), DateTime{9999, 12, 31, 23, 59, 59, 0}},
      {"year 0", ExifWithDate("0000:01:01 00:00:00"), std::nullopt},
      {"29 February of a common year", ExifWithDate("2023:02:29 12:00:00"), std::nullopt},
      {"29 February 1900", ExifWithDate("1900:02:29 12:00:00"), std::nullopt},
      {"30 February", ExifWithDate("2024:02:30 12:00:00"), std::nullopt},
      {"31 April", ExifWithDate("2021:04:31 12:00:00"), std::nullopt},
      {"month 13", ExifWithDate("2021:13:01 12:00:00"), std::nullopt},
      {"hour 24", ExifWithDate("2021:07:14 24:00:00"), std::nullopt},
      {"minute 60", ExifWithDate("2021:07:14 09:60:00"), std::nullopt},
      {"second 60", ExifWithDate("2021:07:14 09:05:60"), std::nullopt},
      {"zeros", ExifWithDate("0000:00:00 00:00:00"), std::nullopt},
      {"blanks", ExifWithDate("    :  :     :  :  "), std::nullopt},
      {"dashes", ExifWithDate("2021-07-14 09:05:30"), std::nullopt},
      {"more after it", ExifWithDate("2021:07:14 09:05:30+02"), std::nullopt},
      {"cut short", ExifWithDate("2021:07:14 09:05"), std::nullopt},
  };
  const auto add = [&cases](const char* label, const TiffMaker& maker, std::optional<DateTime> taken) {
    cases.push_back({label, maker.Make(), taken});
  };
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    maker.Text(first, kDateTimeTag, "2021:07:14 09:05:30");
    add("IFD0's date, no Exif directory", maker, std::nullopt);
  }
  {
    TiffMaker maker(true);
    const int first = maker.Directory();
    const int exif = maker.Directory();
    maker.Text(first, kDateTimeTag, "1999:12:31 23:59:59");
    maker.Point(first, kExifTag, exif);
    maker.Text(exif, kDigitizedTag, "1999:12:31 23:59:59");
    maker.Text(exif, kOriginalTag, "2021:07:14 09:05:30");
    add("the original date after the others", maker, kTaken);
  }
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    const int exif = maker.Directory();
    maker.Point(first, kExifTag, exif);
    maker.Text(exif, kDigitizedTag, "2021:07:14 09:05:30");
    add("the digitised date only", maker, std::nullopt);
  }
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    maker.Directory();
    maker.Value(first, kExifTag, kLong, 1, 0xFFFFFFF0);
    add("the Exif directory far beyond the block", maker, std::nullopt);
  }
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    const int exif = maker.Directory();
    maker.Point(first, kExifTag, exif);
    maker.Value(exif, kOriginalTag, kAscii, 20, 0xFFFFFFFF);
    add("the date far beyond the block", maker, std::nullopt);
  }
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    const int exif = maker.Directory();
    maker.Point(first, kExifTag, exif);
    maker.Text(exif, kOriginalTag, "2021:07:14 09:05:30", 21);
    add("the date's count one past the block", maker, std::nullopt);
  }
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    const int exif = maker.Directory();
    maker.Point(first, kExifTag, exif);
    maker.Text(exif, kOriginalTag, "2021:07:14 09:05:30", 0xFFFFFFFF);
    add("the date's count past any block", maker, std::nullopt);
  }
  {
    TiffMaker maker(false);
    const int first = maker.Directory();
    const int exif = maker.Directory();
    maker.Point(first, kExifTag, exif);
    const std::string text = "2021:07:14 09:05:30";
    maker.Place(exif, kOriginalTag, kUndefined, 20, Bytes(text.c_str(), text.c_str() + text.size() + 1));
    add("the date not of the text type", maker, std::nullopt);
  }

  for (const Case& c : cases) {
    EXPECT_EQ(ExifBlockDateTaken(c.tiff), c.taken) << c.label;
    Bytes withHeader = {'E', 'x', 'i', 'f', 0, 0};
    withHeader.insert(withHeader.end(), c.tiff.begin(), c.tiff.end());
    EXPECT_EQ(ExifBlockDateTaken(withHeader), c.taken) << c.label << ", with the Exif header";
    EXPECT_EQ(ExifDateTaken(JpegWithExif(c.tiff)), c.taken) << c.label << ", in a JPEG";
  }

  // The date is the block's last bytes: a block cut anywhere has none.
  const Bytes whole = ExifWithDate("2021:07:14 09:05:30", true);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    EXPECT_EQ(ExifBlockDateTaken(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
              std::nullopt)
        << "cut to " << size;
  }
  // As the imaging codecs give it: the text alone.
  EXPECT_EQ(ParseExifDateText("2021:07:14 09:05:30"), kTaken);
}

// Keeps the header it is told and refuses the photo: the rows are not needed.
class HeaderTarget : public PhotoTarget {
 public:
  std::optional<PhotoSize> Plan(const PhotoHeader& told) override {
    header = told;
    return std::nullopt;
  }
  RowSink* Sink() override { return nullptr; }

  std::optional<PhotoHeader> header;
};

// A PNG file holding the Exif block in an eXIf chunk right after its
// header chunk, or after its pixels.
Bytes PngWithExif(const Bytes& tiff, bool afterPixels = false) {
  const Bytes png = testing::MakePng({});
  Bytes chunk = {0, 0, 0, 0, 'e', 'X', 'I', 'f'};
  const auto length = static_cast<std::uint32_t>(tiff.size());
  for (int i = 0; i < 4; ++i) chunk[i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  chunk.insert(chunk.end(), tiff.begin(), tiff.end());
  const auto crc = static_cast<std::uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
  // The signature and IHDR take 33 bytes; IEND the last 12.
  const std::ptrdiff_t at = afterPixels ? static_cast<std::ptrdiff_t>(png.size()) - 12 : 33;
  Bytes file(png.begin(), png.begin() + at);
  file.insert(file.end(), chunk.begin(), chunk.end());
  file.insert(file.end(), png.begin() + at, png.end());
  return file;
}

// A grey photo of 2 x 2 pixels whose first directory points to an Exif
// directory, as cameras write TIFF.
Bytes TiffFileWithExif(const std::string& date) {
  TiffMaker maker(true);
  const int first = maker.Directory();
  const int exif = maker.Directory();
  maker.Value(first, 256, kShort, 1, 2);  // width
  maker.Value(first, 257, kShort, 1, 2);  // height
  maker.Value(first, 258, kShort, 1, 8);  // bits per sample
  maker.Value(first, 259, kShort, 1, 1);  // no compression
  maker.Value(first, 262, kShort, 1, 1);  // black is zero
  maker.Place(first, 273, kLong, 1, {0x40, 0x80, 0xC0, 0xFF});  // the one strip
  maker.Value(first, 277, kShort, 1, 1);  // samples per pixel
  maker.Value(first, 278, kShort, 1, 2);  // rows per strip
  maker.Value(first, 279, kLong, 1, 4);   // strip bytes
  maker.Point(first, kExifTag, exif);
  maker.Text(exif, kOriginalTag, date);
  return maker.Make();
}

TEST(ExifDateTaken, EachFormatHandsTheDateToItsTarget) {
  const std::string date = "2021:07:14 09:05:30";
  const Bytes exif = ExifWithDate(date);
  testing::EncoderFolder folder;
  folder.Write("exif", exif);
  folder.Write("in.jpg", JpegWithExif(exif));
  const std::pair<const char*, std::optional<Bytes>> files[] = {
      {"JPEG", JpegWithExif(exif)},
      {"JPEG, its Exif block beyond the probe's start", JpegWithExif(ExifWithDate(date, true), 6000)},
      {"WebP", folder.Run("cwebp -quiet -lossless in.jpg -o plain.webp && webpmux -set exif exif plain.webp -o out")},
      {"TIFF", TiffFileWithExif(date)},
      {"PNG", PngWithExif(exif)},
      {"HEIC", folder.Run("heif-enc -q 50 in.jpg -o out.heic && mv out.heic out")},
      {"AVIF", folder.Run("avifenc -s 10 --exif exif in.jpg out.avif && mv out.avif out")},
  };
  for (const auto& [label, file] : files) {
    ASSERT_TRUE(file) << label;
    HeaderTarget target;
    DecodePhoto(MemorySource(*file), target);
    ASSERT_TRUE(target.header) << label;
    EXPECT_EQ(target.header->taken, kTaken) << label;
  }
  // Without an Exif block, or with one only after the pixels, no date.
  for (const Bytes& file : {testing::MakeJpeg({}), PngWithExif(exif, true)}) {
    HeaderTarget plain;
    DecodePhoto(MemorySource(file), plain);
    ASSERT_TRUE(plain.header);
    EXPECT_EQ(plain.header->taken, std::nullopt);
  }
}

}  // namespace
}  // namespace orvanel::platform::photo
