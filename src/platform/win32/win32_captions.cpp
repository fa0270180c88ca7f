// What a caption is made of on Windows: text drawn by GDI in the desktop's
// message font, smoothed in grey, and dates in the user's long date format,
// all in the ANSI code page as the rest of this backend.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/ansi_text.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_desktop.h"

namespace orvanel::platform::win32 {
namespace {

// The face the desktop writes its messages in (Segoe UI on current Windows).
std::wstring MessageFace() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) &&
      metrics.lfMessageFont.lfFaceName[0] != L'\0') {
    return metrics.lfMessageFont.lfFaceName;
  }
  return L"MS Shell Dlg 2";
}

// Grey smoothing, not ClearType: the coverage is one value per pixel.
ScopedGdiObject<HFONT> MessageFont(const std::wstring& face, int height) {
  return ScopedGdiObject<HFONT>(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                            OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                            DEFAULT_PITCH | FF_SWISS, face.c_str()));
}

DateTime FromSystemTime(const SYSTEMTIME& t) {
  return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

}  // namespace

TextMask Win32Desktop::RenderText(const std::string& text, std::int32_t lineHeight) {
  if (text.empty() || lineHeight <= 0) return {};
  const std::wstring wide = Wide(text);
  if (wide.empty()) return {};
  const ScopedMemoryDC dc(nullptr);
  if (dc.get() == nullptr) return {};
  // A positive height asks for the cell (ascent and descent together); the
  // mapper may round it, so the character height is set once more from
  // what it gave.
  const std::wstring face = MessageFace();
  ScopedGdiObject<HFONT> font = MessageFont(face, lineHeight);
  if (font.get() == nullptr) return {};
  TEXTMETRICW metrics{};
  {
    const ScopedSelectObject selected(dc.get(), font.get());
    if (!GetTextMetricsW(dc.get(), &metrics) || metrics.tmHeight <= 0) return {};
  }
  if (metrics.tmHeight != lineHeight) {
    const LONG character = metrics.tmHeight - metrics.tmInternalLeading;
    ScopedGdiObject<HFONT> resized =
        MessageFont(face, -static_cast<int>(MulDiv(character, lineHeight, metrics.tmHeight)));
    if (resized.get() != nullptr) font = std::move(resized);
  }
  const ScopedSelectObject selected(dc.get(), font.get());
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &extent) || extent.cx <= 0) {
    return {};
  }

  TextMask mask;
  mask.width = extent.cx;
  mask.height = lineHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = mask.width;
  info.bmiHeader.biHeight = -mask.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const ScopedGdiObject<HBITMAP> bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap.get() == nullptr || bits == nullptr) return {};
  const ScopedSelectObject target(dc.get(), bitmap.get());
  // White on the section's black: a pixel's grey is how much the glyphs cover it.
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), RGB(255, 255, 255));
  TextOutW(dc.get(), 0, 0, wide.c_str(), static_cast<int>(wide.size()));
  GdiFlush();

  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  mask.coverage.resize(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height));
  for (std::size_t i = 0; i < mask.coverage.size(); ++i) mask.coverage[i] = pixels[i * 4 + 1];
  return mask;
}

std::string Win32Desktop::LongDate(const DateTime& date) {
  SYSTEMTIME day{};
  day.wYear = date.year;
  day.wMonth = date.month;
  day.wDay = date.day;
  const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &day, nullptr, nullptr, 0, nullptr);
  if (length <= 0) return {};
  std::wstring written(static_cast<std::size_t>(length), L'\0');
  if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &day, nullptr, written.data(), length, nullptr) <= 0) {
    return {};
  }
  // A date the code page cannot hold has no caption, rather than one of stand-ins.
  return Ansi(written.c_str()).value_or("");
}

// A picture's path in the ANSI code page, as ReadFilePart takes it.
std::optional<DateTime> Win32Desktop::FileModifiedTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) return std::nullopt;
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&attributes.ftLastWriteTime, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    return std::nullopt;
  }
  return FromSystemTime(local);
}

}  // namespace orvanel::platform::win32
