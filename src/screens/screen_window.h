#pragma once
// What the eight secondary screen windows (the picture windows of monitors 1
// to 3 and the four blend overlays) share: their design, their monitor, and
// the close rule that any of them closing ends the run.
#include "platform/forms/form.h"

namespace orvanel::instance {
struct Saver;
}

namespace orvanel::screens {

// Borderless, black, layered at opacity 0, keys seen by the window first;
// position and size come from creation.
constexpr forms::FormDesign ScreenWindowDesign(const char* className, const char* name,
                                               bool topmost) {
  return forms::FormDesign{
      .className = className,
      .name = name,
      .border = forms::BorderStyle::kNone,
      .color = platform::kBlack,
      .alphaBlend = true,
      .alphaBlendValue = 0,
      .clientWidth = 320,
      .clientHeight = 240,
      .topmost = topmost,
      .keyPreview = true,
      .placement = forms::Placement::kDesigned,
  };
}

class ScreenWindow : public forms::Form {
 public:
  ScreenWindow(forms::Application& app, const forms::FormDesign& design, instance::Saver& saver,
               int monitor)
      : Form(app, design), saver_(saver), monitor_(monitor) {}
  int Monitor() const { return monitor_; }

 protected:
  // The area of this window's monitor as listed at start-up, if it is listed.
  const platform::Rect* MonitorArea() const;

  // The input that ends the saver.
  void FormMouseMove(std::int32_t x, std::int32_t y) override;
  void FormMouseDown(forms::MouseButton button, std::int32_t x, std::int32_t y) override;
  void FormKeyDown(std::uint16_t key) override;
  void FormKeyPress(char key) override;

  // Closing any of these windows, in any mode, asks the whole saver to stop.
  void FormCloseQuery(bool& canClose) override;

  instance::Saver& saver_;
  const int monitor_;
};

}  // namespace orvanel::screens
