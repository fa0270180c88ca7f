#pragma once
// GDI bitmaps and drawing contexts.
#include <windows.h>

#include <memory>
#include <optional>

#include "platform/desktop.h"
#include "platform/win32/handles.h"

namespace orvanel::platform::win32 {

class Win32Bitmap : public Bitmap {
 public:
  Win32Bitmap(HBITMAP bitmap, std::int32_t width, std::int32_t height, int bits)
      : bitmap_(bitmap), width_(width), height_(height), bits_(bits) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  int BitsPerPixel() const override { return bits_; }
  HBITMAP Handle() const { return bitmap_.get(); }

 private:
  ScopedGdiObject<HBITMAP> bitmap_;
  std::int32_t width_;
  std::int32_t height_;
  int bits_;
};

// Drawing on a device context: a window's (from GetDC) or a bitmap's (a
// memory context with the bitmap selected).
class Win32Context : public DrawingContext {
 public:
  explicit Win32Context(HWND window);
  explicit Win32Context(Win32Bitmap& bitmap);
  ~Win32Context() override;

  int BitsPerPixel() const override;
  void FillRect(const Rect& area, ColorRef colour) override;
  void DrawBitmap(const Bitmap& bitmap, Point at) override;
  void StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode mode) override;

 private:
  HDC dc() const;

  std::optional<ScopedWindowDC> windowDC_;
  std::optional<ScopedMemoryDC> memoryDC_;
  std::optional<ScopedSelectObject> selected_;
};

// A bitmap in the display's format.
std::unique_ptr<Win32Bitmap> CreateDisplayBitmap(std::int32_t width, std::int32_t height);
// A 24-bit bitmap holding RGB rows, top row first.
std::unique_ptr<Win32Bitmap> CreateRgbBitmap(std::int32_t width, std::int32_t height,
                                             std::span<const std::uint8_t> rgb);

// Fills the client area of the window being erased, on the erase message's context.
void EraseWindowBackground(HWND window, HDC dc, ColorRef colour);

}  // namespace orvanel::platform::win32
