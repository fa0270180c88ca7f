#include "platform/sim/sim_process.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

#include "platform/ini/ini_file.h"
#include "platform/sim/sim_drawing.h"
#include "platform/window_styles.h"
#include "resources/embedded_resources.h"

namespace orvanel::platform::sim {
namespace {

constexpr std::uintptr_t kKeyTab = 0x09;
constexpr std::uintptr_t kKeyUp = 0x26;
constexpr std::uintptr_t kKeyDown = 0x28;

bool TakesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit:
    case ControlKind::kCheckBox:
    case ControlKind::kButton:
    case ControlKind::kPanel:
    case ControlKind::kChoiceList:
      return true;
    case ControlKind::kLabel:
    case ControlKind::kUpDown:
      return false;
  }
  return false;
}

std::string Upper(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

// A work thread of the simulated process: its steps run inline, on the
// process's thread, in virtual time of their own.
class SimWork : public WorkThread {
 public:
  SimWork(SimProcess& process, Step step, WindowHandle window, std::uint32_t id)
      : process_(process), step_(std::move(step)), window_(window), id_(id),
        nextStartMs_(process.desktop_.NowMs()) {
    process_.works_.push_back(this);
  }
  ~SimWork() override { std::erase(process_.works_, this); }

  void Wake() override {
    if (awake_) return;
    awake_ = true;
    nextStartMs_ = std::max(nextStartMs_, process_.desktop_.NowMs());
  }

  // The moment of the next step, while there is one.
  std::optional<std::int64_t> NextStart() const { return awake_ ? std::optional(nextStartMs_) : std::nullopt; }

  // Runs the next step when it is due; true when one ran.
  bool RunDueStep() {
    if (!awake_ || nextStartMs_ > process_.desktop_.NowMs()) return false;
    process_.runningWork_ = this;
    process_.runningCostMs_ = 0;
    const WorkStep done = step_();
    process_.runningWork_ = nullptr;
    nextStartMs_ += process_.runningCostMs_;
    if (done.notify) {
      process_.told_.emplace(nextStartMs_, Message{window_, id_, *done.notify, 0, 0, process_.desktop_.CursorPos()});
    }
    awake_ = done.more;
    return true;
  }

 private:
  SimProcess& process_;
  Step step_;
  WindowHandle window_;
  std::uint32_t id_;
  bool awake_ = true;
  std::int64_t nextStartMs_;
};

SimProcess::SimProcess(SimDesktop& desktop, std::string commandLine, std::string moduleFileName)
    : desktop_(desktop),
      commandLine_(std::move(commandLine)),
      moduleFileName_(std::move(moduleFileName)),
      processId_(desktop.NewProcessId()) {
  for (const auto& resource : resources::EmbeddedResources()) {
    resources_[{resource.name, resource.type}] = resource.bytes;
  }
}

SimProcess::~SimProcess() {
  // A process that ends takes its windows and its mutex handles with it,
  // without telling objects that may be gone already.
  const auto own = OwnWindows();
  for (auto window : own) desktop_.Find(window)->procedure = nullptr;
  for (auto window : own) desktop_.DestroyWindow(window);
  for (const auto& [handle, name] : mutexHandles_) desktop_.DropMutexReference(name);
}

void SimProcess::AddResource(const std::string& name, const std::string& type,
                             std::vector<std::uint8_t> bytes) {
  const auto key = std::make_pair(Upper(name), Upper(type));
  auto& kept = addedBytes_[key];
  kept = std::move(bytes);
  resources_[key] = std::span<const std::uint8_t>(kept);
}

void SimProcess::RemoveResource(const std::string& name, const std::string& type) {
  resources_.erase({Upper(name), Upper(type)});
}

std::vector<WindowHandle> SimProcess::OwnWindows() const { return desktop_.WindowsOwnedBy(this); }

// --- Monitors ----------------------------------------------------------------

std::vector<Rect> SimProcess::MonitorRects() { return desktop_.Monitors(); }

std::int32_t SimProcess::MonitorDpi(const Rect& area) { return desktop_.DpiAt(area); }

std::int32_t SimProcess::Metric(SystemMetric which) {
  const auto& monitors = desktop_.Monitors();
  switch (which) {
    case SystemMetric::kPrimaryWidth:
      return monitors.empty() ? 0 : desktop_.PrimaryMonitor().Width();
    case SystemMetric::kPrimaryHeight:
      return monitors.empty() ? 0 : desktop_.PrimaryMonitor().Height();
    case SystemMetric::kMonitorCount:
      return static_cast<std::int32_t>(monitors.size());
  }
  return 0;
}

// --- Windows -----------------------------------------------------------------

WindowHandle SimProcess::CreateNativeWindow(const WindowRequest& request) {
  return desktop_.CreateWindowFor(this, request);
}

void SimProcess::DestroyNativeWindow(WindowHandle window) { desktop_.DestroyWindow(window); }

bool SimProcess::IsWindow(WindowHandle window) { return desktop_.Find(window) != nullptr; }

WindowHandle SimProcess::DesktopWindow() { return desktop_.DesktopWindow(); }

Rect SimProcess::WindowRect(WindowHandle window) { return desktop_.ScreenRect(window); }

Rect SimProcess::ClientRect(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  if (window == nullptr) return Rect{};
  return Rect{0, 0, window->pixelWidth, window->pixelHeight};
}

Rect SimProcess::WindowRectForClient(const Rect& client, std::uint32_t style, std::uint32_t) {
  const Rect insets = desktop_.FrameInsets(style);
  return Rect{client.left - insets.left, client.top - insets.top, client.right + insets.right,
              client.bottom + insets.bottom};
}

void SimProcess::SetWindowPos(WindowHandle handle, WindowHandle insertAfter, const Rect& bounds,
                              std::uint32_t flags) {
  auto* window = desktop_.Find(handle);
  if (window == nullptr) return;
  Rect next = window->bounds;
  if ((flags & kPosNoMove) == 0) {
    next = Rect::FromBounds(bounds.left, bounds.top, next.Width(), next.Height());
  }
  if ((flags & kPosNoSize) == 0) {
    next = Rect::FromBounds(next.left, next.top, bounds.Width(), bounds.Height());
  }
  window->bounds = next;
  desktop_.ResizeWindowPixels(handle);
  if ((flags & kPosNoZOrder) == 0) {
    if (insertAfter == kInsertTopmost) window->exStyle |= kExStyleTopmost;
    desktop_.BringToFront(handle);
  }
  if ((flags & kPosShowWindow) != 0) window->visible = true;
  if ((flags & kPosHideWindow) != 0) window->visible = false;
  desktop_.FollowMonitorDpi(handle);
}

void SimProcess::ShowWindow(WindowHandle handle, bool visible) {
  auto* window = desktop_.Find(handle);
  if (window == nullptr || window->visible == visible) return;
  window->visible = visible;
  // Showing activates a top-level window, which brings it to the front of its band.
  if (visible) desktop_.BringToFront(handle);
}

std::uint32_t SimProcess::Style(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window == nullptr ? 0 : window->style;
}

std::uint32_t SimProcess::ExStyle(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window == nullptr ? 0 : window->exStyle;
}

void SimProcess::SetExStyle(WindowHandle handle, std::uint32_t exStyle) {
  if (auto* window = desktop_.Find(handle)) window->exStyle = exStyle;
}

bool SimProcess::SetLayeredAlpha(WindowHandle handle, std::uint8_t alpha) {
  auto* window = desktop_.Find(handle);
  if (window == nullptr || (window->exStyle & kExStyleLayered) == 0) return false;
  window->alpha = alpha;
  window->alphaHistory.push_back(AlphaChange{desktop_.NowMs(), alpha});
  desktop_.Advance(desktop_.AlphaChangeCostMs());
  if (desktop_.afterAlphaChange) desktop_.afterAlphaChange(handle, alpha);
  return true;
}

WindowHandle SimProcess::FindTopLevelWindow(const std::string& title) {
  for (auto handle : desktop_.ZOrder()) {
    const auto* window = desktop_.Find(handle);
    if (window != nullptr && window->caption == title) return handle;
  }
  return kNoWindow;
}

void SimProcess::EnableWindow(WindowHandle handle, bool enable) {
  if (auto* window = desktop_.Find(handle)) window->enabled = enable;
}

bool SimProcess::IsWindowEnabled(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window != nullptr && window->enabled;
}

ColorRef SimProcess::SystemColor(int index) {
  return index == kSystemColorWindow ? kWhite : Rgb(212, 208, 200);
}

// --- Controls ------------------------------------------------------------------

WindowHandle SimProcess::CreateControl(WindowHandle parent, const ControlRequest& request) {
  WindowRequest window;
  window.className = "SimControl";
  window.caption = request.text;
  window.style = kStyleChild | (request.visible ? kStyleVisible : 0);
  window.bounds = request.bounds;
  window.parent = parent;
  const auto handle = desktop_.CreateWindowFor(this, window);
  if (auto* control = desktop_.Find(handle)) {
    control->isControl = true;
    control->controlKind = request.kind;
    control->buddy = request.buddy;
    control->choices = request.choices;
    control->fontName = request.fontName;
    control->fontHeight = request.fontHeight;
  }
  return handle;
}

std::string SimProcess::ControlText(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window == nullptr ? std::string() : window->caption;
}

void SimProcess::SetControlText(WindowHandle handle, const std::string& text) {
  if (auto* window = desktop_.Find(handle)) window->caption = text;
}

bool SimProcess::IsChecked(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window != nullptr && window->checked;
}

void SimProcess::SetChecked(WindowHandle handle, bool checked) {
  if (auto* window = desktop_.Find(handle)) window->checked = checked;
}

void SimProcess::SetUpDownRange(WindowHandle handle, std::int16_t low, std::int16_t high) {
  if (auto* window = desktop_.Find(handle)) {
    window->upDownLow = low;
    window->upDownHigh = high;
  }
}

std::int16_t SimProcess::UpDownPosition(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window == nullptr ? 0 : window->upDownPosition;
}

void SimProcess::SetControlLayout(WindowHandle handle, const Rect& bounds, const std::string& fontName,
                                  std::int32_t fontHeight) {
  auto* control = desktop_.Find(handle);
  if (control == nullptr || !control->isControl) return;
  control->bounds = bounds;
  control->fontName = fontName;
  control->fontHeight = fontHeight;
}

void SimProcess::SetUpDownPosition(WindowHandle handle, std::int16_t position) {
  if (auto* window = desktop_.Find(handle)) {
    window->upDownPosition = std::clamp(position, window->upDownLow, window->upDownHigh);
  }
}

std::int32_t SimProcess::ChosenIndex(WindowHandle handle) {
  const auto* window = desktop_.Find(handle);
  return window == nullptr ? -1 : window->chosen;
}

void SimProcess::SetChosenIndex(WindowHandle handle, std::int32_t index) {
  auto* window = desktop_.Find(handle);
  if (window != nullptr) window->chosen = index;
}

// --- Captions -------------------------------------------------------------------

TextMask SimProcess::RenderText(const std::string& text, std::int32_t lineHeight) {
  TextMask mask;
  if (lineHeight <= 0) return mask;
  // A code point begins at every byte that does not continue one.
  std::vector<bool> spaces;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) spaces.push_back(byte == ' ');
  }
  if (spaces.empty()) return mask;
  const std::int32_t cell = std::max(1, lineHeight / 2);
  const std::int32_t margin = lineHeight / 5;
  mask.width = cell * static_cast<std::int32_t>(spaces.size());
  mask.height = lineHeight;
  mask.coverage.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);
  for (std::size_t i = 0; i < spaces.size(); ++i) {
    if (spaces[i]) continue;
    const std::int32_t left = cell * static_cast<std::int32_t>(i);
    for (std::int32_t y = margin; y < lineHeight - margin; ++y) {
      auto* row = mask.coverage.data() + static_cast<std::size_t>(y) * mask.width;
      std::fill(row + left, row + left + cell - 1, std::uint8_t{255});
    }
  }
  return mask;
}

