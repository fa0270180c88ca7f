// What orvanel.scr carries, read back with Windows' own resource and version
// functions under Wine.
//   Pictures: "PIC0" to "PIC54" of type "JPEG", Danish, the committed bytes.
//   Icon, description and version information.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

using WineResources = WineTest;

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
  std::string text;
  char digits[3];
  for (std::size_t i = from; i < from + count; ++i) {
    std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
    text += digits;
  }
  return text;
}

TEST_F(WineResources, CarriesTheFiftyFivePicturesInDanish) {
  std::set<std::string> expected;
  for (int n = 0; n < 55; ++n) expected.insert("PIC" + std::to_string(n));
  std::set<std::string> names;
  std::istringstream listed(session->Command("names JPEG"));
  for (std::string name; listed >> name;) names.insert(name);
  EXPECT_EQ(names, expected);
  for (int n : {0, 6, 23, 54}) {
    const std::filesystem::path file =
        std::string(ORVANEL_RESOURCES_DIR) + "/pictures/pic" + std::to_string(n) + ".jpg";
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    // Asked for in lower case, as the slideshow asks.
    EXPECT_EQ(session->Command("resource pic" + std::to_string(n) + " JPEG"),
              "size " + std::to_string(bytes.size()) + " lang 1030 head " + Hex(bytes, 0, 4) +
                  " tail " + Hex(bytes, bytes.size() - 4, 4));
  }
  EXPECT_EQ(session->Command("resource pic55 JPEG"), "missing");
  EXPECT_EQ(session->Command("resource pic00 JPEG"), "missing");
}

TEST_F(WineResources, CarriesItsIconAndDescription) {
  EXPECT_EQ(session->Command("icon MAINICON"), "lang 1030 images 1 32x32 bits 24");
  EXPECT_EQ(session->Command("text DESCRIPTION #10"), "RIDUVOV Orvanel Screensaver");
}

TEST_F(WineResources, CarriesItsVersionInformation) {
  EXPECT_EQ(session->Command("version fixed"), "file 1.1.2.296 product 1.1.2.296");
  EXPECT_EQ(session->Command("version translation"), "040904E4");
  EXPECT_EQ(session->Command("version FileVersion"), "1.1.2.296");
  EXPECT_EQ(session->Command("version ProductVersion"), "1");
  EXPECT_EQ(session->Command("version FileDescription"), "Orvanel Screen Saver");
  EXPECT_EQ(session->Command("version ProductName"), "Orvanel Screen Saver");
  EXPECT_EQ(session->Command("version InternalName"), "Orvanel");
  EXPECT_EQ(session->Command("version OriginalFilename"), "orvanel.scr");
  for (const char* field : {"CompanyName", "LegalCopyright", "Comments"}) {
    EXPECT_EQ(session->Command(std::string("version ") + field), "https://www.orvanel.example/");
  }
}

}  // namespace
}  // namespace orvanel::wine
