#include "platform/gtk/gtk_desktop.h"

#include <gdk/gdkx.h>
#include <X11/Xlib-xcb.h>
#include <cairo-xlib.h>
#include <glib-unix.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <ctime>

#include "platform/gtk/screen_output.h"
#include "platform/window_styles.h"

namespace orvanel::platform::gtk {
namespace {

// Handles of the saver's own windows lie above every X window id, whose top
// three bits are always clear.
constexpr WindowHandle kFirstOwnHandle = 0x60000000;

// An X window id as the core keeps a handle.
WindowHandle HandleOf(unsigned long xid) { return static_cast<WindowHandle>(xid); }

// Calls on other programs' windows may find them gone; such an error is
// expected and must not end the program.
class XErrorTrap {
 public:
  XErrorTrap() { gdk_x11_display_error_trap_push(gdk_display_get_default()); }
  ~XErrorTrap() {
    if (!popped_) gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  }
  // True when no error happened inside the trap.
  bool Clean() {
    popped_ = true;
    return gdk_x11_display_error_trap_pop(gdk_display_get_default()) == 0;
  }
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

 private:
  bool popped_ = false;
};

struct ForeignGeometry {
  Rect screen;  // the window on the screen
  Visual* visual = nullptr;
};

std::optional<ForeignGeometry> GeometryOf(Display* display, WindowHandle handle) {
  // The X server hands a gone client's ids out again: an id of this
  // program's own connection is never another program's window.
  const xcb_setup_t* setup = xcb_get_setup(XGetXCBConnection(display));
  const auto id = static_cast<std::uint32_t>(handle);
  if ((id & ~setup->resource_id_mask) == setup->resource_id_base) return std::nullopt;
  XErrorTrap trap;
  XWindowAttributes attributes{};
  ::Window child = 0;
  int x = 0;
  int y = 0;
  const auto window = static_cast<::Window>(static_cast<std::uint32_t>(handle));
  if (XGetWindowAttributes(display, window, &attributes) == 0) return std::nullopt;
  XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
  if (!trap.Clean()) return std::nullopt;
  return ForeignGeometry{Rect::FromBounds(x, y, attributes.width, attributes.height), attributes.visual};
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The program's name alone: a command line with no mode.
std::string SplitFirstWord(const std::string& line) {
  if (!line.empty() && line.front() == '"') return line.substr(0, line.find('"', 1) + 1);
  return line.substr(0, line.find(' '));
}

struct TimerSource {
  GtkDesktop* desktop;
  WindowHandle window;
  std::uintptr_t id;
};

}  // namespace

GtkDesktop::GtkDesktop(HackArguments arguments, std::string moduleFileName)
    : arguments_(std::move(arguments)),
      moduleFileName_(std::move(moduleFileName)),
      xDisplay_(gdk_x11_display_get_xdisplay(gdk_display_get_default())),
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
  for (auto& [key, timer] : timers_) g_source_remove(timer.source);
  g_source_remove(terminateSource_);
  g_source_remove(interruptSource_);
  for (auto& [handle, mutex] : mutexes_) close(mutex.fd);
  for (auto& [handle, window] : windows_) {
    if (window.inputOnly != nullptr) gdk_window_destroy(window.inputOnly);
  }
}

void GtkDesktop::SetUpOutputs() {
  switch (arguments_.host) {
    case ScreenHost::kMonitors: {
      GdkDisplay* display = gdk_display_get_default();
      for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
        GdkRectangle g;
        gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &g);
        monitors_.push_back(Rect::FromBounds(g.x, g.y, g.width, g.height));
      }
      // A compositing manager shows each window at its own opacity over the
      // live desktop; without one the saver composes each monitor itself.
      composited_ = gdk_screen_is_composited(gdk_screen_get_default()) != FALSE;
      if (!composited_) {
        for (const Rect& monitor : monitors_) outputs_.push_back(ScreenOutput::OverMonitor(*this, monitor));
      }
      break;
    }
    case ScreenHost::kOwnWindow: {
      const Rect area{0, 0, 1024, 768};
      ownHost_ = std::make_unique<Gtk::Window>();
      ownHost_->set_title("Orvanel Screensaver");
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
      if (auto output = ScreenOutput::OnForeignWindow(*this, arguments_.window)) {
        outputs_.push_back(std::move(output));
      } else {
        // No such window: nothing to show, and the core ends at once on a
        // command line without a mode.
        std::fprintf(stderr, "orvanel: no window 0x%x to draw in\n", arguments_.window);
        arguments_.commandLine = SplitFirstWord(arguments_.commandLine);
      }
      break;
  }
  if (arguments_.host != ScreenHost::kMonitors) {
    for (const auto& output : outputs_) monitors_.push_back(output->Area());
  }
}

