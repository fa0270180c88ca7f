#pragma once
// A simulated desktop for tests: monitors, windows with their styles,
// opacity and pixels, a virtual clock that moves only when a process sleeps,
// waits or a test advances it, named mutexes, a folder tree mapped into a
// temporary directory, and input a test injects into a window.
//
// Several saver instances can share one SimDesktop, each through a
// SimProcess of its own (its message queue, timers, cursor counter,
// resources and mutex handles), as processes share one real desktop.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "platform/desktop.h"

namespace orvanel::platform::sim {

class SimProcess;

struct AlphaChange {
  std::int64_t atMs;  // virtual time of the change
  std::uint8_t alpha;
  bool operator==(const AlphaChange&) const = default;
};

struct SimWindow {
  WindowHandle handle = kNoWindow;
  std::string className;
  std::string caption;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect bounds;  // in the parent's client coordinates (the screen for a top-level window)
  WindowHandle parent = kNoWindow;
  WindowProcedure* procedure = nullptr;
  SimProcess* owner = nullptr;  // null for windows a test makes
  bool visible = false;
  bool enabled = true;
  bool isControl = false;
  ControlKind controlKind = ControlKind::kLabel;
  bool checked = false;
  std::int16_t upDownLow = 0;
  std::int16_t upDownHigh = 100;
  std::int16_t upDownPosition = 0;
  WindowHandle buddy = kNoWindow;
  std::vector<std::string> choices;  // a choice list's
  std::int32_t chosen = -1;
  std::string fontName;  // a control's
  std::int32_t fontHeight = 0;
  std::int32_t dpi = kDesignDpi;  // a top-level window's: that of the monitor holding most of it
  std::uint8_t alpha = 255;
  std::vector<AlphaChange> alphaHistory;
  std::int32_t pixelWidth = 0;  // the client area's pixels, row by row
  std::int32_t pixelHeight = 0;
  std::vector<ColorRef> pixels;
};

class SimDesktop {
 public:
  SimDesktop();
  ~SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  // --- Monitors: 1024 x 768 alone at the start ----------------------------
  void SetMonitors(std::vector<Rect> monitors, std::size_t primary = 0);
  const std::vector<Rect>& Monitors() const { return monitors_; }
  // The dots per inch of every monitor, or of one (in the order of Monitors()).
  void SetDpi(std::int32_t dpi);
  void SetMonitorDpi(std::size_t monitor, std::int32_t dpi);
  // The DPI of the monitor holding most of `area`, or of the nearest one.
  std::int32_t DpiAt(const Rect& area) const;
  const Rect& PrimaryMonitor() const { return monitors_.at(primary_); }
  int DisplayBitsPerPixel() const { return displayBits_; }
  void SetDisplayBitsPerPixel(int bits) { displayBits_ = bits; }

  // --- Virtual clock -----------------------------------------------------
  std::int64_t NowMs() const { return nowMs_; }
  void Advance(std::int64_t milliseconds) { AdvanceTo(nowMs_ + milliseconds); }
  // Moves virtual time on to `atMs`, doing what falls due on the way; when
  // `stop` holds after one of those, time stops there. Returns true when it
  // reached `atMs`.
  bool AdvanceTo(std::int64_t atMs, const std::function<bool()>& stop = {});
  // Does `action` when virtual time reaches `atMs`, as something outside the
  // saver happening then (the user's input, the clock being set), even in
  // the middle of a sleep.
  void At(std::int64_t atMs, std::function<void()> action) { happenings_.emplace(atMs, std::move(action)); }
  std::optional<std::int64_t> NextHappening() const {
    return happenings_.empty() ? std::nullopt : std::optional(happenings_.begin()->first);
  }
  // Moves the wall clock without moving virtual time, as a user setting the clock.
  void ShiftWallClock(std::int64_t milliseconds) { wallOffsetMs_ += milliseconds; }
  DateTime LocalTime() const;
  DateTime SystemTime() const;
  void SetStartTime(const DateTime& local, std::int64_t utcOffsetMs = 0);
  // A message loop waiting past this virtual time stops instead of waiting.
  void SetClockLimit(std::int64_t atMs) { clockLimitMs_ = atMs; }
  std::int64_t ClockLimit() const { return clockLimitMs_; }