// --- Drawing -------------------------------------------------------------------

std::unique_ptr<DrawingContext> SimProcess::WindowContext(WindowHandle window) {
  if (desktop_.Find(window) == nullptr) return nullptr;
  return std::make_unique<SimContext>(desktop_, window);
}

void SimProcess::EraseBackground(const Message& erase, ColorRef colour) {
  SimContext context(desktop_, erase.window);
  context.FillRect(ClientRect(erase.window), colour);
}

std::unique_ptr<Bitmap> SimProcess::CreateBitmap(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  return std::make_unique<SimBitmap>(desktop_, width, height, desktop_.DisplayBitsPerPixel());
}

std::unique_ptr<Bitmap> SimProcess::CreatePictureBitmap(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  return std::make_unique<SimBitmap>(desktop_, width, height, 24);
}

std::unique_ptr<Bitmap> SimProcess::CreatePhotoBitmap(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  Spend(desktop_.DecodeCostMs());
  return std::make_unique<SimBitmap>(desktop_, width, height, desktop_.DisplayBitsPerPixel());
}

std::unique_ptr<DrawingContext> SimProcess::BitmapContext(Bitmap& bitmap) {
  return std::make_unique<SimContext>(desktop_, static_cast<SimBitmap&>(bitmap));
}

void SimProcess::PaintFrom(const Message& paint, const Bitmap& content) {
  SimContext context(desktop_, paint.window);
  context.DrawBitmap(content, Point{0, 0});
}