// --- Process and monitors -------------------------------------------------------

std::string GtkDesktop::CommandLine() { return arguments_.commandLine; }

std::string GtkDesktop::ModuleFileName() { return moduleFileName_.substr(0, 261); }

std::vector<Rect> GtkDesktop::MonitorRects() { return monitors_; }

std::int32_t GtkDesktop::Metric(SystemMetric which) {
  if (which == SystemMetric::kMonitorCount) return static_cast<std::int32_t>(monitors_.size());
  Rect primary;
  if (arguments_.host == ScreenHost::kMonitors) {
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

// --- Windows ------------------------------------------------------------------------

NativeWindow* GtkDesktop::Find(WindowHandle handle) {
  const auto it = windows_.find(handle);
  return it == windows_.end() ? nullptr : &it->second;
}

// A window with a caption is an ordinary window of the desktop (the settings
// dialog); the full-screen windows have none.
bool GtkDesktop::IsDialog(const NativeWindow& window) {
  return !window.control && (window.style & kStyleCaption) == kStyleCaption;
}

bool GtkDesktop::Composed(const NativeWindow& window) const {
  return !window.control && window.inputOnly == nullptr && !IsDialog(window) &&
         (window.style & kStyleChild) == 0;
}

WindowHandle GtkDesktop::CreateNativeWindow(const WindowSpec& request) {
  const bool child = (request.style & kStyleChild) != 0;
  GdkWindow* inputOnly = nullptr;
  if (child && !IsOwn(request.parent)) {
    // Inside another program's window (the preview): the saver draws on that
    // window; its own child only has to exist there.
    if (!GeometryOf(xDisplay_, request.parent)) return kNoWindow;
    XErrorTrap trap;
    GdkWindow* parent = gdk_x11_window_foreign_new_for_display(
        gdk_display_get_default(), static_cast<::Window>(static_cast<std::uint32_t>(request.parent)));
    if (parent == nullptr) return kNoWindow;
    GdkWindowAttr attributes{};
    attributes.window_type = GDK_WINDOW_CHILD;
    attributes.wclass = GDK_INPUT_ONLY;
    attributes.x = request.bounds.left;
    attributes.y = request.bounds.top;
    attributes.width = std::max(1, request.bounds.Width());
    attributes.height = std::max(1, request.bounds.Height());
    inputOnly = gdk_window_new(parent, &attributes, GDK_WA_X | GDK_WA_Y);
    g_object_unref(parent);
    // The host's end is this window's end: X destroys it with the host.
    if (inputOnly != nullptr) gdk_window_set_events(inputOnly, GDK_STRUCTURE_MASK);
    if (!trap.Clean() || inputOnly == nullptr) {
      if (inputOnly != nullptr) gdk_window_destroy(inputOnly);
      return kNoWindow;
    }
  }
  const WindowHandle handle = nextHandle_;
  nextHandle_ += 2;
  NativeWindow& window = windows_[handle];
  window.handle = handle;
  window.caption = request.caption;
  window.style = request.style;
  window.exStyle = request.exStyle;
  window.bounds = request.bounds;
  window.parent = request.parent;
  window.procedure = request.procedure;
  window.inputOnly = inputOnly;
  if (inputOnly != nullptr) gdk_window_add_filter(inputOnly, &GtkDesktop::OnChildEvent, this);
  window.pixels = std::make_unique<SurfaceBitmap>(std::max(1, request.bounds.Width()),
                                                  std::max(1, request.bounds.Height()), false);
  if (!child) {
    stacking_.insert(stacking_.begin() + static_cast<std::ptrdiff_t>(topmost_.size()), handle);
    restack_ = true;
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
  if (window->control) {
    if (NativeWindow* parent = Find(window->parent)) std::erase(parent->controls, handle);
  }
  if (window->inputOnly != nullptr) {
    XErrorTrap trap;  // destroyed with its host, perhaps
    gdk_window_remove_filter(window->inputOnly, &GtkDesktop::OnChildEvent, this);
    gdk_window_destroy(window->inputOnly);
  }
  std::erase(stacking_, handle);
  topmost_.erase(handle);
  if (active_ == handle) active_ = kNoWindow;
  windows_.erase(handle);
  Refresh();
}

bool GtkDesktop::IsWindow(WindowHandle handle) {
  return IsOwn(handle) || (handle != kNoWindow && GeometryOf(xDisplay_, handle).has_value());
}

WindowHandle GtkDesktop::DesktopWindow() { return HandleOf(DefaultRootWindow(xDisplay_)); }

Rect GtkDesktop::WindowRect(WindowHandle handle) {
  if (const NativeWindow* window = Find(handle)) {
    if ((window->style & kStyleChild) == 0) return window->bounds;
    // A child or a control: its parent's place on the screen plus its own.
    const Rect parent = WindowRect(window->parent);
    return Rect::FromBounds(parent.left + window->bounds.left, parent.top + window->bounds.top,
                            window->bounds.Width(), window->bounds.Height());
  }
  if (handle == kNoWindow) return Rect{};
  const auto foreign = GeometryOf(xDisplay_, handle);
  return foreign ? foreign->screen : Rect{};
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
    // New pixels keep what they can of the old ones, black elsewhere.
    auto pixels = std::make_unique<SurfaceBitmap>(std::max(1, next.Width()), std::max(1, next.Height()), false);
    SurfaceContext copy(pixels->Surface(), nullptr);
    copy.FillRect(Rect{0, 0, next.Width(), next.Height()}, kBlack);
    copy.DrawBitmap(*window->pixels, Point{0, 0});
    window->pixels = std::move(pixels);
  }
  window->bounds = next;
  if (window->inputOnly != nullptr) {
    XErrorTrap trap;  // the host may be gone already
    gdk_window_move_resize(window->inputOnly, next.left, next.top, std::max(1, next.Width()),
                           std::max(1, next.Height()));
    if (!trap.Clean()) lost_.push_back(handle);
  }
  if ((flags & kPosNoZOrder) == 0 && (window->style & kStyleChild) == 0) {
    std::erase(stacking_, handle);
    if (insertAfter == kInsertTopmost) topmost_.insert(handle);
    const auto band = topmost_.count(handle) != 0 ? 0 : topmost_.size();
    stacking_.insert(stacking_.begin() + static_cast<std::ptrdiff_t>(band), handle);
    restack_ = true;
  }
  if (window->dialog) PlaceDialog(*window);
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
  if (window->inputOnly != nullptr) {
    XErrorTrap trap;  // the host may be gone already
    visible ? gdk_window_show(window->inputOnly) : gdk_window_hide(window->inputOnly);
    if (!trap.Clean()) lost_.push_back(handle);
  }
  if (window->control && window->widget) window->widget->set_visible(visible);
  if (visible && IsDialog(*window) && !window->dialog) ShowDialog(*window);
  if (!window->control && window->dialog) window->dialog->set_visible(visible);
  if (visible && !window->control) {
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
  if (window->dialog) window->dialog->set_opacity(alpha / 255.0);
  Refresh(window->bounds);
  return true;
}

WindowHandle GtkDesktop::FindTopLevelWindow(const std::string& title) {
  for (const auto handle : stacking_) {
    if (windows_.at(handle).caption == title) return handle;
  }
  // Other programs' windows, by the name they gave the window manager.
  XErrorTrap trap;
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  WindowHandle found = kNoWindow;
  if (XQueryTree(xDisplay_, DefaultRootWindow(xDisplay_), &root, &parent, &children, &count) != 0) {
    for (unsigned i = 0; i < count && found == kNoWindow; ++i) {
      char* name = nullptr;
      if (XFetchName(xDisplay_, children[i], &name) != 0 && name != nullptr) {
        if (title == name) found = HandleOf(children[i]);
        XFree(name);
      }
    }
    if (children != nullptr) XFree(children);
  }
  return found;
}

void GtkDesktop::EnableWindow(WindowHandle handle, bool enable) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  window->enabled = enable;
  if (window->widget) window->widget->set_sensitive(enable);
  if (window->dialog) window->dialog->set_sensitive(enable);
}

void GtkDesktop::FocusWindow(WindowHandle handle) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  if (window->widget) {
    window->widget->grab_focus();
  } else if (NativeWindow* form = Find(window->parent)) {
    form->focus = handle;
  }
}

bool GtkDesktop::IsWindowEnabled(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window == nullptr || window->enabled;
}

ColorRef GtkDesktop::SystemColor(int) { return kWhite; }

// --- Outputs and input ---------------------------------------------------------

void GtkDesktop::Changed(NativeWindow& window) {
  ++window.version;
  if (window.view) window.view->Invalidate();
  Refresh(window.bounds);
}

void GtkDesktop::ReleaseInput() {
  gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
  inputGrabbed_ = false;
}

bool GtkDesktop::CoversAMonitor(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window != nullptr && std::find(monitors_.begin(), monitors_.end(), window->bounds) != monitors_.end();
}

cairo_surface_t* GtkDesktop::PixelsOf(WindowHandle handle) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return nullptr;
  cairo_surface_flush(window->pixels->Surface());
  return window->pixels->Surface();
}

