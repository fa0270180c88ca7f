#pragma once
// A photo's colours as the display shows them: its rows turned from the
// colours its file describes into sRGB, or into the display's own profile
// when the desktop names one, on their way to the picture: after the
// reduction, on screen-sized rows.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/photo/colour_description.h"
#include "platform/photo/rgb_image.h"

namespace orvanel::platform::photo {

// Hands rows of 8-bit RGB on to the next sink, turned from one profile into
// another.
class ColourSink : public RowSink {
 public:
  // A sink for rows described by `source` and shown on a display whose
  // profile is `display` (empty: sRGB); null when the rows go on as they
  // are: no profile, or one that cannot be used (damaged, truncated, not of
  // RGB), which leaves the photo as sRGB.
  static std::unique_ptr<ColourSink> For(const ColourDescription& source, std::span<const std::uint8_t> display,
                                         RowSink& next);
  ~ColourSink() override;
  ColourSink(const ColourSink&) = delete;
  ColourSink& operator=(const ColourSink&) = delete;

  bool Begin(std::int32_t width, std::int32_t height) override;
  void Row(const std::uint8_t* rgb) override;

 private:
  ColourSink(void* transform, RowSink& next) : transform_(transform), next_(next) {}

  void* transform_;  // the library's transform
  RowSink& next_;
  std::vector<std::uint8_t> row_;
  std::uint32_t width_ = 0;
};

}  // namespace orvanel::platform::photo
