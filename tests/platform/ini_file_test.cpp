// The saver's own INI files behave as the desktop's private-profile functions.
//   Reading: names regardless of case, trimming, missing parts read empty, long values cut.
//   Writing: in place, appended, new section, other lines untouched, folder must exist.
//   Files as users leave them: byte-order marks and UTF-16 kept, any line end,
//   a section named twice, a '[' without ']'. (The Wine differential test
//   compares all of this with the desktop's own functions.)
#include "platform/ini/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace orvanel::platform::ini {
namespace {

class IniFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("orvanel-ini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    file = folder / "saver.ini";
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  void Write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  std::string Contents() {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path folder;
  std::filesystem::path file;
};

TEST_F(IniFile, ReadsNamesRegardlessOfCaseAndTrimsBlanks) {
  Write("[Other]\r\nSpeed=1\r\n[ config ]\r\n  SPEED =  12  \r\nRandom=0\n");
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), "12");
  EXPECT_EQ(ReadValue(file, "CONFIG", "random"), "0");
  EXPECT_EQ(ReadValue(file, "Config", "Blend"), "");
  EXPECT_EQ(ReadValue(file, "Missing", "Speed"), "");
  EXPECT_EQ(ReadValue(folder / "absent.ini", "Config", "Speed"), "");
}

TEST_F(IniFile, CutsLongValues) {
  Write("[Config]\nSpeed=" + std::string(5000, '7') + "\n");
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), std::string(kMaxValueLength, '7'));
}

TEST_F(IniFile, WritesInPlaceAndLeavesEveryOtherLineAlone) {
  Write("; saver settings\r\n[Config]\r\nSpeed=8\r\nExtra = kept \r\n\r\n[Other]\r\nSpeed=3\r\n");
  ASSERT_TRUE(WriteValue(file, "config", "speed", "31"));
  ASSERT_TRUE(WriteValue(file, "Config", "Blend", "0"));
  EXPECT_EQ(Contents(),
            "; saver settings\r\n[Config]\r\nSpeed=31\r\nExtra = kept \r\nBlend=0\r\n\r\n"
            "[Other]\r\nSpeed=3\r\n");
}

TEST_F(IniFile, CreatesTheFileAndTheSection) {
  ASSERT_TRUE(WriteValue(file, "Config", "Speed", "8"));
  ASSERT_TRUE(WriteValue(file, "Config", "Random", "1"));
  EXPECT_EQ(Contents(), "[Config]\r\nSpeed=8\r\nRandom=1\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "saver.ini.tmp"));
}

TEST_F(IniFile, AFileWithAByteOrderMarkKeepsItAndItsOneSection) {
  Write("\xEF\xBB\xBF[Config]\r\nSpeed=8\r\n");
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), "8");
  ASSERT_TRUE(WriteValue(file, "Config", "Speed", "12"));
  ASSERT_TRUE(WriteValue(file, "Config", "Blend", "0"));
  EXPECT_EQ(Contents(), "\xEF\xBB\xBF[Config]\r\nSpeed=12\r\nBlend=0\r\n");
}

// "[Config]\r\nSpeed=8\r\nFolder=C:\Å\r\n" in UTF-16, little- or big-endian, with its mark.
std::string Utf16Settings(bool bigEndian, const std::string& speed) {
  const std::u16string text = u"[Config]\r\nSpeed=" + std::u16string(speed.begin(), speed.end()) +
                              u"\r\nFolder=C:\\\u00C5\r\n";
  std::string bytes;
  for (const char16_t unit : u"\uFEFF" + text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST_F(IniFile, AUtf16FileIsReadAsTextAndStaysUtf16) {
  for (const bool bigEndian : {false, true}) {
    Write(Utf16Settings(bigEndian, "8"));
    EXPECT_EQ(ReadValue(file, "Config", "Speed"), "8") << bigEndian;
    EXPECT_EQ(ReadValue(file, "Config", "Folder"), "C:\\\xC3\x85") << bigEndian;  // UTF-8
    ASSERT_TRUE(WriteValue(file, "Config", "Speed", "12"));
    EXPECT_EQ(Contents(), Utf16Settings(bigEndian, "12")) << bigEndian;
  }
}

TEST_F(IniFile, EveryLineEndEndsALine) {
  Write("[Config]\rSpeed=8\rRandom=0\n\r[Other]\r\nBlend=0");
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), "8");
  EXPECT_EQ(ReadValue(file, "Config", "Random"), "0");
  EXPECT_EQ(ReadValue(file, "Config", "Blend"), "");
  ASSERT_TRUE(WriteValue(file, "Config", "Speed", "9"));
  EXPECT_EQ(Contents(), "[Config]\r\nSpeed=9\r\nRandom=0\r\n\r\n[Other]\r\nBlend=0\r\n");
}

TEST_F(IniFile, OnlyTheFirstSectionOfANameCounts) {
  Write("[Config]\r\nRandom=0\r\n[Other]\r\n[CONFIG]\r\nSpeed=9\r\n");
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), "");
  ASSERT_TRUE(WriteValue(file, "Config", "Speed", "12"));
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), "12");
  EXPECT_EQ(Contents(), "[Config]\r\nRandom=0\r\nSpeed=12\r\n[Other]\r\n[CONFIG]\r\nSpeed=9\r\n");
}

TEST_F(IniFile, ABracketWithoutItsCloseIsAKeyAndCommentsAreNot) {
  Write("[Config]\r\n[Other\r\n;Speed=1\r\nSpeed=8 ; eight\r\nRandom=\"0\"\r\n");
  EXPECT_EQ(ReadValue(file, "Config", "Speed"), "8 ; eight");
  EXPECT_EQ(ReadValue(file, "Config", "Random"), "0");
  EXPECT_EQ(ReadValue(file, "Config", "[Other"), "");
}

TEST_F(IniFile, FailsWithoutTheFolder) {
  EXPECT_FALSE(WriteValue(folder / "missing" / "saver.ini", "Config", "Speed", "8"));
}

}  // namespace
}  // namespace orvanel::platform::ini