void GtkDesktop::Refresh(const std::optional<Rect>& changed) {
  if (composited_) {
    for (const auto handle : stacking_) {
      NativeWindow& window = windows_.at(handle);
      if (!Composed(window)) continue;
      if (!window.view && window.visible) {
        window.view = std::make_unique<WindowView>(*this, handle);
        restack_ = true;
      }
      if (window.view) window.view->Update(window, cursorCount_ < 0);
    }
    if (restack_) {
      // Bottom first, so that the top one ends up above them all.
      for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
        if (auto& view = windows_.at(*it).view) view->Raise();
      }
      restack_ = false;
    }
    return;
  }
  for (auto& output : outputs_) {
    bool shown = false;
    for (const auto handle : stacking_) {
      const NativeWindow& window = windows_.at(handle);
      // A window at opacity 0 shows nothing: until one shows something the
      // output stays away and the desktop itself is seen.
      const bool opaque = (window.exStyle & kExStyleLayered) == 0 || window.alpha > 0;
      if (window.visible && opaque && Composed(window) && Overlap(window.bounds, output->Area())) {
        shown = true;
        break;
      }
    }
    output->SetShown(shown);
    output->SetCursorHidden(cursorCount_ < 0);
    // A fade step on one monitor recomposes that monitor alone.
    if (!changed || Overlap(*changed, output->Area())) output->Invalidate();
  }
}

