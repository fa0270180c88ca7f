#pragma once
// One saver process on a simulated desktop: the `Desktop` the core talks to.
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/message_queue.h"
#include "platform/work_thread.h"
#include "platform/sim/sim_desktop.h"

namespace orvanel::platform::sim {

class SimWork;

class SimProcess : public Desktop {
 public:
  // `commandLine` is the whole line, the module's name first.
  SimProcess(SimDesktop& desktop, std::string commandLine,
             std::string moduleFileName = "C:\\Windows\\orvanel.scr");
  ~SimProcess() override;

  SimDesktop& World() { return desktop_; }

  // --- Test view ---------------------------------------------------------
  int CursorCounter() const { return cursorCounter_; }
  bool QuitPosted() const { return queue_.QuitPending(); }
  std::size_t QueuedMessages() const { return queue_.PostedCount(); }
  // A resource of this process, in place of the module's own of that name.
  void AddResource(const std::string& name, const std::string& type,
                   std::vector<std::uint8_t> bytes);
  // Takes a resource out of the module.
  void RemoveResource(const std::string& name, const std::string& type);
  // Makes the next alertable sleep end with an I/O completion.
  void QueueIoCompletion() { ioCompletionPending_ = true; }
  // Sleeps the process has begun.
  int Sleeps() const { return sleeps_; }
  // Windows this process made, oldest first.
  std::vector<WindowHandle> OwnWindows() const;
  // Those of them that are not children or controls.
  std::vector<WindowHandle> TopLevelWindows() const;
  void Enqueue(const Message& message) { queue_.Post(message); }
  // What the program that started the saver does to end it (a termination
  // signal): a close request to each of the process's top-level windows.
  void RequestClose();
  // What the desktop tells when the window it gave the saver to show in
  // (ScreenHost::kForeignWindow) is destroyed.
  void HostWindowGone();
  // The window that took the keyboard and the pointer, while they are taken.
  WindowHandle CapturedWindow() const { return capturedWindow_; }
  // Where the saver shows: the monitors unless a test says otherwise.
  void SetHost(ScreenHost host, WindowHandle window = kNoWindow) {
    host_ = host;
    hostWindow_ = window;
  }
  // Empty, as on Windows, unless a test names a display.
  void SetDisplayName(std::string name) { displayName_ = std::move(name); }
  // The lines written to the starting program's log.
  const std::vector<std::string>& HostLog() const { return hostLog_; }

  // --- Desktop -----------------------------------------------------------
  std::string CommandLine() override { return commandLine_; }
  std::string ModuleFileName() override { return moduleFileName_; }
  std::uint32_t ProcessId() override { return processId_; }
  ScreenHost Host() override { return host_; }
  WindowHandle HostWindow() override { return hostWindow_; }
  std::string DisplayName() override { return displayName_; }
  void WriteToHostLog(const std::string& line) override;
  std::vector<Rect> MonitorRects() override;
  std::int32_t Metric(SystemMetric which) override;
  std::int32_t MonitorDpi(const Rect& area) override;

  WindowHandle CreateNativeWindow(const WindowRequest& request) override;
  void DestroyNativeWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  WindowHandle DesktopWindow() override;
  Rect WindowRect(WindowHandle window) override;
  Rect ClientRect(WindowHandle window) override;
  Rect WindowRectForClient(const Rect& client, std::uint32_t style,
                           std::uint32_t exStyle) override;
  void SetWindowPos(WindowHandle window, WindowHandle insertAfter, const Rect& bounds,
                    std::uint32_t flags) override;
  void ShowWindow(WindowHandle window, bool visible) override;
  std::uint32_t Style(WindowHandle window) override;
  std::uint32_t ExStyle(WindowHandle window) override;
  void SetExStyle(WindowHandle window, std::uint32_t exStyle) override;
  bool SetLayeredAlpha(WindowHandle window, std::uint8_t alpha) override;
  WindowHandle FindTopLevelWindow(const std::string& title) override;
  void EnableWindow(WindowHandle window, bool enable) override;
  void FocusWindow(WindowHandle window) override { desktop_.focus = window; }
  bool IsWindowEnabled(WindowHandle window) override;
  ColorRef SystemColor(int index) override;

  WindowHandle CreateControl(WindowHandle parent, const ControlRequest& request) override;
  std::string ControlText(WindowHandle control) override;
  void SetControlText(WindowHandle control, const std::string& text) override;
  bool IsChecked(WindowHandle control) override;
  void SetChecked(WindowHandle control, bool checked) override;
  void SetUpDownRange(WindowHandle control, std::int16_t low, std::int16_t high) override;
  std::int16_t UpDownPosition(WindowHandle control) override;
  void SetUpDownPosition(WindowHandle control, std::int16_t position) override;
  void SetControlLayout(WindowHandle control, const Rect& bounds, const std::string& fontName,
                        std::int32_t fontHeight) override;
  std::int32_t ChosenIndex(WindowHandle control) override;
  void SetChosenIndex(WindowHandle control, std::int32_t index) override;

  // Each code point a cell lineHeight / 2 wide (at least 1); a space's cell
  // empty, any other's covered but for its last column and the top and
  // bottom lineHeight / 5 rows.
  TextMask RenderText(const std::string& text, std::int32_t lineHeight) override;
  std::string LongDate(const DateTime& date) override { return desktop_.LongDate(date); }
  std::optional<DateTime> FileModifiedTime(const std::string& path) override {
    return desktop_.ModifiedTime(path);
  }

