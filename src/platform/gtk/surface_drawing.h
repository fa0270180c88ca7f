#pragma once
// Bitmaps and drawing contexts on cairo image surfaces: 32 bits a pixel,
// blue, green, red and an unused byte in memory, as the X display takes them.
#include <cairo.h>

#include <functional>
#include <memory>

#include "platform/desktop.h"

namespace orvanel::platform::gtk {

class SurfaceBitmap : public Bitmap {
 public:
  // `picture` bitmaps hand their rows to a decoder.
  SurfaceBitmap(std::int32_t width, std::int32_t height, bool picture);
  // The same pixels as `other`, shared: drawing on either is drawing on both.
  static std::unique_ptr<SurfaceBitmap> Sharing(const SurfaceBitmap& other);
  ~SurfaceBitmap() override;
  SurfaceBitmap(const SurfaceBitmap&) = delete;
  SurfaceBitmap& operator=(const SurfaceBitmap&) = delete;

  bool Valid() const;
  std::int32_t Width() const override;
  std::int32_t Height() const override;
  int BitsPerPixel() const override { return 32; }
  PixelRows Rows() override;
  cairo_surface_t* Surface() const { return surface_; }

 private:
  SurfaceBitmap(cairo_surface_t* surface, bool picture) : surface_(surface), picture_(picture) {}

  cairo_surface_t* surface_;
  bool picture_;
};

// Draws on a surface; `finished` runs when the context is given back.
class SurfaceContext : public DrawingContext {
 public:
  SurfaceContext(cairo_surface_t* target, std::function<void()> finished);
  ~SurfaceContext() override;
  SurfaceContext(const SurfaceContext&) = delete;
  SurfaceContext& operator=(const SurfaceContext&) = delete;

  int BitsPerPixel() const override { return 32; }
  void FillRect(const Rect& area, ColorRef colour) override;
  void DrawBitmap(const Bitmap& bitmap, Point at) override;
  void StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode mode) override;

 private:
  cairo_t* cairo_;
  std::function<void()> finished_;
};

}  // namespace orvanel::platform::gtk
