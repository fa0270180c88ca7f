#pragma once
// Text read back from the X screen ($DISPLAY) by optical character
// recognition, as a person would read it: the part of the screen captured
// with ImageMagick's import, enlarged three times and turned dark on light,
// then read by tesseract.
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orvanel::testing {

// What tesseract reads in the screen's rectangle; empty when it reads nothing.
inline std::string ReadScreenText(int x, int y, int width, int height) {
  const auto folder = std::filesystem::temp_directory_path() / ("orvanel-ocr-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string image = (folder / "part.png").string();
  const std::string text = (folder / "text").string();
  const std::string geometry =
      std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
  const std::string command = "import -silent -window root -crop " + geometry + " +repage '" + image +
                              "' && convert '" + image + "' -resize 300% -colorspace gray -negate -normalize '" +
                              image + "' && tesseract '" + image + "' '" + text + "' --psm 6 >/dev/null 2>&1";
  std::string read;
  if (std::system(command.c_str()) == 0) {
    std::ifstream in(text + ".txt");
    read.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::remove_all(folder);
  return read;
}

// Letters and digits only, in lower case: what recognition reads surely.
// Letters outside ASCII, which it may read as their base letter or not at
// all, are left out.
inline std::string LettersAndDigits(const std::string& text) {
  std::string kept;
  for (unsigned char c : text) {
    if (c < 0x80 && std::isalnum(c)) kept += static_cast<char>(std::tolower(c));
  }
  return kept;
}

}  // namespace orvanel::testing