// --- Cursor --------------------------------------------------------------------

int SimProcess::ShowCursor(bool show) {
  cursorCounter_ += show ? 1 : -1;
  return cursorCounter_;
}

void SimProcess::SetCursorPos(Point at) { desktop_.SetCursorPos(at); }

// --- Messages and timers --------------------------------------------------------

bool SimProcess::PostToWindow(WindowHandle handle, std::uint32_t id, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  const auto* window = desktop_.Find(handle);
  if (window == nullptr) return false;
  if (window->owner != nullptr) {
    window->owner->Enqueue(Message{handle, id, wParam, lParam, 0, desktop_.CursorPos()});
  }
  return true;
}

SimProcess::SimTimer* SimProcess::NextDueTimer() {
  SimTimer* next = nullptr;
  for (auto& timer : timers_) {
    if (next == nullptr || timer.dueMs < next->dueMs) next = &timer;
  }
  return next;
}

std::optional<Message> SimProcess::TakeMessage() {
  CatchUpWork();
  const auto dueTick = [this]() -> std::optional<Message> {
    auto* timer = NextDueTimer();
    if (timer == nullptr || timer->dueMs > desktop_.NowMs()) return std::nullopt;
    // Ticks missed while nobody looked collapse into one.
    while (timer->dueMs <= desktop_.NowMs()) timer->dueMs += timer->interval;
    return Message{timer->window, kMsgTimer, timer->id, 0, 0, desktop_.CursorPos()};
  };
  return queue_.Take(dueTick, Message{kNoWindow, 0, 0, 0, 0, desktop_.CursorPos()});
}

