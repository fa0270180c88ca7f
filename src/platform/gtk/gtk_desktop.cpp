// The desktop as a whole: its set-up on the display (monitors, or the one
// window a host gave the saver, and what shows them), the process, the
// outputs' view of the windows, drawing and the cursor.
#include "platform/gtk/gtk_desktop.h"

#include <glib-unix.h>

#include <algorithm>
#include <cstdlib>

#include "platform/gtk/screen_output.h"
#include "platform/gtk/window_view.h"
#include "platform/window_styles.h"

namespace orvanel::platform::gtk {
namespace {

// Handles of the saver's own windows lie above every X window id, whose top
// three bits are always clear.
constexpr WindowHandle kFirstOwnHandle = 0x60000000;

}  // namespace

// --- Set-up -------------------------------------------------------------------------

GtkDesktop::GtkDesktop(std::string commandLine, ScreenHost host, std::uint32_t hostWindow,
                       OwnWindowDesign ownWindow, std::string moduleFileName, std::unique_ptr<WindowSystem> system)
    : commandLine_(std::move(commandLine)),
      host_(host),
      hostWindow_(hostWindow),
      ownWindow_(std::move(ownWindow)),
      moduleFileName_(std::move(moduleFileName)),
      system_(std::move(system)),
      nextHandle_(kFirstOwnHandle) {
  SetUpOutputs();
  const auto close = [](gpointer self) -> gboolean {
    static_cast<GtkDesktop*>(self)->RequestClose();
    return G_SOURCE_CONTINUE;
  };
  terminateSource_ = g_unix_signal_add(SIGTERM, close, this);
  interruptSource_ = g_unix_signal_add(SIGINT, close, this);
}

GtkDesktop::~GtkDesktop() {
  // A work thread still decoding reads its own memory alone; the process
  // ends under it rather than tear down what it might yet touch.
  if (*abandonedWork_ > 0) std::_Exit(0);
  if (latePaint_ != 0) g_source_remove(latePaint_);
  for (auto& [key, timer] : timers_) g_source_remove(timer.source);
  g_source_remove(terminateSource_);
  g_source_remove(interruptSource_);
  for (auto& [handle, mutex] : mutexes_) close(mutex.fd);
}

void GtkDesktop::SetUpOutputs() {
  switch (host_) {
    case ScreenHost::kMonitors: {
      GdkDisplay* display = gdk_display_get_default();
      for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
        GdkRectangle g;
        gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &g);
        monitors_.push_back(Rect::FromBounds(g.x, g.y, g.width, g.height));
      }
      // A compositing manager shows each window at its own opacity over the
      // live desktop; without one the saver composes each monitor itself.
      composited_ = system_->ShowsWindowsAtTheirOpacity();
      if (!composited_) {
        for (const Rect& monitor : monitors_) outputs_.push_back(system_->MonitorOutput(*this, monitor));
      }
      break;
    }
    case ScreenHost::kOwnWindow: {
      const Rect area{0, 0, ownWindow_.width, ownWindow_.height};
      ownHost_ = std::make_unique<Gtk::Window>();
      ownHost_->set_title(ownWindow_.title);
      ownHost_->set_resizable(false);
      ownHost_->signal_delete_event().connect([this](GdkEventAny*) {
        RequestClose();
        return true;
      });
      outputs_.push_back(ScreenOutput::InContainer(*this, *ownHost_, area));
      ownHost_->show();
      break;
    }
    case ScreenHost::kForeignWindow:
      // A window that is not there gives no output and no monitor.
      if (auto output = system_->HostWindowOutput(*this, HostWindow())) {
        outputs_.push_back(std::move(output));
      }
      break;
  }
  if (host_ != ScreenHost::kMonitors) {
    for (const auto& output : outputs_) monitors_.push_back(output->Area());
  }
}

// --- Process and monitors -------------------------------------------------------

std::string GtkDesktop::CommandLine() { return commandLine_; }

std::string GtkDesktop::ModuleFileName() { return moduleFileName_.substr(0, 261); }

