// The saver's own windows: the table of them, their places, sizes, opacity
// and stacking order (the top-most band first), and the dialog among them.
#include "platform/gtk/gtk_desktop.h"

#include <algorithm>

#include "platform/window_styles.h"

namespace orvanel::platform::gtk {

NativeWindow* GtkDesktop::Find(WindowHandle handle) {
  const auto it = windows_.find(handle);
  return it == windows_.end() ? nullptr : &it->second;
}

bool GtkDesktop::Composed(const NativeWindow& window) const {
  return window.Screen() != nullptr && (window.style & kStyleChild) == 0;
}

WindowHandle GtkDesktop::CreateNativeWindow(const WindowRequest& request) {
  const bool child = (request.style & kStyleChild) != 0;
  const WindowHandle handle = nextHandle_;
  std::unique_ptr<ForeignChild> foreign;
  if (child && !IsOwn(request.parent)) {
    // Inside another program's window (the preview). Its end there ends it
    // here, outside the toolkit's event handling.
    foreign = system_->ChildOf(request.parent, request.bounds, [this, handle] { lost_.push_back(handle); });
    if (!foreign) return kNoWindow;
  }
  nextHandle_ += 2;
  NativeWindow& window = windows_[handle];
  window.handle = handle;
  window.caption = request.caption;
  window.style = request.style;
  window.exStyle = request.exStyle;
  window.bounds = request.bounds;
  window.parent = request.parent;
  window.procedure = request.procedure;
  // A window with a caption is an ordinary window of the desktop (the
  // settings dialog); the full-screen windows have none.
  if (foreign) {
    window.kind = ForeignChildWindow{std::move(foreign)};
  } else if ((request.style & kStyleCaption) == kStyleCaption) {
    window.kind = DialogWindow{};
  }
  window.pixels = std::make_unique<SurfaceBitmap>(std::max(1, request.bounds.Width()),
                                                  std::max(1, request.bounds.Height()), false);
  if (!child) {
    stack_.Add(handle);
  }
  if ((request.style & kStyleVisible) != 0) ShowWindow(handle, true);
  return handle;
}

void GtkDesktop::DestroyNativeWindow(WindowHandle handle) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  // The window hears of its end first, while its controls still hold what
  // they show, then the controls go, as on Windows.
  if (window->procedure != nullptr) {
    std::intptr_t result = 0;
    window->procedure->HandleMessage(Message{handle, kMsgDestroy, 0, 0, Now(), cursor_}, result);
  }
  window = Find(handle);
  if (window == nullptr) return;
  for (const auto control : std::vector<WindowHandle>(window->controls)) DestroyNativeWindow(control);
  window = Find(handle);
  if (window == nullptr) return;
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->first.first == handle) {
      g_source_remove(it->second.source);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
  if (window->Control() != nullptr) {
    if (NativeWindow* parent = Find(window->parent)) std::erase(parent->controls, handle);
  }
  stack_.Remove(handle);
  if (active_ == handle) active_ = kNoWindow;
  windows_.erase(handle);
  Refresh();
}

bool GtkDesktop::IsWindow(WindowHandle handle) {
  return IsOwn(handle) || (handle != kNoWindow && system_->ForeignWindowRect(handle).has_value());
}

WindowHandle GtkDesktop::DesktopWindow() { return system_->DesktopWindow(); }

WindowHandle GtkDesktop::FindTopLevelWindow(const std::string& title) {
  for (const auto handle : stack_.TopFirst()) {
    if (windows_.at(handle).caption == title) return handle;
  }
  return system_->FindForeignWindow(title);
}

Rect GtkDesktop::WindowRect(WindowHandle handle) {
  if (const NativeWindow* window = Find(handle)) {
    if ((window->style & kStyleChild) == 0) return window->bounds;
    // A child or a control: its parent's place on the screen plus its own.
    const Rect parent = WindowRect(window->parent);
    return Rect::FromBounds(parent.left + window->bounds.left, parent.top + window->bounds.top,
                            window->bounds.Width(), window->bounds.Height());
  }
  if (handle == kNoWindow) return Rect{};
  return system_->ForeignWindowRect(handle).value_or(Rect{});
}

Rect GtkDesktop::ClientRect(WindowHandle handle) {
  const Rect outer = WindowRect(handle);
  return Rect{0, 0, outer.Width(), outer.Height()};
}

// The window manager puts its frame around a dialog outside the saver's
// reckoning: a client area of a size is a window of that size.
Rect GtkDesktop::WindowRectForClient(const Rect& client, std::uint32_t, std::uint32_t) { return client; }

