#include "platform/forms/form.h"

#include <algorithm>
#include <cassert>

#include "platform/forms/application.h"
#include "platform/forms/error.h"
#include "platform/forms/monitors.h"
#include "platform/window_styles.h"

namespace orvanel::forms {

using platform::kNoWindow;
using platform::Message;
using platform::Rect;

Form::Form(Application& app, const FormDesign& design)
    : app_(app),
      design_(design),
      clientHeight_(design.clientHeight),
      alpha_(design.alphaBlendValue),
      border_(design.border),
      color_(design.color),
      canvas_(*this) {}

Form::~Form() { DestroyHandle(); }

platform::Desktop& Form::Desktop() const { return app_.Desktop(); }

void Form::Create() {
  ChooseDpi();
  const Rect client = ScaledClient();
  // The frame of the design's border; the form's own CreateParams runs only
  // when the native window is made.
  WindowCreationParams frame;
  Form::CreateParams(frame);
  const Rect outer = Desktop().WindowRectForClient(client, frame.style, frame.exStyle);
  bounds_ = Rect::FromBounds(0, 0, outer.Width(), outer.Height());
  CreateHandle();
  try {
    FormCreate();
  } catch (const std::exception& error) {
    app_.ShowException(error);
  }
}

void Form::CreateParams(WindowCreationParams& params) {
  params.caption = "";
  params.style = platform::kStylePopup | platform::kStyleClipChildren;
  params.exStyle = 0;
  if (border_ == BorderStyle::kDialog) {
    params.style |= platform::kStyleCaption;
    params.exStyle |= platform::kExStyleDialogModalFrame;
  }
  if (design_.alphaBlend) params.exStyle |= platform::kExStyleLayered;
  params.bounds = bounds_;
  params.parent = app_.Window();
}

platform::WindowHandle Form::Handle() {
  if (handle_ == kNoWindow) CreateHandle();
  return handle_;
}

void Form::CreateHandle() {
  WindowCreationParams params;
  CreateParams(params);
  handle_ = CreateNativeWindow(params);
  if (handle_ == kNoWindow && (params.style & platform::kStyleChild) != 0 &&
      !Desktop().IsWindow(params.parent)) {
    // The parent went away between the parameters and the window: ask for
    // the parameters again, which now see that it is gone.
    params = WindowCreationParams{};
    CreateParams(params);
    handle_ = CreateNativeWindow(params);
  }
  if (handle_ == kNoWindow) throw SaverError("Error creating window");
  FinishNativeWindow();
}

platform::WindowHandle Form::CreateNativeWindow(const WindowCreationParams& params) {
  isChild_ = (params.style & platform::kStyleChild) != 0;
  bounds_ = params.bounds;

  platform::WindowRequest request;
  request.className = design_.className;
  request.caption = params.caption;
  request.style = params.style;
  request.exStyle = params.exStyle;
  request.bounds = params.bounds;
  request.parent = params.parent;
  request.procedure = this;
  // Messages sent while the window is being made already name it.
  creating_ = true;
  const auto window = Desktop().CreateNativeWindow(request);
  creating_ = false;
  return window;
}

void Form::FinishNativeWindow() {
  if (design_.topmost && !isChild_) {
    Desktop().SetWindowPos(handle_, platform::kInsertTopmost, Rect{},
                           platform::kPosNoMove | platform::kPosNoSize | platform::kPosNoActivate);
  }
  ApplyAlpha();
  for (auto& control : controls_) control->CreateNative(handle_);
  if (visible_) Desktop().ShowWindow(handle_, true);
}

void Form::DestroyHandle() {
  if (handle_ == kNoWindow) return;
  const auto window = handle_;
  Desktop().DestroyNativeWindow(window);
  // The desktop reports the destruction through kMsgDestroy; make sure the
  // handle is forgotten even where it does not.
  NativeWindowGone();
}

void Form::NativeWindowGone() {
  if (handle_ == kNoWindow) return;
  for (auto& control : controls_) control->ForgetNative();
  handle_ = kNoWindow;
}

void Form::RecreateWnd() {
  if (handle_ == kNoWindow) return;
  DestroyHandle();
  CreateHandle();
}

void Form::ApplyAlpha() {
  if (!design_.alphaBlend || handle_ == kNoWindow) return;
  auto& desktop = Desktop();
  // A desktop without layered child windows makes a hosted window opaque
  // rather than refuse it: the child must exist to receive the slideshow's
  // messages.
  if (isChild_ && (desktop.ExStyle(handle_) & platform::kExStyleLayered) == 0) return;
  const auto exStyle = desktop.ExStyle(handle_);
  if ((exStyle & platform::kExStyleLayered) == 0) {
    desktop.SetExStyle(handle_, exStyle | platform::kExStyleLayered);
  }
  desktop.SetLayeredAlpha(handle_, alpha_);
}

void Form::SetAlphaBlendValue(std::uint8_t alpha) {
  if (alpha == alpha_) return;
  alpha_ = alpha;
  ApplyAlpha();
}

void Form::SetBorderStyle(BorderStyle border) {
  if (border == border_) return;
  border_ = border;
  ChooseDpi();
  // Keep the client area as designed; the frame grows around it.
  WindowCreationParams params;
  Form::CreateParams(params);
  const Rect client = ScaledClient();
  const Rect outer = Desktop().WindowRectForClient(client, params.style, params.exStyle);
  bounds_ = Rect::FromBounds(bounds_.left, bounds_.top, outer.Width(), outer.Height());
  RecreateWnd();
}

void Form::SetClientHeight(std::int32_t height) {
  clientHeight_ = height;
  WindowCreationParams params;
  Form::CreateParams(params);
  const Rect outer = Desktop().WindowRectForClient(ScaledClient(), params.style, params.exStyle);
  SetBounds(bounds_.left, bounds_.top, outer.Width(), outer.Height());
}

void Form::MoveNativeWindow() {
  if (handle_ == kNoWindow) return;
  Desktop().SetWindowPos(handle_, platform::kInsertTop, bounds_,
                         platform::kPosNoZOrder | platform::kPosNoActivate);
}

void Form::SetLeft(std::int32_t left) { SetBounds(left, bounds_.top, Width(), Height()); }

void Form::SetTop(std::int32_t top) { SetBounds(bounds_.left, top, Width(), Height()); }

void Form::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                     std::int32_t height) {
  const Rect next = Rect::FromBounds(left, top, width, height);
  if (next == bounds_) return;
  bounds_ = next;
  MoveNativeWindow();
}

