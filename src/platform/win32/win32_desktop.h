#pragma once
// The desktop services on the real Windows API.
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "platform/desktop.h"
#include "platform/win32/handles.h"

namespace orvanel::platform::win32 {

class Win32Desktop : public Desktop {
 public:
  explicit Win32Desktop(HINSTANCE instance);
  ~Win32Desktop() override;

  std::string CommandLine() override;
  std::string ModuleFileName() override;
  std::uint32_t ProcessId() override { return GetCurrentProcessId(); }
  // The screen-saver host of Windows gives the saver the monitors, and keeps
  // named mutexes per session itself.
  ScreenHost Host() override { return ScreenHost::kMonitors; }
  WindowHandle HostWindow() override { return kNoWindow; }
  std::string DisplayName() override { return {}; }
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
  void BeginFineTimerResolution() override;
  void EndFineTimerResolution() override;
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
  // A thread of the standard library's; what a step tells is posted to the window.
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

 private:
  using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

  const char* RegisterClassNamed(const std::string& className);

  HINSTANCE instance_;
  SetLayeredWindowAttributesFn setLayeredWindowAttributes_ = nullptr;
  std::map<std::string, ATOM> classes_;
  HFONT Font(const std::string& name, std::int32_t height);

  std::map<std::pair<std::string, std::int32_t>, ScopedGdiObject<HFONT>> fonts_;
  int nextControlId_ = 100;
  // Work threads still running a step their owner could not wait for.
  std::shared_ptr<std::atomic<int>> abandonedWork_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace orvanel::platform::win32
