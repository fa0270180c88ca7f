#pragma once
// The desktop services on a Linux desktop, X11 or Wayland, through GTK 3;
// what is the window system's own is asked of a WindowSystem.
//
// The saver's full-screen windows are kept here as pixels, a place, an
// opacity and a stacking order. With an X compositing manager each is shown
// as a window of its own at its own opacity. Otherwise they are shown through
// one output per screen area (each monitor, or the one window a host such as
// XScreenSaver gave the saver), whose frame is the windows composed over the
// desktop in software. A window with a caption (the settings dialog) is a
// real GTK window with real widgets. A preview's window inside another
// program's window only has to exist there: the saver draws on the host.
//
// Input, clicks, timers and posted messages meet in one queue in the order
// the core's message loop expects from a desktop.
#include <gtkmm.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/message_queue.h"
#include "platform/compose/window_stack.h"
#include "platform/gtk/native_window.h"
#include "platform/gtk/screen_output.h"
#include "platform/gtk/surface_drawing.h"

namespace orvanel::platform::gtk {

class GtkDesktop : public Desktop {
 public:
  // `commandLine` is the Windows form the core reads; `hostWindow` the
  // window of ScreenHost::kForeignWindow, 0 for the desktop's own window;
  // `ownWindow` the window to make for ScreenHost::kOwnWindow; `system` the
  // window system the toolkit opened.
  GtkDesktop(std::string commandLine, ScreenHost host, std::uint32_t hostWindow, OwnWindowDesign ownWindow,
             std::string moduleFileName, std::unique_ptr<WindowSystem> system);
  ~GtkDesktop() override;
  GtkDesktop(const GtkDesktop&) = delete;
  GtkDesktop& operator=(const GtkDesktop&) = delete;

  std::string CommandLine() override;
  std::string ModuleFileName() override;
  std::uint32_t ProcessId() override;
  ScreenHost Host() override { return host_; }
  WindowHandle HostWindow() override;
  std::string DisplayName() override;
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
  Rect WindowRectForClient(const Rect& client, std::uint32_t style, std::uint32_t exStyle) override;
  void SetWindowPos(WindowHandle window, WindowHandle insertAfter, const Rect& bounds,
                    std::uint32_t flags) override;
  void ShowWindow(WindowHandle window, bool visible) override;
  std::uint32_t Style(WindowHandle window) override;
  std::uint32_t ExStyle(WindowHandle window) override;
  void SetExStyle(WindowHandle window, std::uint32_t exStyle) override;
  bool SetLayeredAlpha(WindowHandle window, std::uint8_t alpha) override;
  WindowHandle FindTopLevelWindow(const std::string& title) override;
  void EnableWindow(WindowHandle window, bool enable) override;
  void FocusWindow(WindowHandle window) override;
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

  TextMask RenderText(const std::string& text, std::int32_t lineHeight) override;
  std::string LongDate(const DateTime& date) override;
  std::optional<DateTime> FileModifiedTime(const std::string& path) override;

  std::unique_ptr<DrawingContext> WindowContext(WindowHandle window) override;
  void EraseBackground(const Message& erase, ColorRef colour) override;
  std::unique_ptr<Bitmap> CreateBitmap(std::int32_t width, std::int32_t height) override;
  std::unique_ptr<Bitmap> CreatePictureBitmap(std::int32_t width, std::int32_t height) override;
  std::unique_ptr<Bitmap> CreatePhotoBitmap(std::int32_t width, std::int32_t height) override;
  std::unique_ptr<DrawingContext> BitmapContext(Bitmap& bitmap) override;
  void PaintFrom(const Message& paint, const Bitmap& content) override;

  int ShowCursor(bool show) override;
  void SetCursorPos(Point at) override;
  void CaptureInput(WindowHandle window) override;
  void ReleaseInput() override;

  bool PostToWindow(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  std::optional<Message> TakeMessage() override;
  void TranslateInput(const Message& message) override;
  bool HandleDialogKey(WindowHandle window, const Message& message) override;
  void DispatchToWindow(const Message& message) override;
  void PostQuit(int exitCode) override;
  bool WaitForMessage() override;
  bool StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) override;
  void StopTimer(WindowHandle window, std::uintptr_t id) override;

  std::uint32_t SleepUntilMessage(std::uint32_t milliseconds, bool alertable) override;
  void BeginFineTimerResolution() override {}
  void EndFineTimerResolution() override {}
  DateTime LocalTime() override;
  DateTime SystemTime() override;

  std::uintptr_t OpenNamedMutex(const std::string& name) override;
  std::uintptr_t CreateNamedMutex(const std::string& name, bool& existed) override;
  void ReleaseNamedMutex(std::uintptr_t mutex) override;
  void CloseNamedMutex(std::uintptr_t mutex) override;

  std::string SpecialFolder(int folder) override;
  bool FolderExists(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  FolderListing ListFolder(const std::string& path) override;
  // A thread of the standard library's; what a step tells joins the queue
  // through the toolkit's main loop, which it wakes.
  std::unique_ptr<WorkThread> StartWorkThread(WorkThread::Step step, WindowHandle window,
                                              std::uint32_t id) override;
  std::optional<std::size_t> ReadFilePart(const std::string& path, std::uint64_t offset,
                                          std::span<std::uint8_t> into) override;
  std::string ReadIniString(const std::string& path, const std::string& section,
                            const std::string& key) override;
  bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value) override;
  void ShellOpen(const std::string& address) override;
  std::optional<std::string> ChooseFolder(WindowHandle owner, const std::string& title,
                                          const std::string& start) override;