platform::Bitmap* Form::Content() {
  const Rect client = ClientRect();
  if (client.Width() <= 0 || client.Height() <= 0) return nullptr;
  if (content_ && content_->Width() == client.Width() && content_->Height() == client.Height()) {
    return content_.get();
  }
  content_ = Desktop().CreateBitmap(client.Width(), client.Height());
  if (content_) {
    auto context = Desktop().BitmapContext(*content_);
    context->FillRect(client, color_);
  }
  return content_.get();
}

Rect Form::ClientRect() {
  if (handle_ != kNoWindow) return Desktop().ClientRect(handle_);
  return ScaledClient();
}

void Form::ChooseDpi() {
  if (border_ != BorderStyle::kDialog) {
    dpi_ = platform::kDesignDpi;
    return;
  }
  // A dialog opens on the primary monitor, whose top-left corner is (0, 0).
  auto& desktop = Desktop();
  dpi_ = std::max(1, desktop.MonitorDpi(Rect{0, 0, desktop.Metric(platform::SystemMetric::kPrimaryWidth),
                                               desktop.Metric(platform::SystemMetric::kPrimaryHeight)}));
}

void Form::FollowDpi(std::int32_t dpi, const Rect& suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  // The desktop's suggestion keeps the frame right for the new monitor,
  // and moving there cannot start another change of DPI.
  bounds_ = suggested;
  MoveNativeWindow();
  // Laid out again in place, so that what the user typed and the focus stay.
  for (auto& control : controls_) control->LayOutNative();
}

std::int32_t Form::Scaled(std::int32_t designed) const {
  const std::int64_t product = static_cast<std::int64_t>(designed) * dpi_;
  const std::int64_t half = platform::kDesignDpi / 2;
  return static_cast<std::int32_t>(product >= 0 ? (product + half) / platform::kDesignDpi
                                                : -((-product + half) / platform::kDesignDpi));
}

Rect Form::Scaled(const Rect& designed) const {
  return Rect{Scaled(designed.left), Scaled(designed.top), Scaled(designed.right), Scaled(designed.bottom)};
}

Rect Form::ScaledClient() const { return Rect{0, 0, Scaled(design_.clientWidth), Scaled(clientHeight_)}; }