void SimProcess::TranslateInput(const Message& message) {
  if (message.id == kMsgKeyDown && message.lParam != 0) {
    queue_.PostFirst(Message{message.window, kMsgChar,
                              static_cast<std::uintptr_t>(message.lParam), 0, 0,
                              message.cursor});
  }
}

bool SimProcess::HandleDialogKey(WindowHandle dialog, const Message& message) {
  if (message.id != kMsgKeyDown) return false;
  const auto isTarget = [&](const SimWindow* window) {
    return window != nullptr && window->isControl && window->parent == dialog && window->visible &&
           window->enabled && TakesFocus(window->controlKind);
  };
  if (message.wParam == kKeyTab) {
    std::vector<WindowHandle> order;
    for (const auto handle : OwnWindows()) {
      if (isTarget(desktop_.Find(handle))) order.push_back(handle);
    }
    if (order.empty()) return true;
    const auto at = std::find(order.begin(), order.end(), desktop_.focus);
    desktop_.focus = at == order.end() || at + 1 == order.end() ? order.front() : *(at + 1);
    return true;
  }
  if (message.wParam != kKeyUp && message.wParam != kKeyDown) return false;
  auto* focused = desktop_.Find(desktop_.focus);
  if (!isTarget(focused) || focused->controlKind != ControlKind::kChoiceList) return false;
  const auto count = static_cast<std::int32_t>(focused->choices.size());
  if (count == 0) return true;
  const std::int32_t step = message.wParam == kKeyDown ? 1 : -1;
  focused->chosen = focused->chosen < 0 ? 0 : std::clamp(focused->chosen + step, 0, count - 1);
  return true;
}

void SimProcess::DispatchToWindow(const Message& message) {
  auto* window = desktop_.Find(message.window);
  if (window == nullptr || window->owner != this || window->procedure == nullptr) return;
  std::intptr_t result = 0;
  if (window->procedure->HandleMessage(message, result)) return;
  // What the desktop does with a message nobody handled: closing destroys the window.
  if (message.id == kMsgClose) desktop_.DestroyWindow(message.window);
}

void SimProcess::PostQuit(int exitCode) { queue_.PostQuit(exitCode); }

std::vector<WindowHandle> SimProcess::TopLevelWindows() const {
  std::vector<WindowHandle> topLevel;
  for (const auto handle : OwnWindows()) {
    const auto* window = desktop_.Find(handle);
    if (!window->isControl && (window->style & kStyleChild) == 0) topLevel.push_back(handle);
  }
  return topLevel;
}

void SimProcess::RequestClose() {
  queue_.PostCloseRequest(TopLevelWindows(), Message{kNoWindow, 0, 0, 0, 0, desktop_.CursorPos()});
}