std::vector<Layer> GtkDesktop::LayersOver(const Rect& area) {
  std::vector<Layer> layers;
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    NativeWindow& window = windows_.at(*it);
    const std::uint8_t alpha = (window.exStyle & kExStyleLayered) != 0 ? window.alpha : 255;
    if (!window.visible || !Composed(window) || alpha == 0) continue;
    const Rect& b = window.bounds;
    if (!Overlap(b, area)) continue;
    cairo_surface_t* surface = window.pixels->Surface();
    cairo_surface_flush(surface);
    layers.push_back(Layer{cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface),
                           Rect::FromBounds(b.left - area.left, b.top - area.top,
                                            window.pixels->Width(), window.pixels->Height()),
                           alpha, (static_cast<std::uint64_t>(window.handle) << 32) ^ window.version});
  }
  return layers;
}

WindowHandle GtkDesktop::TopWindowAt(Point at) {
  for (const auto handle : stacking_) {
    const NativeWindow& window = windows_.at(handle);
    const Rect& b = window.bounds;
    if (window.visible && Composed(window) && at.x >= b.left && at.x < b.right && at.y >= b.top &&
        at.y < b.bottom) {
      return handle;
    }
  }
  return kNoWindow;
}

void GtkDesktop::PointerMoved(Point screen) {
  cursor_ = screen;
  const WindowHandle target = TopWindowAt(screen);
  if (target == kNoWindow) return;
  const Rect& b = windows_.at(target).bounds;
  Post(Message{target, kMsgMouseMove, 0, PackPoint(screen.x - b.left, screen.y - b.top), Now(), screen});
}

