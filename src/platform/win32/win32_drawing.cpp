#include "platform/win32/win32_drawing.h"

namespace orvanel::platform::win32 {
namespace {

void FillWithColour(HDC dc, const RECT& area, ColorRef colour) {
  ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  ::FillRect(dc, &area, brush.get());
}

}  // namespace

Win32Context::Win32Context(HWND window) { windowDC_.emplace(window); }

Win32Context::Win32Context(Win32Bitmap& bitmap) {
  memoryDC_.emplace(nullptr);
  selected_.emplace(memoryDC_->get(), bitmap.Handle());
}

Win32Context::~Win32Context() {
  // The bitmap is put back before its context goes.
  selected_.reset();
}

HDC Win32Context::dc() const { return windowDC_ ? windowDC_->get() : memoryDC_->get(); }

int Win32Context::BitsPerPixel() const {
  return GetDeviceCaps(dc(), BITSPIXEL) * GetDeviceCaps(dc(), PLANES);
}

void Win32Context::FillRect(const Rect& area, ColorRef colour) {
  const RECT rect{area.left, area.top, area.right, area.bottom};
  FillWithColour(dc(), rect, colour);
}

void Win32Context::DrawBitmap(const Bitmap& bitmap, Point at) {
  const auto& source = static_cast<const Win32Bitmap&>(bitmap);
  ScopedMemoryDC sourceDC(dc());
  ScopedSelectObject selected(sourceDC.get(), source.Handle());
  BitBlt(dc(), at.x, at.y, source.Width(), source.Height(), sourceDC.get(), 0, 0, SRCCOPY);
}

void Win32Context::StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode mode) {
  const auto& source = static_cast<const Win32Bitmap&>(bitmap);
  ScopedMemoryDC sourceDC(dc());
  ScopedSelectObject selected(sourceDC.get(), source.Handle());
  SetStretchBltMode(dc(), static_cast<int>(mode));
  StretchBlt(dc(), target.left, target.top, target.Width(), target.Height(), sourceDC.get(), 0, 0,
             source.Width(), source.Height(), SRCCOPY);
}

std::unique_ptr<Win32Bitmap> CreateDisplayBitmap(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  ScopedWindowDC screen(nullptr);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
  if (bitmap == nullptr) return nullptr;
  const int bits = GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
  return std::make_unique<Win32Bitmap>(bitmap, width, height, bits);
}

std::unique_ptr<Win32Bitmap> CreateDibBitmap(std::int32_t width, std::int32_t height, int bits) {
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  // Rows are padded to four bytes.
  const std::size_t bytes = bits / 8;
  const auto stride = static_cast<std::ptrdiff_t>((static_cast<std::size_t>(width) * bytes + 3) & ~std::size_t{3});
  return std::make_unique<Win32Bitmap>(
      bitmap, width, height, bits,
      PixelRows{static_cast<std::uint8_t*>(pixels), stride, bits == 32 ? PixelLayout::kBgrx32 : PixelLayout::kBgr24});
}

void EraseWindowBackground(HWND window, HDC dc, ColorRef colour) {
  RECT client;
  GetClientRect(window, &client);
  FillWithColour(dc, client, colour);
}

}  // namespace orvanel::platform::win32
