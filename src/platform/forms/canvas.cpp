#include "platform/forms/canvas.h"

#include "platform/forms/form.h"

namespace orvanel::forms {

using platform::DrawingContext;

Canvas::Canvas(Form& form) : form_(&form), desktop_(&form.Desktop()) {}

Canvas::Canvas(platform::Desktop& desktop, DrawingContext& context)
    : desktop_(&desktop), context_(&context) {}

template <typename Operation>
void Canvas::WithContext(Operation&& draw) {
  if (context_ != nullptr) {
    draw(*context_);
    return;
  }
  if (auto* content = form_->Content()) draw(*desktop_->BitmapContext(*content));
  // A window that is gone is not made again for drawing: it gets the kept
  // content when it is next made and painted.
  if (!form_->HandleAllocated()) return;
  const auto context = desktop_->WindowContext(form_->Handle());
  if (context) draw(*context);
}

void Canvas::FillRect(const platform::Rect& area) {
  WithContext([&](DrawingContext& dc) { dc.FillRect(area, brush_); });
}

void Canvas::Draw(platform::Point at, const platform::Bitmap& bitmap) {
  WithContext([&](DrawingContext& dc) { dc.DrawBitmap(bitmap, at); });
}

void Canvas::StretchDraw(const platform::Rect& target, const platform::Bitmap& bitmap) {
  WithContext([&](DrawingContext& dc) {
    dc.StretchBitmap(bitmap, target, ChooseStretchMode(dc.BitsPerPixel(), bitmap.BitsPerPixel()));
  });
}

platform::StretchMode ChooseStretchMode(int targetBits, int sourceBits) {
  if (targetBits <= 8 && targetBits < sourceBits) return platform::StretchMode::kHalftone;
  return platform::StretchMode::kColorOnColor;
}

}  // namespace orvanel::forms