WindowHandle GtkDesktop::HostWindow() {
  if (host_ != ScreenHost::kForeignWindow) return kNoWindow;
  return hostWindow_ != 0 ? static_cast<WindowHandle>(hostWindow_) : DesktopWindow();
}

std::string GtkDesktop::DisplayName() { return gdk_display_get_name(gdk_display_get_default()); }

std::vector<Rect> GtkDesktop::MonitorRects() { return monitors_; }

// X gives no monitor a scale of its own here: the designs' pixels are the screen's.
std::int32_t GtkDesktop::MonitorDpi(const Rect&) { return kDesignDpi; }

std::int32_t GtkDesktop::Metric(SystemMetric which) {
  if (which == SystemMetric::kMonitorCount) return static_cast<std::int32_t>(monitors_.size());
  Rect primary;
  if (host_ == ScreenHost::kMonitors) {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) {
      monitor = gdk_display_get_monitor(display, 0);
    }
    if (monitor != nullptr) {
      GdkRectangle g;
      gdk_monitor_get_geometry(monitor, &g);
      primary = Rect::FromBounds(g.x, g.y, g.width, g.height);
    }
  } else if (!monitors_.empty()) {
    primary = monitors_.front();
  }
  return which == SystemMetric::kPrimaryWidth ? primary.Width() : primary.Height();
}

// --- Outputs ----------------------------------------------------------------------

void GtkDesktop::Changed(NativeWindow& window) {
  ++window.version;
  if (ScreenWindow* screen = window.Screen(); screen != nullptr && screen->view) screen->view->Invalidate();
  Refresh(window.bounds);
}

cairo_surface_t* GtkDesktop::PixelsOf(WindowHandle handle) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return nullptr;
  cairo_surface_flush(window->pixels->Surface());
  return window->pixels->Surface();
}

void GtkDesktop::Refresh(const std::optional<Rect>& changed) {
  if (composited_) {
    bool restack = stack_.TakeRestack();
    for (const auto handle : stack_.TopFirst()) {
      NativeWindow& window = windows_.at(handle);
      if (!Composed(window)) continue;
      auto& view = window.Screen()->view;
      if (!view && window.visible) {
        view = std::make_unique<WindowView>(*this, handle);
        restack = true;
      }
      if (view) view->Update(window, cursorCount_ < 0);
    }
    if (restack) {
      // Bottom first, so that the top one ends up above them all.
      const auto& order = stack_.TopFirst();
      for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const ScreenWindow* screen = windows_.at(*it).Screen();
        if (screen != nullptr && screen->view) screen->view->Raise();
      }
    }
    return;
  }
  for (auto& output : outputs_) {
    // Until a window shows something over the area, the output stays away
    // and the desktop itself is seen.
    output->SetShown(stack_.ShowsOver(output->Area()));
    output->SetCursorHidden(cursorCount_ < 0);
    // A fade step on one monitor recomposes that monitor alone, and only
    // when its frame would change: the toolkit's painting costs a frame's
    // copies even when the frame comes out the same.
    if ((!changed || changed->Overlaps(output->Area())) && output->Differs()) output->Invalidate();
  }
}

void GtkDesktop::PaintSoon() {
  constexpr guint kLatePaintMs = kFadeStepWaitMs / 2;
  if (latePaint_ != 0) return;
  latePaint_ = g_timeout_add(kLatePaintMs, [](gpointer self) -> gboolean {
    auto* desktop = static_cast<GtkDesktop*>(self);
    desktop->latePaint_ = 0;
    desktop->PaintOutputs();
    return G_SOURCE_REMOVE;
  }, this);
}

void GtkDesktop::PaintOutputs() {
  if (latePaint_ != 0) {
    g_source_remove(latePaint_);
    latePaint_ = 0;
  }
  for (auto& output : outputs_) output->PaintIfDue();
}

compose::StackedWindow GtkDesktop::Stacked(WindowHandle handle) const {
  const NativeWindow& window = windows_.at(handle);
  const std::uint8_t alpha = (window.exStyle & kExStyleLayered) != 0 ? window.alpha : 255;
  return compose::StackedWindow{window.bounds, alpha, window.visible, Composed(window), window.version};
}