void Form::PlaceWindow(platform::WindowHandle insertAfter, std::uint32_t flags) {
  Desktop().SetWindowPos(Handle(), insertAfter, bounds_, flags);
  if ((flags & platform::kPosShowWindow) != 0) {
    visible_ = true;
    placed_ = true;
  }
}

void Form::SetVisible(bool visible) {
  if (!visible) {
    // Hidden whichever way it was shown.
    visible_ = false;
    if (handle_ != kNoWindow) Desktop().ShowWindow(handle_, false);
    return;
  }
  if (visible_) return;
  visible_ = true;
  Handle();
  if (!placed_) {
    placed_ = true;
    PlaceOnFirstShow();
  }
  Desktop().ShowWindow(handle_, true);
}

void Form::PlaceOnFirstShow() {
  if (design_.placement != Placement::kScreenCenter) return;
  auto& desktop = Desktop();
  const auto screenWidth = desktop.Metric(platform::SystemMetric::kPrimaryWidth);
  const auto screenHeight = desktop.Metric(platform::SystemMetric::kPrimaryHeight);
  SetBounds(std::max(0, (screenWidth - Width()) / 2), std::max(0, (screenHeight - Height()) / 2),
            Width(), Height());
  if (app_.MainForm() == nullptr) return;
  const auto monitors = desktop.MonitorRects();
  if (monitors.empty() || MonitorIndexOf(monitors, desktop.WindowRect(Handle())) == 0) return;
  const Rect& first = monitors.front();
  // Coming onto a monitor of another DPI resizes a dialog: centre it again
  // at its new size.
  for (int pass = 0; pass < 2; ++pass) {
    SetBounds(first.left + (first.Width() - Width()) / 2, first.top + (first.Height() - Height()) / 2,
              Width(), Height());
  }
}

void Form::Close() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) return;
  if (app_.IsMainForm(this)) {
    app_.Terminate();
  } else {
    Hide();
  }
}

void Form::Post(std::uint32_t message) { Desktop().PostToWindow(Handle(), message, 0, 0); }

bool Form::HandleMessage(const Message& message, std::intptr_t& result) {
  if (creating_ && handle_ == kNoWindow) handle_ = message.window;
  try {
    return Dispatch(message, result);
  } catch (const std::exception& error) {
    app_.ShowException(error);
    result = 0;
    return true;
  }
}

bool Form::Dispatch(const Message& message, std::intptr_t& result) {
  using namespace platform;
  result = 0;
  switch (message.id) {
    case kMsgClose:
      Close();
      return true;
    case kMsgDestroy:
      NativeWindowGone();
      return false;
    case kMsgEraseBackground:
      // Kept content covers the whole client area when it is painted.
      if (!content_) Desktop().EraseBackground(message, color_);
      result = 1;
      return true;
    case kMsgPaint:
      if (!content_) return false;
      Desktop().PaintFrom(message, *content_);
      return true;
    case kMsgKeyDown:
    case kMsgSysKeyDown:
      FormKeyDown(static_cast<std::uint16_t>(message.wParam));
      return false;
    case kMsgChar:
      FormKeyPress(static_cast<char>(message.wParam));
      return false;
    case kMsgMouseMove: {
      const Point at = UnpackPoint(message.lParam);
      FormMouseMove(at.x, at.y);
      return false;
    }
    case kMsgLButtonDown:
    case kMsgRButtonDown:
    case kMsgMButtonDown: {
      const Point at = UnpackPoint(message.lParam);
      const MouseButton button = message.id == kMsgLButtonDown   ? MouseButton::kLeft
                                 : message.id == kMsgRButtonDown ? MouseButton::kRight
                                                                 : MouseButton::kMiddle;
      FormMouseDown(button, at.x, at.y);
      return false;
    }
    case kMsgDpiChanged:
      // Only a dialog follows the DPI; the saver's other windows keep the
      // design's pixels wherever they are.
      if (border_ == BorderStyle::kDialog && message.lParam != 0) {
        FollowDpi(static_cast<std::int32_t>(message.wParam & 0xFFFF), *reinterpret_cast<const Rect*>(message.lParam));
      }
      return true;
    case kMsgCommand: {
      const auto control = static_cast<WindowHandle>(message.lParam);
      if (((message.wParam >> 16) & 0xFFFF) != kNotifyClicked || control == kNoWindow) return false;
      for (auto& candidate : controls_) {
        if (candidate->Handle() == control) {
          ControlClicked(*candidate);
          return true;
        }
      }
      return false;
    }
    default:
      return FormMessage(message);
  }
}

}  // namespace orvanel::forms