  std::unique_ptr<DrawingContext> WindowContext(WindowHandle window) override;
  void EraseBackground(const Message& erase, ColorRef colour) override;
  std::unique_ptr<Bitmap> CreateBitmap(std::int32_t width, std::int32_t height) override;
  std::unique_ptr<Bitmap> CreatePictureBitmap(std::int32_t width, std::int32_t height) override;
  std::unique_ptr<Bitmap> CreatePhotoBitmap(std::int32_t width, std::int32_t height) override;
  std::unique_ptr<DrawingContext> BitmapContext(Bitmap& bitmap) override;
  void PaintFrom(const Message& paint, const Bitmap& content) override;

  int ShowCursor(bool show) override;
  void SetCursorPos(Point at) override;
  // The simulated pointer tells only of the moves a test makes.
  void CaptureInput(WindowHandle window) override { capturedWindow_ = window; }
  void ReleaseInput() override { capturedWindow_ = kNoWindow; }

  bool PostToWindow(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  std::optional<Message> TakeMessage() override;
  void TranslateInput(const Message& message) override;
  // Tab moves the focus to the next visible, enabled control that takes it,
  // in the order they were made; Up and Down move a focused choice list's
  // choice within its items. Other keys are left to the window.
  bool HandleDialogKey(WindowHandle window, const Message& message) override;
  void DispatchToWindow(const Message& message) override;
  void PostQuit(int exitCode) override;
  bool WaitForMessage() override;
  bool StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) override;
  void StopTimer(WindowHandle window, std::uintptr_t id) override;

  std::uint32_t SleepUntilMessage(std::uint32_t milliseconds, bool alertable) override;
  void BeginFineTimerResolution() override { ++fineTimerRequests_; }
  void EndFineTimerResolution() override { --fineTimerRequests_; }
  int FineTimerRequests() const { return fineTimerRequests_; }
  DateTime LocalTime() override { return desktop_.LocalTime(); }
  DateTime SystemTime() override { return desktop_.SystemTime(); }

  std::uintptr_t OpenNamedMutex(const std::string& name) override;
  std::uintptr_t CreateNamedMutex(const std::string& name, bool& existed) override;
  void ReleaseNamedMutex(std::uintptr_t mutex) override;
  void CloseNamedMutex(std::uintptr_t mutex) override;

  std::string SpecialFolder(int folder) override { return desktop_.SpecialFolder(folder); }
  bool FolderExists(const std::string& path) override;
  FolderListing ListFolder(const std::string& path) override;
  std::optional<std::string> ChooseFolder(WindowHandle owner, const std::string& title,
                                          const std::string& start) override;
  std::optional<std::size_t> ReadFilePart(const std::string& path, std::uint64_t offset,
                                          std::span<std::uint8_t> into) override;
  bool CreateFolder(const std::string& path) override;
  std::string ReadIniString(const std::string& path, const std::string& section,
                            const std::string& key) override;
  bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value) override;
  void ShellOpen(const std::string& address) override;

  std::optional<std::span<const std::uint8_t>> FindModuleResource(const std::string& name,
                                                                  const std::string& type) override;
  // Recorded and answered at once.
  void ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags,
                      WhileBoxShows& whileShown) override;

  // A work thread's steps run here, on the one thread, each when virtual
  // time reaches the moment the work thread would begin it: the listing,
  // reading and decoding costs the desktop sets are counted in the work
  // thread's time, not the process's, and what a step tells arrives when
  // its step would have ended.
  std::unique_ptr<WorkThread> StartWorkThread(WorkThread::Step step, WindowHandle window,
                                              std::uint32_t id) override;

  // Mutex handles this process holds, by handle.
  const std::map<std::uintptr_t, std::string>& MutexHandles() const { return mutexHandles_; }

 private:
  struct SimTimer {
    WindowHandle window;
    std::uintptr_t id;
    std::uint32_t interval;
    std::int64_t dueMs;
  };
  SimTimer* NextDueTimer();
  bool MessageWaiting();
  friend class SimWork;
  // Runs the work steps that are due and moves what they told into the queue once due.
  void CatchUpWork();
  // The next virtual moment at which work begins a step or what it told arrives.
  std::optional<std::int64_t> NextWorkMoment() const;
  // Virtual time spent by the desktop: the work thread's when it is the one
  // running, else the process's.
  void Spend(std::int64_t milliseconds);

  SimDesktop& desktop_;
  std::string commandLine_;
  std::string moduleFileName_;
  std::uint32_t processId_;
  ScreenHost host_ = ScreenHost::kMonitors;
  WindowHandle hostWindow_ = kNoWindow;
  std::string displayName_;
  std::vector<std::string> hostLog_;
  MessageQueue queue_;
  std::vector<SimTimer> timers_;
  int cursorCounter_ = 0;
  WindowHandle capturedWindow_ = kNoWindow;
  int fineTimerRequests_ = 0;
  bool ioCompletionPending_ = false;
  int sleeps_ = 0;
  std::map<std::uintptr_t, std::string> mutexHandles_;
  std::uintptr_t nextMutexHandle_ = 4;
  // The module's resources: its own table, then what a test put in or took out.
  std::map<std::pair<std::string, std::string>, std::span<const std::uint8_t>> resources_;
  std::map<std::pair<std::string, std::string>, std::vector<std::uint8_t>> addedBytes_;
  std::vector<SimWork*> works_;
  SimWork* runningWork_ = nullptr;
  std::int64_t runningCostMs_ = 0;
  std::multimap<std::int64_t, Message> told_;  // by the moment each arrives
};

}  // namespace orvanel::platform::sim