  // --- Windows -----------------------------------------------------------
  WindowHandle CreateWindowFor(SimProcess* owner, const WindowRequest& request);
  // A top-level window a test makes, such as a preview host or "Display Properties".
  WindowHandle CreateTestWindow(const std::string& caption, const Rect& bounds);
  void DestroyWindow(WindowHandle window);
  SimWindow* Find(WindowHandle window);
  const SimWindow* Find(WindowHandle window) const;
  WindowHandle DesktopWindow() const { return desktopWindow_; }
  std::vector<WindowHandle> WindowsOwnedBy(const SimProcess* owner) const;
  void ResizeWindowPixels(WindowHandle window);
  // Top-level windows, front first.
  const std::vector<WindowHandle>& ZOrder() const { return zOrder_; }
  bool IsAbove(WindowHandle upper, WindowHandle lower) const;
  void BringToFront(WindowHandle window);
  Rect ScreenRect(WindowHandle window) const;
  Rect FrameInsets(std::uint32_t style) const;
  ColorRef PixelAt(WindowHandle window, Point clientPoint) const;
  // Loses the window's pixels, as when it is uncovered, and asks it to paint.
  void Repaint(WindowHandle window);
  // Moves a top-level window as the user drags it, its top-left corner to `to`.
  void DragWindow(WindowHandle window, Point to);
  // Tells a top-level window that has come onto a monitor of another DPI,
  // as the desktop does after every move, suggesting its client area grown
  // or shrunk in proportion, the top-left corner and the frame kept.
  void FollowMonitorDpi(WindowHandle window);

  // --- Faults and costs a test can set -------------------------------------
  // Virtual time one change of a window's opacity takes.
  std::int64_t AlphaChangeCostMs() const { return alphaChangeCostMs_; }
  void SetAlphaChangeCost(std::int64_t milliseconds) { alphaChangeCostMs_ = milliseconds; }
  // Virtual time a listing of a folder, a read from a file and the making of
  // a photo's bitmap (its decoding) take.
  std::int64_t ListCostMs() const { return listCostMs_; }
  void SetListCost(std::int64_t milliseconds) { listCostMs_ = milliseconds; }
  std::int64_t ReadCostMs() const { return readCostMs_; }
  void SetReadCost(std::int64_t milliseconds) { readCostMs_ = milliseconds; }
  std::int64_t DecodeCostMs() const { return decodeCostMs_; }
  void SetDecodeCost(std::int64_t milliseconds) { decodeCostMs_ = milliseconds; }
  // Runs after each change of a window's opacity, to look at the screen then.
  std::function<void(WindowHandle, std::uint8_t)> afterAlphaChange;
  // Runs when a process has just failed to open a mutex: another process can
  // make it right then, as when two start at the same moment.
  std::function<void(const std::string&)> afterFailedMutexOpen;
  // No timer can be started while set.
  bool TimersExhausted() const { return timersExhausted_; }
  // A process id of its own for each simulated process.
  std::uint32_t NewProcessId() { return nextProcessId_++; }
  void SetTimersExhausted(bool exhausted) { timersExhausted_ = exhausted; }
  // No window of a process can be made while set, as when the desktop's
  // window handles have run out.
  void SetWindowsExhausted(bool exhausted) { windowsExhausted_ = exhausted; }

  // --- Input, delivered to the queue of the window's process ----------------
  void PressKey(WindowHandle window, std::uint16_t virtualKey, char character = 0);
  void MoveMouse(WindowHandle window, Point clientPoint);
  void PressMouse(WindowHandle window, Point clientPoint, std::uint32_t buttonMessage = kMsgLButtonDown);
  // A click on a button or panel: its parent hears of it.
  void ClickControl(WindowHandle control);
  // The user's typing replaces an edit's text.
  void TypeInto(WindowHandle control, const std::string& text);
  // An arrow of an up-down, +1 or -1 steps: the position moves within the
  // range, without wrapping, and the attached edit shows it.
  void StepUpDown(WindowHandle control, int steps);
  Point CursorPos() const { return cursor_; }
  void SetCursorPos(Point at) { cursor_ = at; }

  // --- Named mutexes -----------------------------------------------------
  bool MutexExists(const std::string& name) const;
  void AddMutexReference(const std::string& name);
  void DropMutexReference(const std::string& name);