std::vector<compose::Layer> GtkDesktop::LayersOver(const Rect& area) {
  return stack_.LayersOver(area, [this](WindowHandle handle) {
    const NativeWindow& window = windows_.at(handle);
    cairo_surface_t* surface = window.pixels->Surface();
    cairo_surface_flush(surface);
    return compose::WindowPixels{cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface),
                                 window.pixels->Width(), window.pixels->Height()};
  });
}

// --- Drawing ----------------------------------------------------------------------

std::unique_ptr<DrawingContext> GtkDesktop::WindowContext(WindowHandle handle) {
  if (NativeWindow* window = Find(handle)) {
    return std::make_unique<SurfaceContext>(window->pixels->Surface(), [this, handle] {
      NativeWindow* drawn = Find(handle);
      if (drawn == nullptr) return;
      drawn->black = false;
      // A form that draws keeps what it drew, and paints the window from it.
      if (!drawn->sharesContent && !drawn->paintAsked) {
        drawn->paintAsked = true;
        Post(Message{handle, kMsgPaint, 0, 0, Now(), cursor_});
      }
      Changed(*drawn);
    });
  }
  // Another program's window (the preview's host): drawn on directly.
  return system_->ForeignWindowContext(handle);
}

void GtkDesktop::EraseBackground(const Message& erase, ColorRef colour) {
  NativeWindow* window = Find(erase.window);
  if (window == nullptr) return;
  const bool toBlack = RedOf(colour) == 0 && GreenOf(colour) == 0 && BlueOf(colour) == 0;
  // A full-screen window is many megabytes, untouched until drawn on.
  if (window->black && toBlack) return;
  SurfaceContext(window->pixels->Surface(), nullptr)
      .FillRect(Rect{0, 0, window->pixels->Width(), window->pixels->Height()}, colour);
  window->black = toBlack;
  Changed(*window);
}

std::unique_ptr<Bitmap> GtkDesktop::CreateBitmap(std::int32_t width, std::int32_t height) {
  auto bitmap = std::make_unique<SurfaceBitmap>(width, height, false);
  if (!bitmap->Valid()) return nullptr;
  return bitmap;
}

std::unique_ptr<Bitmap> GtkDesktop::CreatePictureBitmap(std::int32_t width, std::int32_t height) {
  auto bitmap = std::make_unique<SurfaceBitmap>(width, height, true);
  if (!bitmap->Valid()) return nullptr;
  return bitmap;
}

// Every bitmap here is cairo's 32-bit image, the layout the screen takes.
std::unique_ptr<Bitmap> GtkDesktop::CreatePhotoBitmap(std::int32_t width, std::int32_t height) {
  return CreatePictureBitmap(width, height);
}

std::unique_ptr<DrawingContext> GtkDesktop::BitmapContext(Bitmap& bitmap) {
  return std::make_unique<SurfaceContext>(static_cast<SurfaceBitmap&>(bitmap).Surface(), nullptr);
}

void GtkDesktop::PaintFrom(const Message& paint, const Bitmap& content) {
  NativeWindow* window = Find(paint.window);
  if (window == nullptr) return;
  const auto& kept = static_cast<const SurfaceBitmap&>(content);
  if (kept.Width() == window->pixels->Width() && kept.Height() == window->pixels->Height()) {
    // The kept content covers the window: it becomes the window's pixels.
    window->pixels = SurfaceBitmap::Sharing(kept);
    window->sharesContent = true;
  } else {
    SurfaceContext(window->pixels->Surface(), nullptr).DrawBitmap(content, Point{0, 0});
  }
  window->black = false;
  Changed(*window);
}

// --- Cursor -------------------------------------------------------------------------

int GtkDesktop::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  Refresh();
  return cursorCount_;
}

void GtkDesktop::SetCursorPos(Point at) {
  cursor_ = at;
  GdkDisplay* display = gdk_display_get_default();
  // A compositor may offer no seat, or a seat without a pointer.
  GdkSeat* seat = gdk_display_get_default_seat(display);
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (pointer) gdk_device_warp(pointer, gdk_display_get_default_screen(display), at.x, at.y);
}

}  // namespace orvanel::platform::gtk
