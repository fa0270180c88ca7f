#pragma once
#include <memory>

#include "platform/desktop.h"

namespace orvanel::forms {

class Form;

// A drawing surface with a brush and a pen: either a form's window, whose
// context is taken and given back around every operation, or a context the
// caller holds.
class Canvas {
 public:
  explicit Canvas(Form& form);
  Canvas(platform::Desktop& desktop, platform::DrawingContext& context);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  platform::ColorRef BrushColor() const { return brush_; }
  void SetBrushColor(platform::ColorRef colour) { brush_ = colour; }
  platform::ColorRef PenColor() const { return pen_; }
  void SetPenColor(platform::ColorRef colour) { pen_ = colour; }

  void FillRect(const platform::Rect& area);
  void Draw(platform::Point at, const platform::Bitmap& bitmap);
  // Stretches whole source pixels, unsmoothed, unless the target has 8 bits
  // a pixel or fewer and fewer than the source.
  void StretchDraw(const platform::Rect& target, const platform::Bitmap& bitmap);

 private:
  template <typename Operation>
  void WithContext(Operation&& draw);

  Form* form_ = nullptr;
  platform::Desktop* desktop_ = nullptr;
  platform::DrawingContext* context_ = nullptr;
  platform::ColorRef brush_ = platform::kWhite;
  platform::ColorRef pen_ = platform::kBlack;
};

// The stretch mode for drawing a bitmap of `sourceBits` bits a pixel onto a
// target of `targetBits`.
platform::StretchMode ChooseStretchMode(int targetBits, int sourceBits);

}  // namespace orvanel::forms
