#pragma once
// Text in the ANSI code page, as this backend keeps the saver's paths,
// settings and captions, to the system's UTF-16 and back.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>

namespace orvanel::platform::win32 {

inline std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

// Nothing when a character has no place in the code page: a path written
// with a stand-in could not be opened again.
inline std::optional<std::string> Ansi(const wchar_t* text) {
  BOOL lossy = FALSE;
  // UTF-8 as the code page loses nothing, and takes no flag for it.
  BOOL* lossyFlag = GetACP() == CP_UTF8 ? nullptr : &lossy;
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, lossyFlag);
  if (length <= 0 || lossy) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), length, nullptr, nullptr);
  ansi.resize(std::strlen(ansi.c_str()));
  return ansi;
}

}  // namespace orvanel::platform::win32
