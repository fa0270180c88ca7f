#pragma once
// A form: one top-level (or hosted) window of the saver, built from its stored
// design, with the event handlers the saver's windows override.
//
// Life of a form: constructed from its design → Create() makes the native
// window (CreateParams runs here) and then runs FormCreate → shown, moved,
// faded by the saver → closed (FormCloseQuery, then hidden, or the
// application ends when it is the main form) → destroyed with the application.
// The native window may be destroyed from outside (a host window taking its
// child with it); the next use of Handle() creates it again, running
// CreateParams again.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/forms/canvas.h"
#include "platform/forms/controls.h"
#include "platform/forms/form_design.h"

namespace orvanel::forms {

class Application;

// What CreateParams may change before the native window is made.
struct WindowCreationParams {
  std::string caption;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  platform::Rect bounds;
  platform::WindowHandle parent = platform::kNoWindow;
};

enum class MouseButton { kLeft, kRight, kMiddle };

class Form : public platform::WindowProcedure {
 public:
  Form(Application& app, const FormDesign& design);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Builds the native window and runs FormCreate. Called once, by the application.
  void Create();

  const FormDesign& Design() const { return design_; }
  Application& App() const { return app_; }
  platform::Desktop& Desktop() const;

  // The native window, created when missing.
  platform::WindowHandle Handle();
  bool HandleAllocated() const { return handle_ != platform::kNoWindow; }
  // Destroys the native window and creates it again (after a change of style).
  void RecreateWnd();

  // Position and size of the whole window, in the parent's coordinates.
  const platform::Rect& BoundsRect() const { return bounds_; }
  std::int32_t Left() const { return bounds_.left; }
  std::int32_t Top() const { return bounds_.top; }
  std::int32_t Width() const { return bounds_.Width(); }
  std::int32_t Height() const { return bounds_.Height(); }
  void SetLeft(std::int32_t left);
  void SetTop(std::int32_t top);
  void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  // The client area, (0, 0) at its top-left corner.
  platform::Rect ClientRect();
  // Grows or shrinks the client area to `height` (in the design's pixels),
  // the frame around it and the top-left corner kept.
  void SetClientHeight(std::int32_t height);

  // A length of the design in the pixels of the monitor the form opens on:
  // a dialog's layout and font grow with the monitor's DPI, rounded as
  // Windows' MulDiv rounds; other forms keep the design's pixels.
  std::int32_t Scaled(std::int32_t designed) const;
  platform::Rect Scaled(const platform::Rect& designed) const;

  // Places the window at its bounds with SetWindowPos and these flags; with
  // the show flag the form is shown, where it was placed.
  void PlaceWindow(platform::WindowHandle insertAfter, std::uint32_t flags);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  std::uint8_t AlphaBlendValue() const { return alpha_; }
  void SetAlphaBlendValue(std::uint8_t alpha);

  BorderStyle Border() const { return border_; }
  void SetBorderStyle(BorderStyle border);
  platform::ColorRef Color() const { return color_; }
  void SetColor(platform::ColorRef colour) { color_ = colour; }
  Canvas& GetCanvas() { return canvas_; }
  // What the canvas has drawn, kept so that a repaint shows it again, whole,
  // without flicker; made at the first drawing, at the client area's size, in
  // the form's colour.
  platform::Bitmap* Content();

  // Asks the form to close: FormCloseQuery decides; a closed main form ends
  // the application, any other is hidden.
  void Close();

  // Posts a message to this form's window.
  void Post(std::uint32_t message);

  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

 protected:
  // The creation parameters of the native window; a form may change them.
  virtual void CreateParams(WindowCreationParams& params);
  virtual void FormCreate() {}
  virtual void FormCloseQuery(bool& canClose) { (void)canClose; }
  virtual void FormMouseMove(std::int32_t x, std::int32_t y) { (void)x, (void)y; }
  virtual void FormMouseDown(MouseButton button, std::int32_t x, std::int32_t y) {
    (void)button, (void)x, (void)y;
  }
  virtual void FormKeyDown(std::uint16_t key) { (void)key; }
  virtual void FormKeyPress(char key) { (void)key; }
  // A message the framework does not handle itself, such as a private one.
  virtual bool FormMessage(const platform::Message& message) { (void)message; return false; }
  virtual void ControlClicked(Control& control) { (void)control; }

  template <typename C, typename... Args>
  C& AddControl(Args&&... args) {
    auto control = std::make_unique<C>(*this, std::forward<Args>(args)...);
    C& added = *control;
    controls_.push_back(std::move(control));
    return added;
  }

 private:
  bool HandleMessage(const platform::Message& message, std::intptr_t& result) override;
  bool Dispatch(const platform::Message& message, std::intptr_t& result);
  void CreateHandle();
  platform::WindowHandle CreateNativeWindow(const WindowCreationParams& params);
  void FinishNativeWindow();
  void DestroyHandle();
  void NativeWindowGone();
  void ApplyAlpha();
  void MoveNativeWindow();
  void PlaceOnFirstShow();
  void ChooseDpi();
  // The form has come onto a monitor of `dpi`; the desktop suggests these bounds.
  void FollowDpi(std::int32_t dpi, const platform::Rect& suggested);
  platform::Rect ScaledClient() const;

  Application& app_;
  const FormDesign& design_;
  std::int32_t clientHeight_;
  std::int32_t dpi_ = platform::kDesignDpi;
  platform::WindowHandle handle_ = platform::kNoWindow;
  platform::Rect bounds_;
  bool isChild_ = false;
  bool visible_ = false;
  bool placed_ = false;
  bool creating_ = false;
  std::uint8_t alpha_;
  BorderStyle border_;
  platform::ColorRef color_;
  Canvas canvas_;
  std::unique_ptr<platform::Bitmap> content_;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace orvanel::forms
