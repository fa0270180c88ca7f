#pragma once
// The saver's windows as the native desktop keeps them: what every window
// has (its place, style, opacity, client pixels and visibility), and what
// belongs to its kind.
#include <gtkmm.h>

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/desktop.h"
#include "platform/gtk/surface_drawing.h"
#include "platform/gtk/window_view.h"
#include "platform/gtk/window_system.h"

namespace orvanel::platform::gtk {

// A window of the saver's own without a caption: a full-screen window the
// outputs compose or, with a compositing manager, a view shows.
struct ScreenWindow {
  std::unique_ptr<WindowView> view;  // with a compositing manager, once shown
};

// A window with a caption (the settings dialog): a GTK window with the
// form's controls as widgets, made when it first shows.
struct DialogWindow {
  std::unique_ptr<Gtk::Window> window;
  Gtk::Fixed* fixed = nullptr;
};

// A control: a widget on its dialog, once the dialog shows.
struct ControlWindow {
  ControlKind kind = ControlKind::kLabel;
  std::unique_ptr<Gtk::Widget> widget;
  WindowHandle buddy = kNoWindow;
  std::int16_t low = 0;
  std::int16_t high = 100;
  std::int16_t position = 0;
  bool checked = false;
  std::vector<std::string> choices;
  std::int32_t chosen = -1;
  std::string fontName;
  std::int32_t fontHeight = 0;
};

// A child of another program's window (a preview's host).
struct ForeignChildWindow {
  std::unique_ptr<ForeignChild> child;
};

struct NativeWindow {
  WindowHandle handle = kNoWindow;
  std::string caption;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect bounds;  // the parent's client coordinates, or the screen's
  WindowHandle parent = kNoWindow;
  WindowProcedure* procedure = nullptr;
  bool visible = false;
  bool shownOnce = false;
  bool enabled = true;
  std::uint8_t alpha = 255;
  std::unique_ptr<SurfaceBitmap> pixels;  // the client area
  bool black = true;  // every pixel black, as a new window's are: erasing to black changes nothing
  // The window's pixels are the kept content its form paints it from: one
  // copy of them, not two. Until then, a paint is asked for once it is drawn on.
  bool sharesContent = false;
  bool paintAsked = false;
  std::uint64_t version = 0;  // moves on with every change of the pixels
  // A form's controls, in the order it made them; widgets only on a dialog.
  std::vector<WindowHandle> controls;
  WindowHandle focus = kNoWindow;  // the control to focus once the dialog shows
  std::variant<ScreenWindow, DialogWindow, ControlWindow, ForeignChildWindow> kind;

  ScreenWindow* Screen() { return std::get_if<ScreenWindow>(&kind); }
  const ScreenWindow* Screen() const { return std::get_if<ScreenWindow>(&kind); }
  DialogWindow* Dialog() { return std::get_if<DialogWindow>(&kind); }
  const DialogWindow* Dialog() const { return std::get_if<DialogWindow>(&kind); }
  ControlWindow* Control() { return std::get_if<ControlWindow>(&kind); }
  const ControlWindow* Control() const { return std::get_if<ControlWindow>(&kind); }
  ForeignChild* Foreign() const {
    const auto* foreign = std::get_if<ForeignChildWindow>(&kind);
    return foreign != nullptr ? foreign->child.get() : nullptr;
  }
};

}  // namespace orvanel::platform::gtk
