#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cassert>
#include <cctype>
#include <limits>
#include <unistd.h>

#include "platform/sim/sim_process.h"
#include "platform/window_styles.h"

namespace orvanel::platform::sim {
namespace {

std::filesystem::path MakeRoot() {
  static std::atomic<int> counter{0};
  auto root = std::filesystem::temp_directory_path() /
              ("orvanel-sim-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  return root;
}

bool IsTopLevel(const SimWindow& window) { return (window.style & kStyleChild) == 0; }

}  // namespace

SimDesktop::SimDesktop() : root_(MakeRoot()) {
  monitors_ = {Rect{0, 0, 1024, 768}};
  start_ = DateTime{2026, 12, 7, 9, 0, 0, 0};
  SimWindow desktop;
  desktop.className = "#32769";
  desktop.style = kStylePopup | kStyleVisible;
  desktop.visible = true;
  desktop.bounds = monitors_.front();
  desktopWindow_ = nextHandle_;
  nextHandle_ += 2;
  desktop.handle = desktopWindow_;
  windows_[desktopWindow_] = desktop;
  SetSpecialFolder(kFolderLocalAppData, "C:\\Users\\Saver\\AppData\\Local");
  SetSpecialFolder(kFolderCommonAppData, "C:\\ProgramData");
}

SimDesktop::~SimDesktop() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void SimDesktop::SetMonitors(std::vector<Rect> monitors, std::size_t primary) {
  assert(monitors.empty() || primary < monitors.size());
  monitors_ = std::move(monitors);
  primary_ = primary;
  dpis_.resize(monitors_.size(), dpis_.empty() ? kDesignDpi : dpis_.front());
}

void SimDesktop::SetDpi(std::int32_t dpi) { dpis_.assign(monitors_.size(), dpi); }

void SimDesktop::SetMonitorDpi(std::size_t monitor, std::int32_t dpi) {
  assert(monitor < monitors_.size());
  dpis_.resize(monitors_.size(), kDesignDpi);
  dpis_[monitor] = dpi;
}

std::int32_t SimDesktop::DpiAt(const Rect& area) const {
  std::size_t best = 0;
  std::int64_t bestScore = std::numeric_limits<std::int64_t>::min();
  for (std::size_t i = 0; i < monitors_.size(); ++i) {
    const Rect& m = monitors_[i];
    const std::int64_t w = std::min(m.right, area.right) - std::max(m.left, area.left);
    const std::int64_t h = std::min(m.bottom, area.bottom) - std::max(m.top, area.top);
    // The shared area where they overlap, else minus the distance between them.
    const std::int64_t score = w > 0 && h > 0 ? w * h : -(std::max<std::int64_t>(0, -w) + std::max<std::int64_t>(0, -h));
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best < dpis_.size() ? dpis_[best] : kDesignDpi;
}

void SimDesktop::SetStartTime(const DateTime& local, std::int64_t utcOffsetMs) {
  start_ = local;
  utcOffsetMs_ = utcOffsetMs;
}

bool SimDesktop::AdvanceTo(std::int64_t atMs, const std::function<bool()>& stop) {
  while (!happenings_.empty() && happenings_.begin()->first <= atMs) {
    const auto next = happenings_.begin();
    nowMs_ = std::max(nowMs_, next->first);
    // Out of the list first: the action may add more.
    const auto action = std::move(next->second);
    happenings_.erase(next);
    action();
    if (stop && stop()) return false;
  }
  nowMs_ = std::max(nowMs_, atMs);
  return true;
}

DateTime SimDesktop::LocalTime() const { return AddMilliseconds(start_, nowMs_ + wallOffsetMs_); }

DateTime SimDesktop::SystemTime() const {
  return AddMilliseconds(start_, nowMs_ + wallOffsetMs_ - utcOffsetMs_);
}

WindowHandle SimDesktop::CreateWindowFor(SimProcess* owner, const WindowRequest& request) {
  const bool child = (request.style & kStyleChild) != 0;
  if (child && Find(request.parent) == nullptr) return kNoWindow;
  if (windowsExhausted_ && owner != nullptr) return kNoWindow;
  SimWindow window;
  window.handle = nextHandle_;
  nextHandle_ += 2;
  window.className = request.className;
  window.caption = request.caption;
  window.style = request.style;
  window.exStyle = request.exStyle;
  window.bounds = request.bounds;
  window.parent = request.parent;
  window.procedure = request.procedure;
  window.owner = owner;
  window.visible = (request.style & kStyleVisible) != 0;
  window.dpi = DpiAt(request.bounds);
  ResizePixels(window);
  const auto handle = window.handle;
  windows_[handle] = std::move(window);
  if (!child) {
    zOrder_.push_back(handle);
    BringToFront(handle);
  }
  return handle;
}

WindowHandle SimDesktop::CreateTestWindow(const std::string& caption, const Rect& bounds) {
  WindowRequest request;
  request.className = "SimTestWindow";
  request.caption = caption;
  request.style = kStylePopup | kStyleVisible;
  request.bounds = bounds;
  return CreateWindowFor(nullptr, request);
}

void SimDesktop::DestroyWindow(WindowHandle handle) {
  auto* window = Find(handle);
  if (window == nullptr || handle == desktopWindow_) return;
  // The window hears of its end first, then its children, as on the desktop.
  if (window->procedure != nullptr) {
    Message destroy{handle, kMsgDestroy, 0, 0, 0, cursor_};
    std::intptr_t ignored = 0;
    window->procedure->HandleMessage(destroy, ignored);
  }
  std::vector<WindowHandle> children;
  for (const auto& [h, w] : windows_) {
    if (w.parent == handle && (w.style & kStyleChild) != 0) children.push_back(h);
  }
  for (auto child : children) DestroyWindow(child);
  windows_.erase(handle);
  std::erase(zOrder_, handle);
}

SimWindow* SimDesktop::Find(WindowHandle window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

const SimWindow* SimDesktop::Find(WindowHandle window) const {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<WindowHandle> SimDesktop::WindowsOwnedBy(const SimProcess* owner) const {
  std::vector<WindowHandle> owned;
  for (const auto& [handle, window] : windows_) {
    if (window.owner == owner) owned.push_back(handle);
  }
  return owned;
}

void SimDesktop::ResizeWindowPixels(WindowHandle handle) {
  if (auto* window = Find(handle)) ResizePixels(*window);
}

bool SimDesktop::IsAbove(WindowHandle upper, WindowHandle lower) const {
  const auto u = std::find(zOrder_.begin(), zOrder_.end(), upper);
  const auto l = std::find(zOrder_.begin(), zOrder_.end(), lower);
  return u != zOrder_.end() && l != zOrder_.end() && u < l;
}

void SimDesktop::BringToFront(WindowHandle handle) {
  const auto* window = Find(handle);
  if (window == nullptr || !IsTopLevel(*window)) return;
  std::erase(zOrder_, handle);
  // Top-most windows stay in a band above all others.
  const bool topmost = (window->exStyle & kExStyleTopmost) != 0;
  auto at = zOrder_.begin();
  if (!topmost) {
    at = std::find_if(zOrder_.begin(), zOrder_.end(), [&](WindowHandle other) {
      return (Find(other)->exStyle & kExStyleTopmost) == 0;
    });
  }
  zOrder_.insert(at, handle);
  // Windows it owns stay above it.
  std::vector<WindowHandle> owned;
  for (const auto& [other, window] : windows_) {
    if (window.parent == handle && IsTopLevel(window)) owned.push_back(other);
  }
  for (auto window : owned) BringToFront(window);
}

Rect SimDesktop::FrameInsets(std::uint32_t style) const {
  if ((style & kStyleCaption) == kStyleCaption) return Rect{3, 22, 3, 3};
  if ((style & kStyleBorder) != 0) return Rect{1, 1, 1, 1};
  return Rect{};
}

Rect SimDesktop::ScreenRect(WindowHandle handle) const {
  const auto* window = Find(handle);
  if (window == nullptr) return Rect{};
  Rect rect = window->bounds;
  if ((window->style & kStyleChild) != 0) {
    const Rect parent = ScreenRect(window->parent);
    const auto* parentWindow = Find(window->parent);
    const Rect insets = parentWindow ? FrameInsets(parentWindow->style) : Rect{};
    const int dx = parent.left + insets.left;
    const int dy = parent.top + insets.top;
    rect = Rect{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
  }
  return rect;
}

void SimDesktop::ResizePixels(SimWindow& window) {
  const Rect insets = FrameInsets(window.style);
  const int width = std::max(0, window.bounds.Width() - insets.left - insets.right);
  const int height = std::max(0, window.bounds.Height() - insets.top - insets.bottom);
  if (width == window.pixelWidth && height == window.pixelHeight) return;
  std::vector<ColorRef> pixels(static_cast<std::size_t>(width) * height, kBlack);
  for (int y = 0; y < std::min(height, window.pixelHeight); ++y) {
    for (int x = 0; x < std::min(width, window.pixelWidth); ++x) {
      pixels[static_cast<std::size_t>(y) * width + x] =
          window.pixels[static_cast<std::size_t>(y) * window.pixelWidth + x];
    }
  }
  window.pixels = std::move(pixels);
  window.pixelWidth = width;
  window.pixelHeight = height;
}

ColorRef SimDesktop::PixelAt(WindowHandle handle, Point at) const {
  const auto* window = Find(handle);
  assert(window != nullptr);
  assert(at.x >= 0 && at.y >= 0 && at.x < window->pixelWidth && at.y < window->pixelHeight);
  return window->pixels[static_cast<std::size_t>(at.y) * window->pixelWidth + at.x] & 0xFFFFFF;
}

void SimDesktop::Repaint(WindowHandle handle) {
  auto* window = Find(handle);
  if (window == nullptr) return;
  std::fill(window->pixels.begin(), window->pixels.end(), kBlack);
  if (window->procedure == nullptr) return;
  Message paint{handle, kMsgPaint, 0, 0, 0, cursor_};
  std::intptr_t ignored = 0;
  window->procedure->HandleMessage(paint, ignored);
}

void SimDesktop::DragWindow(WindowHandle handle, Point to) {
  auto* window = Find(handle);
  if (window == nullptr || !IsTopLevel(*window)) return;
  window->bounds = Rect::FromBounds(to.x, to.y, window->bounds.Width(), window->bounds.Height());
  FollowMonitorDpi(handle);
}

void SimDesktop::FollowMonitorDpi(WindowHandle handle) {
  auto* window = Find(handle);
  if (window == nullptr || !IsTopLevel(*window)) return;
  const std::int32_t dpi = DpiAt(window->bounds);
  if (dpi == window->dpi) return;
  const std::int32_t was = window->dpi;
  window->dpi = dpi;
  if (window->procedure == nullptr) return;
  const Rect insets = FrameInsets(window->style);
  const Rect& bounds = window->bounds;
  const auto scale = [&](std::int32_t length) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(length) * dpi + was / 2) / was);
  };
  const Rect suggested = Rect::FromBounds(
      bounds.left, bounds.top, scale(bounds.Width() - insets.left - insets.right) + insets.left + insets.right,
      scale(bounds.Height() - insets.top - insets.bottom) + insets.top + insets.bottom);
  const auto both = static_cast<std::uintptr_t>((static_cast<std::uint32_t>(dpi) << 16) | static_cast<std::uint32_t>(dpi));
  const Message changed{handle, kMsgDpiChanged, both, reinterpret_cast<std::intptr_t>(&suggested), 0, cursor_};
  std::intptr_t ignored = 0;
  window->procedure->HandleMessage(changed, ignored);
}

void SimDesktop::Deliver(WindowHandle handle, std::uint32_t id, std::uintptr_t wParam,
                         std::intptr_t lParam) {
  auto* window = Find(handle);
  if (window == nullptr || window->owner == nullptr) return;
  window->owner->Enqueue(Message{handle, id, wParam, lParam, 0, cursor_});
}

void SimDesktop::PressKey(WindowHandle window, std::uint16_t virtualKey, char character) {
  // The simulated key message carries its character in lParam, so that
  // translating it can post the character message.
  Deliver(window, kMsgKeyDown, virtualKey, static_cast<unsigned char>(character));
}

void SimDesktop::ClickControl(WindowHandle control) {
  auto* window = Find(control);
  if (window == nullptr || !window->enabled || !window->visible) return;
  // Check boxes check and uncheck themselves.
  if (window->controlKind == ControlKind::kCheckBox) window->checked = !window->checked;
  Deliver(window->parent, kMsgCommand, static_cast<std::uintptr_t>(kNotifyClicked) << 16,
          static_cast<std::intptr_t>(control));
}

void SimDesktop::TypeInto(WindowHandle control, const std::string& text) {
  if (auto* window = Find(control)) window->caption = text;
}

void SimDesktop::StepUpDown(WindowHandle control, int steps) {
  auto* window = Find(control);
  if (window == nullptr) return;
  const int next = std::clamp(window->upDownPosition + steps, static_cast<int>(window->upDownLow),
                              static_cast<int>(window->upDownHigh));
  window->upDownPosition = static_cast<std::int16_t>(next);
  if (auto* buddy = Find(window->buddy)) buddy->caption = std::to_string(next);
}

void SimDesktop::MoveMouse(WindowHandle window, Point at) {
  const Rect screen = ScreenRect(window);
  cursor_ = Point{screen.left + at.x, screen.top + at.y};
  Deliver(window, kMsgMouseMove, 0, PackPoint(at.x, at.y));
}

void SimDesktop::PressMouse(WindowHandle window, Point at, std::uint32_t buttonMessage) {
  const Rect screen = ScreenRect(window);
  cursor_ = Point{screen.left + at.x, screen.top + at.y};
  Deliver(window, buttonMessage, 0, PackPoint(at.x, at.y));
}

bool SimDesktop::MutexExists(const std::string& name) const { return mutexes_.contains(name); }

void SimDesktop::AddMutexReference(const std::string& name) { ++mutexes_[name]; }

void SimDesktop::DropMutexReference(const std::string& name) {
  const auto it = mutexes_.find(name);
  if (it != mutexes_.end() && --it->second == 0) mutexes_.erase(it);
}

std::filesystem::path SimDesktop::HostPath(const std::string& desktopPath) const {
  std::string path = desktopPath;
  std::string drive = "C";
  if (path.size() >= 2 && path[1] == ':') {
    drive = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
    path = path.substr(2);
  }
  std::filesystem::path host = root_ / drive;
  std::string part;
  for (char c : path + "\\") {
    if (c == '\\' || c == '/') {
      if (!part.empty() && part != ".") host /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  return host;
}

std::vector<ColorRef> SimDesktop::TakePixelBuffer(std::size_t size) {
  for (auto it = spareBuffers_.begin(); it != spareBuffers_.end(); ++it) {
    if (it->size() == size) {
      auto buffer = std::move(*it);
      spareBuffers_.erase(it);
      return buffer;
    }
  }
  return std::vector<ColorRef>(size, kBlack);
}

void SimDesktop::ReturnPixelBuffer(std::vector<ColorRef>&& buffer) {
  constexpr std::size_t kSpares = 4;
  if (spareBuffers_.size() == kSpares) spareBuffers_.erase(spareBuffers_.begin());
  spareBuffers_.push_back(std::move(buffer));
}

bool SimDesktop::IsReadOnly(const std::filesystem::path& host) const {
  for (const auto& locked : readOnly_) {
    const auto relative = host.lexically_relative(locked);
    if (!relative.empty() && *relative.begin() != "..") return true;
  }
  return false;
}

bool SimDesktop::IsHidden(const std::filesystem::path& host) const {
  return std::find(hidden_.begin(), hidden_.end(), host) != hidden_.end();
}

bool SimDesktop::IsUnreadable(const std::filesystem::path& host) const {
  return std::find(unreadable_.begin(), unreadable_.end(), host) != unreadable_.end();
}

std::string SimDesktop::SpecialFolder(int folder) const {
  const auto it = specialFolders_.find(folder);
  return it == specialFolders_.end() ? std::string() : it->second;
}

void SimDesktop::SetSpecialFolder(int folder, const std::string& desktopPath) {
  specialFolders_[folder] = desktopPath;
  if (!desktopPath.empty()) std::filesystem::create_directories(HostPath(desktopPath));
}

std::optional<DateTime> SimDesktop::ModifiedTime(const std::string& desktopPath) const {
  const auto host = HostPath(desktopPath);
  std::error_code error;
  if (IsUnreadable(host) || !std::filesystem::exists(host, error)) return std::nullopt;
  const auto it = modifiedTimes_.find(host);
  return it == modifiedTimes_.end() ? kDefaultModifiedTime : it->second;
}

std::string SimDesktop::LongDate(const DateTime& date) const {
  if (longDate_) return longDate_(date);
  static constexpr std::array<const char*, 12> kMonths{
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  return std::to_string(date.day) + " " + kMonths.at(date.month - 1u) + " " + std::to_string(date.year);
}

}  // namespace orvanel::platform::sim