void GtkDesktop::ButtonPressed(Point screen, std::uint32_t message) {
  cursor_ = screen;
  const WindowHandle target = TopWindowAt(screen);
  if (target == kNoWindow) return;
  const Rect& b = windows_.at(target).bounds;
  Post(Message{target, message, 0, PackPoint(screen.x - b.left, screen.y - b.top), Now(), screen});
}

void GtkDesktop::KeyPressed(std::uint16_t virtualKey, char character, bool alt) {
  WindowHandle target = active_;
  const NativeWindow* window = Find(target);
  if (window == nullptr || !window->visible) target = TopWindowAt(cursor_);
  if (target == kNoWindow && !stacking_.empty()) target = stacking_.front();
  if (target == kNoWindow) return;
  Post(Message{target, alt ? kMsgSysKeyDown : kMsgKeyDown, virtualKey,
               static_cast<std::intptr_t>(static_cast<unsigned char>(character)), Now(), cursor_});
}

void GtkDesktop::RequestClose() {
  // Of the windows that show, the one made first is the main form: the
  // application's own window, made before it, never shows.
  for (const auto& [handle, window] : windows_) {
    if (window.visible && !window.control) {
      Post(Message{handle, kMsgClose, 0, 0, Now(), cursor_});
      return;
    }
  }
  PostQuit(0);
}

// --- Drawing ----------------------------------------------------------------------

std::unique_ptr<DrawingContext> GtkDesktop::WindowContext(WindowHandle handle) {
  if (NativeWindow* window = Find(handle)) {
    return std::make_unique<SurfaceContext>(window->pixels->Surface(), [this, handle] {
      if (NativeWindow* drawn = Find(handle)) Changed(*drawn);
    });
  }
  // Another program's window (the preview's host): drawn on directly.

  const auto foreign = GeometryOf(xDisplay_, handle);
  if (!foreign) return nullptr;
  cairo_surface_t* surface =
      cairo_xlib_surface_create(xDisplay_, static_cast<::Window>(static_cast<std::uint32_t>(handle)),
                                foreign->visual, foreign->screen.Width(), foreign->screen.Height());
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  auto context = std::make_unique<SurfaceContext>(surface, [this, surface] {
    cairo_surface_destroy(surface);
    XSync(xDisplay_, False);
    gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  });
  return context;
}

void GtkDesktop::EraseBackground(const Message& erase, ColorRef colour) {
  NativeWindow* window = Find(erase.window);
  if (window == nullptr) return;
  SurfaceContext(window->pixels->Surface(), nullptr)
      .FillRect(Rect{0, 0, window->pixels->Width(), window->pixels->Height()}, colour);
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

std::unique_ptr<DrawingContext> GtkDesktop::BitmapContext(Bitmap& bitmap) {
  return std::make_unique<SurfaceContext>(static_cast<SurfaceBitmap&>(bitmap).Surface(), nullptr);
}

void GtkDesktop::PaintFrom(const Message& paint, const Bitmap& content) {
  NativeWindow* window = Find(paint.window);
  if (window == nullptr) return;
  SurfaceContext(window->pixels->Surface(), nullptr).DrawBitmap(content, Point{0, 0});
  Changed(*window);
}

// --- Cursor -------------------------------------------------------------------------

int GtkDesktop::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  if (arguments_.host != ScreenHost::kForeignWindow) Refresh();
  return cursorCount_;
}

void GtkDesktop::SetCursorPos(Point at) {
  cursor_ = at;
  // A host's window is the host's business: moving the pointer there would
  // count as the user's movement and end the host's saver.
  if (arguments_.host != ScreenHost::kMonitors) return;
  GdkDisplay* display = gdk_display_get_default();
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  gdk_device_warp(pointer, gdk_display_get_default_screen(display), at.x, at.y);
}

// --- Messages and timers ----------------------------------------------------------

std::uint32_t GtkDesktop::Now() const { return static_cast<std::uint32_t>(g_get_monotonic_time() / 1000); }

bool GtkDesktop::PostToWindow(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  if (!IsOwn(window)) return false;
  Post(Message{window, id, wParam, lParam, Now(), cursor_});
  return true;
}