void SimProcess::HostWindowGone() {
  queue_.PostToTopLevel(TopLevelWindows(), kMsgHostWindowGone, Message{kNoWindow, 0, 0, 0, 0, desktop_.CursorPos()});
}

bool SimProcess::MessageWaiting() {
  CatchUpWork();
  const auto* timer = NextDueTimer();
  return queue_.HasPostedOrQuit() || (timer != nullptr && timer->dueMs <= desktop_.NowMs());
}

bool SimProcess::WaitForMessage() {
  while (!MessageWaiting()) {
    // Until the next tick, or something happening sooner that brings a message.
    const auto* timer = NextDueTimer();
    std::optional<std::int64_t> next = desktop_.NextHappening();
    if (timer != nullptr) next = std::min(next.value_or(timer->dueMs), timer->dueMs);
    if (const auto work = NextWorkMoment()) next = std::min(next.value_or(*work), *work);
    if (!next || *next > desktop_.ClockLimit()) return false;
    desktop_.AdvanceTo(*next, [this] { return MessageWaiting(); });
  }
  return true;
}

bool SimProcess::StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  if (desktop_.Find(window) == nullptr || desktop_.TimersExhausted()) return false;
  StopTimer(window, id);
  // A timer of 0 ms would tick in a loop without the clock moving on.
  const std::uint32_t interval = std::max<std::uint32_t>(milliseconds, 1);
  timers_.push_back(SimTimer{window, id, interval, desktop_.NowMs() + interval});
  return true;
}

void SimProcess::StopTimer(WindowHandle window, std::uintptr_t id) {
  std::erase_if(timers_, [&](const SimTimer& t) { return t.window == window && t.id == id; });
}

std::uint32_t SimProcess::SleepUntilMessage(std::uint32_t milliseconds, bool alertable) {
  ++sleeps_;
  if (alertable && ioCompletionPending_) {
    ioCompletionPending_ = false;
    return kWaitIoCompletion;
  }
  if (MessageWaiting()) return 0;
  std::int64_t wake = desktop_.NowMs() + milliseconds;
  if (const auto* timer = NextDueTimer()) wake = std::min(wake, timer->dueMs);
  if (const auto work = NextWorkMoment()) wake = std::min(wake, *work);
  desktop_.AdvanceTo(wake, [&] { return MessageWaiting() || (alertable && ioCompletionPending_); });
  if (alertable && ioCompletionPending_) {
    ioCompletionPending_ = false;
    return kWaitIoCompletion;
  }
  return 0;
}

// --- Work beside the process's thread -----------------------------------------------

std::unique_ptr<WorkThread> SimProcess::StartWorkThread(WorkThread::Step step, WindowHandle window,
                                                        std::uint32_t id) {
  return std::make_unique<SimWork>(*this, std::move(step), window, id);
}

void SimProcess::CatchUpWork() {
  // A step runs no process code, but guard against a step that looks at the queue.
  if (runningWork_ != nullptr) return;
  for (bool ran = true; ran;) {
    ran = false;
    // A copy: a step never starts or ends work, but the list must not move under it.
    for (SimWork* work : std::vector<SimWork*>(works_)) ran = work->RunDueStep() || ran;
  }
  while (!told_.empty() && told_.begin()->first <= desktop_.NowMs()) {
    queue_.Post(told_.begin()->second);
    told_.erase(told_.begin());
  }
}

std::optional<std::int64_t> SimProcess::NextWorkMoment() const {
  std::optional<std::int64_t> next;
  if (!told_.empty()) next = told_.begin()->first;
  for (const SimWork* work : works_) {
    if (const auto start = work->NextStart()) next = std::min(next.value_or(*start), *start);
  }
  return next;
}

void SimProcess::Spend(std::int64_t milliseconds) {
  if (runningWork_ != nullptr) {
    runningCostMs_ += milliseconds;
  } else {
    desktop_.Advance(milliseconds);
  }
}

// --- Named mutexes ---------------------------------------------------------------

std::uintptr_t SimProcess::OpenNamedMutex(const std::string& name) {
  if (!desktop_.MutexExists(name)) {
    // A copy: the hook may replace itself.
    if (const auto hook = desktop_.afterFailedMutexOpen) hook(name);
    return 0;
  }
  desktop_.AddMutexReference(name);
  const auto handle = nextMutexHandle_;
  nextMutexHandle_ += 4;
  mutexHandles_[handle] = name;
  return handle;
}

