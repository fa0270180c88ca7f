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
  Win32Bitmap(HBITMAP bitmap, std::int32_t width, std::int32_t height, int bits,
              PixelRows rows = PixelRows{})
      : bitmap_(bitmap), width_(width), height_(height), bits_(bits), rows_(rows) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  int BitsPerPixel() const override { return bits_; }
  PixelRows Rows() override {
    GdiFlush();
    return rows_;
  }
  HBITMAP Handle() const { return bitmap_.get(); }

 private:
  ScopedGdiObject<HBITMAP> bitmap_;
  std::int32_t width_;
  std::int32_t height_;
  int bits_;
  PixelRows rows_;
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
// A section of 24 or 32 bits a pixel (blue, green, red, and one unused)
// whose rows, top row first, lie open to the decoder.
std::unique_ptr<Win32Bitmap> CreateDibBitmap(std::int32_t width, std::int32_t height, int bits);

// Fills the client area of the window being erased, on the erase message's context.
void EraseWindowBackground(HWND window, HDC dc, ColorRef colour);

}  // namespace orvanel::platform::win32