GdkFilterReturn GtkDesktop::OnChildEvent(GdkXEvent* native, GdkEvent*, gpointer self) {
  const auto* event = static_cast<XEvent*>(native);
  if (event->type != DestroyNotify) return GDK_FILTER_CONTINUE;
  auto* desktop = static_cast<GtkDesktop*>(self);
  for (const auto& [handle, window] : desktop->windows_) {
    if (window.inputOnly != nullptr && gdk_x11_window_get_xid(window.inputOnly) == event->xdestroywindow.window) {
      desktop->lost_.push_back(handle);
    }
  }
  return GDK_FILTER_CONTINUE;
}

void GtkDesktop::Pump() {
  // Bounded, so that a stream of events cannot hold the caller.
  for (int i = 0; i < 256 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
  // Windows X destroyed end here now, outside GTK's event handling.
  while (!lost_.empty()) {
    const WindowHandle handle = lost_.back();
    lost_.pop_back();
    DestroyNativeWindow(handle);
  }
}

std::optional<Message> GtkDesktop::TakeMessage() {
  Pump();
  // Posted messages and input first, then the quit message, then timers.
  if (!queue_.empty()) {
    const Message message = queue_.front();
    queue_.pop_front();
    return message;
  }
  if (quitCode_) {
    const int code = *quitCode_;
    quitCode_.reset();
    return Message{kNoWindow, kMsgQuit, static_cast<std::uintptr_t>(code), 0, Now(), cursor_};
  }
  for (auto& [key, timer] : timers_) {
    if (timer.due) {
      timer.due = false;
      return Message{key.first, kMsgTimer, key.second, 0, Now(), cursor_};
    }
  }
  return std::nullopt;
}

void GtkDesktop::TranslateInput(const Message& message) {
  if ((message.id == kMsgKeyDown || message.id == kMsgSysKeyDown) && message.lParam != 0) {
    queue_.push_front(Message{message.window, message.id == kMsgKeyDown ? kMsgChar : kMsgSysChar,
                              static_cast<std::uintptr_t>(message.lParam), 0, message.time,
                              message.cursor});
  }
}

// The dialog's widgets take their keys from GTK itself: Tab, Enter and the
// underlined letters work there without the saver's help.
bool GtkDesktop::HandleDialogKey(WindowHandle, const Message&) { return false; }

void GtkDesktop::DispatchToWindow(const Message& message) {
  NativeWindow* window = Find(message.window);
  if (window == nullptr || window->procedure == nullptr) return;
  std::intptr_t result = 0;
  if (window->procedure->HandleMessage(message, result)) return;
  if (message.id == kMsgClose) DestroyNativeWindow(message.window);
}

void GtkDesktop::PostQuit(int exitCode) { quitCode_ = exitCode; }

bool GtkDesktop::WaitForMessage() {
  const auto waiting = [this] {
    return !queue_.empty() || quitCode_.has_value() ||
           std::any_of(timers_.begin(), timers_.end(), [](const auto& t) { return t.second.due; });
  };
  while (!waiting()) {
    g_main_context_iteration(nullptr, TRUE);
    Pump();
  }
  return true;
}

bool GtkDesktop::StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  if (!IsOwn(window)) return false;
  StopTimer(window, id);
  auto* source = new TimerSource{this, window, id};
  const auto tick = [](gpointer data) -> gboolean {
    const auto* s = static_cast<TimerSource*>(data);
    // Ticks nobody took yet collapse into one, as the desktop's do.
    s->desktop->timers_[{s->window, s->id}].due = true;
    return G_SOURCE_CONTINUE;
  };
  const guint tag = g_timeout_add_full(G_PRIORITY_DEFAULT, std::max<std::uint32_t>(milliseconds, 10), tick,
                                       source, [](gpointer data) { delete static_cast<TimerSource*>(data); });
  timers_[{window, id}] = Timer{tag, false};
  return true;
}

void GtkDesktop::StopTimer(WindowHandle window, std::uintptr_t id) {
  const auto it = timers_.find({window, id});
  if (it == timers_.end()) return;
  g_source_remove(it->second.source);
  timers_.erase(it);
}

}  // namespace orvanel::platform::gtk
