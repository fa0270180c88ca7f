// The Linux desktop's captions, without a display.
//   Long dates: in the locale LC_ALL, LC_TIME or LANG names, the first set,
//               from ICU's own data whatever locales the system has made; the
//               C locale writes American English; the day never moves.
//   Text: a mask exactly the line high, as wide as the text, grey at the
//         glyphs' edges; none for no text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "platform/gtk/captions.h"

namespace orvanel::platform::gtk {
namespace {

// Sets environment variables for a test's span, as they were afterwards.
class Environment {
 public:
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  void Set(const std::string& name, const std::string& value) {
    if (!saved_.contains(name)) {
      const char* was = std::getenv(name.c_str());
      saved_[name] = was != nullptr ? std::optional<std::string>(was) : std::nullopt;
    }
    setenv(name.c_str(), value.c_str(), 1);
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST(GtkLongDate, IsWrittenInTheLocaleTheEnvironmentNames) {
  const struct {
    const char* lcAll;
    const char* lcTime;
    const char* lang;
    const char* written;
  } cases[] = {
      {"", "", "en_US.UTF-8", "December 9, 2026"},
      {"", "de_DE.UTF-8", "en_US.UTF-8", "9. Dezember 2026"},
      {"", "", "fr_FR.UTF-8", "9 décembre 2026"},
      {"en_GB.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "9 December 2026"},
      {"C", "de_DE.UTF-8", "", "December 9, 2026"},
      {"", "C.UTF-8", "de_DE.UTF-8", "December 9, 2026"},
      {"", "", "", "December 9, 2026"},
  };
  Environment environment;
  // Late in the evening west of Greenwich: the day is the one given, not UTC's.
  environment.Set("TZ", "America/Los_Angeles");
  for (const auto& c : cases) {
    environment.Set("LC_ALL", c.lcAll);
    environment.Set("LC_TIME", c.lcTime);
    environment.Set("LANG", c.lang);
    EXPECT_EQ(LongDateIn(DateLocale(), DateTime{2026, 12, 9, 23, 59, 59, 999}), c.written)
        << c.lcAll << " / " << c.lcTime << " / " << c.lang;
  }
}

TEST(GtkCaptionText, FillsTheLineHeightAndTheTextsWidth) {
  const auto inked = [](const TextMask& mask) {
    return std::count_if(mask.coverage.begin(), mask.coverage.end(), [](std::uint8_t c) { return c != 0; });
  };
  const auto grey = [](const TextMask& mask) {
    return std::count_if(mask.coverage.begin(), mask.coverage.end(), [](std::uint8_t c) { return c != 0 && c != 255; });
  };
  std::map<int, std::int32_t> widths;
  for (const std::int32_t lineHeight : {12, 31}) {
    const TextMask shorter = RenderCaptionText("Date", lineHeight);
    const TextMask longer = RenderCaptionText("Date and folder", lineHeight);
    for (const TextMask* mask : {&shorter, &longer}) {
      EXPECT_EQ(mask->height, lineHeight);
      EXPECT_EQ(mask->coverage.size(), static_cast<std::size_t>(mask->width) * static_cast<std::size_t>(lineHeight));
      EXPECT_GT(inked(*mask), 0);
      EXPECT_GT(grey(*mask), 0);
    }
    EXPECT_GT(longer.width, shorter.width * 2);
    widths[lineHeight] = longer.width;
  }
  // The font grows with the line: the same text about as much wider.
  const double ratio = static_cast<double>(widths[31]) / widths[12];
  EXPECT_GT(ratio, 31.0 / 12 * 0.85);
  EXPECT_LT(ratio, 31.0 / 12 * 1.15);
  const TextMask none = RenderCaptionText("", 20);
  EXPECT_EQ(none.width, 0);
  EXPECT_TRUE(none.coverage.empty());
}

}  // namespace
}  // namespace orvanel::platform::gtk