std::uintptr_t SimProcess::CreateNamedMutex(const std::string& name, bool& existed) {
  existed = desktop_.MutexExists(name);
  desktop_.AddMutexReference(name);
  const auto handle = nextMutexHandle_;
  nextMutexHandle_ += 4;
  mutexHandles_[handle] = name;
  return handle;
}

void SimProcess::ReleaseNamedMutex(std::uintptr_t) {
  // The saver's mutexes are never owned, so releasing one changes nothing.
}

void SimProcess::CloseNamedMutex(std::uintptr_t mutex) {
  const auto it = mutexHandles_.find(mutex);
  if (it == mutexHandles_.end()) return;
  desktop_.DropMutexReference(it->second);
  mutexHandles_.erase(it);
}

// --- Folders, INI files, the shell -------------------------------------------------

bool SimProcess::FolderExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(desktop_.HostPath(path), error);
}

FolderListing SimProcess::ListFolder(const std::string& path) {
  Spend(desktop_.ListCostMs());
  FolderListing listing;
  const auto host = desktop_.HostPath(path);
  std::error_code error;
  if (desktop_.IsUnreadable(host) || !std::filesystem::is_directory(host, error)) return listing;
  listing.readable = true;
  listing.identity = std::filesystem::canonical(host, error).string();
  for (const auto& entry : std::filesystem::directory_iterator(host, error)) {
    FolderEntry item;
    item.name = entry.path().filename().string();
    // Windows joins with a backslash, whatever the folder's path ends with.
    item.path = path + (path.ends_with('\\') ? "" : "\\") + item.name;
    item.folder = entry.is_directory(error);
    item.hidden = desktop_.IsHidden(entry.path());
    if (item.folder) item.identity = std::filesystem::canonical(entry.path(), error).string();
    listing.entries.push_back(std::move(item));
  }
  return listing;
}

std::optional<std::string> SimProcess::ChooseFolder(WindowHandle owner, const std::string& title,
                                                   const std::string& start) {
  desktop_.folderDialogs.push_back({owner, title, start});
  if (desktop_.folderChoices.empty()) return std::nullopt;
  auto choice = desktop_.folderChoices.front();
  desktop_.folderChoices.erase(desktop_.folderChoices.begin());
  return choice;
}

std::optional<std::size_t> SimProcess::ReadFilePart(const std::string& path, std::uint64_t offset,
                                                   std::span<std::uint8_t> into) {
  Spend(desktop_.ReadCostMs());
  desktop_.filesRead.push_back(path);
  const auto host = desktop_.HostPath(path);
  std::error_code error;
  if (desktop_.IsUnreadable(host) || std::filesystem::is_directory(host, error)) return std::nullopt;
  std::ifstream in(host, std::ios::binary);
  const auto size = std::filesystem::file_size(host, error);
  if (!in || error) return std::nullopt;
  if (offset >= size) return 0;
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(std::min<std::uintmax_t>(into.size(), size - offset)));
  return static_cast<std::size_t>(in.gcount());
}

bool SimProcess::CreateFolder(const std::string& path) {
  std::error_code error;
  const auto host = desktop_.HostPath(path);
  if (desktop_.IsReadOnly(host) || !std::filesystem::is_directory(host.parent_path(), error)) {
    return false;
  }
  return std::filesystem::create_directory(host, error) && !error;
}

std::string SimProcess::ReadIniString(const std::string& path, const std::string& section,
                                      const std::string& key) {
  return ini::ReadValue(desktop_.HostPath(path), section, key);
}

bool SimProcess::WriteIniString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& value) {
  const auto host = desktop_.HostPath(path);
  if (desktop_.IsReadOnly(host)) return false;
  return ini::WriteValue(host, section, key, value);
}

void SimProcess::ShellOpen(const std::string& address) {
  desktop_.openedAddresses.push_back(address);
}

// --- Resources and reports -----------------------------------------------------------

std::optional<std::span<const std::uint8_t>> SimProcess::FindModuleResource(
    const std::string& name, const std::string& type) {
  const auto it = resources_.find({Upper(name), Upper(type)});
  if (it == resources_.end()) return std::nullopt;
  return it->second;
}

void SimProcess::WriteToHostLog(const std::string& line) { hostLog_.push_back(line); }

void SimProcess::ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags,
                                WhileBoxShows&) {
  desktop_.messageBoxes.push_back({text, caption, flags});
}

}  // namespace orvanel::platform::sim