void GtkDesktop::SetWindowPos(WindowHandle handle, WindowHandle insertAfter, const Rect& bounds,
                              std::uint32_t flags) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  Rect next = window->bounds;
  if ((flags & kPosNoMove) == 0) next = Rect::FromBounds(bounds.left, bounds.top, next.Width(), next.Height());
  if ((flags & kPosNoSize) == 0) next = Rect::FromBounds(next.left, next.top, bounds.Width(), bounds.Height());
  if (next.Width() != window->bounds.Width() || next.Height() != window->bounds.Height()) {
    // New pixels keep what they can of the old ones, black elsewhere: a new
    // surface is black already, and its memory is not touched until drawn on.
    auto pixels = std::make_unique<SurfaceBitmap>(std::max(1, next.Width()), std::max(1, next.Height()), false);
    if (!window->black) SurfaceContext(pixels->Surface(), nullptr).DrawBitmap(*window->pixels, Point{0, 0});
    window->pixels = std::move(pixels);
    window->sharesContent = false;
    window->paintAsked = false;
  }
  window->bounds = next;
  // The host may be gone already.
  if (ForeignChild* child = window->Foreign(); child != nullptr && !child->Place(next)) lost_.push_back(handle);
  if ((flags & kPosNoZOrder) == 0 && (window->style & kStyleChild) == 0) {
    stack_.BringToTop(handle, insertAfter == kInsertTopmost);
  }
  if (DialogWindow* dialog = window->Dialog(); dialog != nullptr && dialog->window) PlaceDialog(*window);
  if ((flags & kPosShowWindow) != 0) {
    ShowWindow(handle, true);
    if ((flags & kPosNoActivate) != 0 && active_ == handle) active_ = kNoWindow;
  } else if ((flags & kPosHideWindow) != 0) {
    ShowWindow(handle, false);
  }
  Changed(*window);
}

void GtkDesktop::ShowWindow(WindowHandle handle, bool visible) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  window->visible = visible;
  if (ForeignChild* child = window->Foreign(); child != nullptr && !child->SetVisible(visible)) {
    lost_.push_back(handle);
  }
  if (ControlWindow* control = window->Control(); control != nullptr && control->widget) {
    control->widget->set_visible(visible);
  }
  if (DialogWindow* dialog = window->Dialog()) {
    if (visible && !dialog->window) ShowDialog(*window);
    if (dialog->window) dialog->window->set_visible(visible);
  }
  if (visible && window->Control() == nullptr) {
    active_ = handle;
    if (!window->shownOnce) {
      // What a window shows is painted when it first appears.
      window->shownOnce = true;
      Post(Message{handle, kMsgEraseBackground, 0, 0, Now(), cursor_});
      Post(Message{handle, kMsgPaint, 0, 0, Now(), cursor_});
    }
  }
  Changed(*window);
}

std::uint32_t GtkDesktop::Style(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window == nullptr ? 0 : window->style | (window->visible ? kStyleVisible : 0);
}

std::uint32_t GtkDesktop::ExStyle(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window == nullptr ? 0 : window->exStyle;
}

void GtkDesktop::SetExStyle(WindowHandle handle, std::uint32_t exStyle) {
  if (NativeWindow* window = Find(handle)) window->exStyle = exStyle;
}

bool GtkDesktop::SetLayeredAlpha(WindowHandle handle, std::uint8_t alpha) {
  NativeWindow* window = Find(handle);
  if (window == nullptr || (window->exStyle & kExStyleLayered) == 0) return false;
  if (window->alpha == alpha) return true;
  window->alpha = alpha;
  if (DialogWindow* dialog = window->Dialog(); dialog != nullptr && dialog->window) {
    dialog->window->set_opacity(alpha / 255.0);
  }
  Refresh(window->bounds);
  return true;
}

void GtkDesktop::EnableWindow(WindowHandle handle, bool enable) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  window->enabled = enable;
  if (ControlWindow* control = window->Control(); control != nullptr && control->widget) {
    control->widget->set_sensitive(enable);
  }
  if (DialogWindow* dialog = window->Dialog(); dialog != nullptr && dialog->window) {
    dialog->window->set_sensitive(enable);
  }
}

void GtkDesktop::FocusWindow(WindowHandle handle) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  if (ControlWindow* control = window->Control(); control != nullptr && control->widget) {
    control->widget->grab_focus();
  } else if (NativeWindow* form = Find(window->parent)) {
    form->focus = handle;
  }
}

bool GtkDesktop::IsWindowEnabled(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window == nullptr || window->enabled;
}

ColorRef GtkDesktop::SystemColor(int) { return kWhite; }

}  // namespace orvanel::platform::gtk
