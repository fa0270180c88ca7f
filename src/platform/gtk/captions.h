#pragma once
// What a caption is made of on Linux: text drawn by Pango in the desktop's
// sans-serif face, and dates written by ICU in the user's locale. Neither
// needs a display.
#include <cstdint>
#include <string>

#include "platform/date_time.h"
#include "platform/desktop.h"

namespace orvanel::platform::gtk {

// One line of UTF-8 text, the font sized so that its ascent and descent
// together are `lineHeight` pixels, bytes that are not UTF-8 drawn as
// stand-ins; empty when the text is empty.
TextMask RenderCaptionText(const std::string& text, std::int32_t lineHeight);

// The locale dates are written in, as the environment names it: LC_ALL, else
// LC_TIME, else LANG, the first set; its encoding and modifier left off, and
// "en_US" for the C and POSIX locales.
std::string DateLocale();

// The calendar day of `date` in the long date form of `locale`; empty when
// ICU cannot write it.
std::string LongDateIn(const std::string& locale, const DateTime& date);

}  // namespace orvanel::platform::gtk
