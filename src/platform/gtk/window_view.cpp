// One of the saver's full-screen windows as a window of its own, for a
// display whose compositing manager shows windows at their opacity.
#include "platform/gtk/window_view.h"

#include <algorithm>

#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/output_input.h"
#include "platform/window_styles.h"

namespace orvanel::platform::gtk {

WindowView::WindowView(GtkDesktop& desktop, WindowHandle handle)
    : desktop_(desktop), handle_(handle), window_(Gtk::WINDOW_POPUP) {
  window_.set_app_paintable(true);
  window_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cairo) {
    if (cairo_surface_t* pixels = desktop_.PixelsOf(handle_)) {
      cairo->set_operator(Cairo::OPERATOR_SOURCE);
      cairo_set_source_surface(cairo->cobj(), pixels, 0, 0);
      cairo->paint();
    }
    return true;
  });
  ConnectInput(desktop_, window_, std::nullopt);
  window_.signal_realize().connect([this] { window_.get_window()->set_opacity(alpha_ / 255.0); });
  window_.signal_map_event().connect([this](GdkEventAny*) {
    TakeCaptureIfShown();
    return false;
  });
}

void WindowView::TakeCaptureIfShown() {
  auto gdkWindow = window_.get_window();
  if (gdkWindow && window_.get_mapped() && desktop_.CaptureGoesTo(handle_)) {
    grabbed_ = desktop_.GrabInput(gdkWindow->gobj());
  }
}

WindowView::~WindowView() {
  if (grabbed_) desktop_.UngrabInput();
}

void WindowView::Update(const NativeWindow& window, bool cursorHidden) {
  const Rect& b = window.bounds;
  int x = 0;
  int y = 0;
  window_.get_position(x, y);
  if (x != b.left || y != b.top) window_.move(b.left, b.top);
  int width = 0;
  int height = 0;
  window_.get_size(width, height);
  if (width != b.Width() || height != b.Height()) {
    window_.set_default_size(b.Width(), b.Height());
    window_.resize(std::max(1, b.Width()), std::max(1, b.Height()));
  }
  const std::uint8_t alpha = (window.exStyle & kExStyleLayered) != 0 ? window.alpha : 255;
  // On the window itself: the widget's opacity would also have the toolkit
  // paint the whole window again at every fade step.
  if (alpha != alpha_) {
    alpha_ = alpha;
    if (auto gdkWindow = window_.get_window()) gdkWindow->set_opacity(alpha_ / 255.0);
  }
  // A window at opacity 0 shows nothing and takes nothing: it stays unmapped
  // (the preview's overlay stays so for its whole life).
  const bool shown = window.visible && alpha > 0;
  if (shown != window_.get_visible()) window_.set_visible(shown);
  ApplyCursor(window_, cursorHidden, cursorHidden_);
}

void WindowView::Raise() {
  if (auto gdkWindow = window_.get_window()) gdkWindow->raise();
}

}  // namespace orvanel::platform::gtk