  // --- Folders -----------------------------------------------------------
  // Desktop paths ("C:\Users\...") map below this host folder.
  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path HostPath(const std::string& desktopPath) const;
  std::string SpecialFolder(int folder) const;
  // Writes to this file, or to anything below this folder, fail from now on.
  void SetReadOnly(const std::string& desktopPath) { readOnly_.push_back(HostPath(desktopPath)); }
  bool IsReadOnly(const std::filesystem::path& host) const;
  // The file or folder is shown hidden, or cannot be opened at all, from now on.
  void SetHidden(const std::string& desktopPath) { hidden_.push_back(HostPath(desktopPath)); }
  bool IsHidden(const std::filesystem::path& host) const;
  void SetUnreadable(const std::string& desktopPath) { unreadable_.push_back(HostPath(desktopPath)); }
  bool IsUnreadable(const std::filesystem::path& host) const;
  // What the user picks in the next folder dialogs, in turn (nothing: Cancel),
  // and how each was opened.
  std::vector<std::optional<std::string>> folderChoices;
  struct FolderDialogRecord {
    WindowHandle owner;
    std::string title;
    std::string start;
  };
  std::vector<FolderDialogRecord> folderDialogs;
  // Files opened so far for reading, whole or in part, as desktop paths.
  std::vector<std::string> filesRead;
  void SetSpecialFolder(int folder, const std::string& desktopPath);
  // When a file was last modified, local time: kDefaultModifiedTime unless a
  // test sets it; nothing for a file that is missing or cannot be opened.
  static constexpr DateTime kDefaultModifiedTime{2025, 6, 14, 10, 30, 0, 0};
  void SetModifiedTime(const std::string& desktopPath, const DateTime& time) {
    modifiedTimes_[HostPath(desktopPath)] = time;
  }
  std::optional<DateTime> ModifiedTime(const std::string& desktopPath) const;

  // --- The user's locale ---------------------------------------------------
  // The long date form: "9 December 2026" unless a test stands for another locale.
  void SetLongDate(std::function<std::string(const DateTime&)> format) { longDate_ = std::move(format); }
  std::string LongDate(const DateTime& date) const;

  // --- What the saver did ----------------------------------------------------
  struct MessageBoxRecord {
    std::string text;
    std::string caption;
    std::uint32_t flags;
  };
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<std::string> openedAddresses;
  // Memory for bitmaps, reused as an allocator would.
  std::vector<ColorRef> TakePixelBuffer(std::size_t size);
  void ReturnPixelBuffer(std::vector<ColorRef>&& buffer);

  // Drawing contexts taken and not yet given back, and bitmaps alive.
  int openContexts = 0;
  WindowHandle focus = kNoWindow;
  int liveBitmaps = 0;

 private:
  void Deliver(WindowHandle window, std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam);
  void ResizePixels(SimWindow& window);

  std::int64_t alphaChangeCostMs_ = 0;
  std::int64_t listCostMs_ = 0;
  std::int64_t readCostMs_ = 0;
  std::int64_t decodeCostMs_ = 0;
  bool timersExhausted_ = false;
  bool windowsExhausted_ = false;
  std::uint32_t nextProcessId_ = 1000;

  std::vector<Rect> monitors_;
  std::vector<std::int32_t> dpis_;
  std::size_t primary_ = 0;
  int displayBits_ = 32;
  std::int64_t nowMs_ = 0;
  std::int64_t wallOffsetMs_ = 0;
  std::int64_t utcOffsetMs_ = 0;
  std::int64_t clockLimitMs_ = 10 * 60 * 1000;
  std::multimap<std::int64_t, std::function<void()>> happenings_;
  DateTime start_;
  std::map<WindowHandle, SimWindow> windows_;
  std::vector<WindowHandle> zOrder_;
  WindowHandle nextHandle_ = 0x10020;
  WindowHandle desktopWindow_ = kNoWindow;
  Point cursor_;
  std::map<std::string, int> mutexes_;
  std::filesystem::path root_;
  std::map<int, std::string> specialFolders_;
  std::vector<std::filesystem::path> readOnly_;
  std::vector<std::filesystem::path> hidden_;
  std::vector<std::filesystem::path> unreadable_;
  std::map<std::filesystem::path, DateTime> modifiedTimes_;
  std::function<std::string(const DateTime&)> longDate_;
  std::vector<std::vector<ColorRef>> spareBuffers_;
};

}  // namespace orvanel::platform::sim