  std::optional<std::span<const std::uint8_t>> FindModuleResource(const std::string& name,
                                                                  const std::string& type) override;
  void ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags,
                      WhileBoxShows& whileShown) override;

  // --- For the outputs --------------------------------------------------------
  // The saver's visible full-screen windows over a screen area, bottom first.
  std::vector<compose::Layer> LayersOver(const Rect& area);
  // Input that reached an output, in screen coordinates.
  void PointerMoved(Point screen);
  void ButtonPressed(Point screen, std::uint32_t message);
  void KeyPressed(std::uint16_t virtualKey, char character, bool alt);
  // Whether the window the saver gave the input to shows through this view,
  // or over this output's area, while nothing holds the input yet.
  bool CaptureGoesTo(WindowHandle view) const;
  bool CaptureGoesOver(const Rect& area) const;
  // Takes the keyboard and the pointer for the saver, on a window now
  // mapped, and reports where the pointer is; true when they were taken.
  bool GrabInput(GdkWindow* window);
  // The window that held them is going.
  void UngrabInput();
  // Tells the window under the pointer where it is.
  void ReportPointer();
  // A window's client pixels, for its view.
  cairo_surface_t* PixelsOf(WindowHandle handle);
  // An output's frame is out of date: it is painted where the saver next
  // waits, or after a short while if it does not wait.
  void PaintSoon();
  // The starting program asks the saver to end (SIGTERM, a closed try-out
  // window): a close request to each of the saver's top-level windows.
  void RequestClose();
  // The window another program gave the saver to show in is gone.
  void HostWindowGone();

 private:
  NativeWindow* Find(WindowHandle handle);
  bool IsOwn(WindowHandle handle) const { return windows_.count(handle) != 0; }
  bool Composed(const NativeWindow& window) const;
  void Changed(NativeWindow& window);
  // The outputs show what the windows are now; only those over `changed`
  // are composed again, all when none is given.
  void Refresh(const std::optional<Rect>& changed = std::nullopt);
  void SetUpOutputs();
  // Paints every output whose frame is out of date.
  void PaintOutputs();
  void ShowDialog(NativeWindow& window);
  void PlaceDialog(NativeWindow& window);
  // Moves the dialog's focus to the next (1) or previous (-1) control that takes it.
  void MoveFocus(NativeWindow& form, int step);
  void MakeWidget(NativeWindow& parent, NativeWindow& control, const ControlRequest& request);
  // Places a control's widget at its bounds, with its font.
  void LayOutWidget(NativeWindow& parent, NativeWindow& control);
  NativeWindow* UpDownOf(WindowHandle edit);
  // The GTK window of a dialog that has shown, or null.
  Gtk::Window* DialogOf(WindowHandle window);
  std::unique_ptr<Gtk::Widget> MakeSpinButton(NativeWindow& upDown, const ControlRequest& request);
  void StepUpDown(NativeWindow& upDown, int delta);
  compose::StackedWindow Stacked(WindowHandle handle) const;
  std::uint32_t Now() const;
  void Post(const Message& message) { queue_.Post(message); }
  void Pump();
  // A message, a quit or a timer's tick is waiting to be taken.
  bool MessageWaiting() const;
  // One pass of the toolkit's main loop that sleeps at most `spanNs`
  // nanoseconds when no source is ready: what became ready in that time is
  // dispatched.
  void PollSources(std::int64_t spanNs);
  std::string LockPath(const std::string& name) const;

  std::string commandLine_;
  ScreenHost host_;
  std::uint32_t hostWindow_;
  OwnWindowDesign ownWindow_;
  std::string moduleFileName_;
  std::unique_ptr<WindowSystem> system_;
  std::map<WindowHandle, NativeWindow> windows_;
  // The top-level windows.
  compose::WindowStack stack_{[this](WindowHandle handle) { return Stacked(handle); }};
  WindowHandle nextHandle_;
  WindowHandle active_ = kNoWindow;
  // The monitors, or the one host window; with a compositing manager the
  // windows show themselves and there are no outputs.
  std::vector<Rect> monitors_;
  bool composited_ = false;
  WindowHandle captureWindow_ = kNoWindow;  // the window the saver gave the input to
  bool inputGrabbed_ = false;
  std::vector<std::unique_ptr<ScreenOutput>> outputs_;
  guint latePaint_ = 0;  // paints outputs that no wait has painted
  std::unique_ptr<Gtk::Window> ownHost_;  // the try-out window
  MessageQueue queue_;
  std::vector<WindowHandle> lost_;  // destroyed by X, still to be ended here
  std::vector<GPollFD> pollFds_;    // what the toolkit's sources wait on
  gint64 polledAtUs_ = 0;           // when a pass last went over them; 0 once a look was spared
  std::int64_t lastClockReadingMs_ = 0;  // the real-time clock's, at the last LocalTime
  struct Timer {
    guint source = 0;
    bool due = false;
  };
  std::map<std::pair<WindowHandle, std::uintptr_t>, Timer> timers_;
  // Work threads still running a step their owner could not wait for.
  std::shared_ptr<std::atomic<int>> abandonedWork_ = std::make_shared<std::atomic<int>>(0);
  int cursorCount_ = 0;
  Point cursor_;
  struct HeldMutex {
    int fd;  // holding the read lock
    std::string path;
  };
  std::map<std::uintptr_t, HeldMutex> mutexes_;
  std::uintptr_t nextMutex_ = 1;
  Glib::RefPtr<Gtk::CssProvider> formStyle_;
  WindowHandle settingCheck_ = kNoWindow;  // a check box the saver is setting
  guint terminateSource_ = 0;
  guint interruptSource_ = 0;
};

}  // namespace orvanel::platform::gtk
