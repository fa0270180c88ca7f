#pragma once
// The design-time properties of a form, as its stored window design fixes them.
#include <cstdint>

#include "platform/geometry.h"

namespace orvanel::forms {

enum class BorderStyle { kNone, kDialog };

// How the framework places a form when it is first shown.
enum class Placement {
  kDesigned,      // where its creation put it
  kScreenCenter,  // centred on the primary screen, then moved onto monitor 0
};

struct FormDesign {
  const char* className;  // the native window class
  const char* name;       // the global instance's name
  BorderStyle border = BorderStyle::kNone;
  platform::ColorRef color = platform::kBlack;
  bool alphaBlend = true;
  std::uint8_t alphaBlendValue = 0;
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;
  bool topmost = false;
  bool keyPreview = true;
  Placement placement = Placement::kDesigned;
  const char* fontName = "MS Sans Serif";
  std::int32_t fontHeight = -11;
};

}  // namespace orvanel::forms
