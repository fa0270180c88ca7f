#include "platform/gtk/surface_drawing.h"

namespace orvanel::platform::gtk {

SurfaceBitmap::SurfaceBitmap(std::int32_t width, std::int32_t height, bool picture)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)), picture_(picture) {}

std::unique_ptr<SurfaceBitmap> SurfaceBitmap::Sharing(const SurfaceBitmap& other) {
  return std::unique_ptr<SurfaceBitmap>(new SurfaceBitmap(cairo_surface_reference(other.surface_), other.picture_));
}

SurfaceBitmap::~SurfaceBitmap() { cairo_surface_destroy(surface_); }

bool SurfaceBitmap::Valid() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }

std::int32_t SurfaceBitmap::Width() const { return cairo_image_surface_get_width(surface_); }

std::int32_t SurfaceBitmap::Height() const { return cairo_image_surface_get_height(surface_); }

PixelRows SurfaceBitmap::Rows() {
  if (!picture_) return PixelRows{};
  cairo_surface_flush(surface_);
  // The decoder writes behind cairo's back.
  cairo_surface_mark_dirty(surface_);
  return PixelRows{cairo_image_surface_get_data(surface_), cairo_image_surface_get_stride(surface_),
                   PixelLayout::kBgrx32};
}

SurfaceContext::SurfaceContext(cairo_surface_t* target, std::function<void()> finished)
    : cairo_(cairo_create(target)), finished_(std::move(finished)) {
  cairo_set_operator(cairo_, CAIRO_OPERATOR_SOURCE);
}

SurfaceContext::~SurfaceContext() {
  cairo_surface_flush(cairo_get_target(cairo_));
  cairo_destroy(cairo_);
  if (finished_) finished_();
}

void SurfaceContext::FillRect(const Rect& area, ColorRef colour) {
  cairo_set_source_rgb(cairo_, RedOf(colour) / 255.0, GreenOf(colour) / 255.0, BlueOf(colour) / 255.0);
  cairo_rectangle(cairo_, area.left, area.top, area.Width(), area.Height());
  cairo_fill(cairo_);
}

void SurfaceContext::DrawBitmap(const Bitmap& bitmap, Point at) {
  const auto& source = static_cast<const SurfaceBitmap&>(bitmap);
  cairo_surface_mark_dirty(source.Surface());
  cairo_set_source_surface(cairo_, source.Surface(), at.x, at.y);
  cairo_rectangle(cairo_, at.x, at.y, source.Width(), source.Height());
  cairo_fill(cairo_);
}

void SurfaceContext::StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode mode) {
  const auto& source = static_cast<const SurfaceBitmap&>(bitmap);
  if (source.Width() <= 0 || source.Height() <= 0) return;
  cairo_surface_mark_dirty(source.Surface());
  cairo_save(cairo_);
  cairo_rectangle(cairo_, target.left, target.top, target.Width(), target.Height());
  cairo_clip(cairo_);
  cairo_translate(cairo_, target.left, target.top);
  cairo_scale(cairo_, static_cast<double>(target.Width()) / source.Width(),
              static_cast<double>(target.Height()) / source.Height());
  cairo_set_source_surface(cairo_, source.Surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cairo_),
                           mode == StretchMode::kHalftone ? CAIRO_FILTER_GOOD : CAIRO_FILTER_FAST);
  cairo_paint(cairo_);
  cairo_restore(cairo_);
}

}  // namespace orvanel::platform::gtk
