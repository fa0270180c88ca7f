// The saver's own INI files behave as the desktop's private-profile functions.
//   Reading: names regardless of case, trimming, missing parts read empty, long values cut.
//   Writing: in place, appended, new section, other lines untouched, folder must exist.
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
            "; saver settings\r\n[Config]\r\nspeed=31\r\nExtra = kept \r\nBlend=0\r\n\r\n"
            "[Other]\r\nSpeed=3\r\n");
}

TEST_F(IniFile, CreatesTheFileAndTheSection) {
  ASSERT_TRUE(WriteValue(file, "Config", "Speed", "8"));
  ASSERT_TRUE(WriteValue(file, "Config", "Random", "1"));
  EXPECT_EQ(Contents(), "[Config]\r\nSpeed=8\r\nRandom=1\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "saver.ini.tmp"));
}

TEST_F(IniFile, FailsWithoutTheFolder) {
  EXPECT_FALSE(WriteValue(folder / "missing" / "saver.ini", "Config", "Speed", "8"));
}

}  // namespace
}  // namespace orvanel::platform::ini
