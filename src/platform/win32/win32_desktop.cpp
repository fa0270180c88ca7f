#include "platform/win32/win32_desktop.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <timeapi.h>

#include <array>
#include <utility>

#include "platform/win32/win32_drawing.h"

namespace orvanel::platform::win32 {
namespace {

// Window handles carry 32 significant bits; they travel sign-extended.
HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
}
WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}

Rect FromRECT(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

DateTime FromSYSTEMTIME(const SYSTEMTIME& t) {
  return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// Ties each native window to its procedure once, at WM_NCCREATE; the
// procedure turns the message into the form framework's terms.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT id, WPARAM wParam, LPARAM lParam) {
  auto* procedure = reinterpret_cast<WindowProcedure*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (id == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    procedure = static_cast<WindowProcedure*>(create->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(procedure));
  }
  if (id == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  if (procedure != nullptr) {
    const DWORD at = GetMessagePos();
    Message message{FromHwnd(hwnd),
                          id,
                          static_cast<std::uintptr_t>(wParam),
                          static_cast<std::intptr_t>(lParam),
                          static_cast<std::uint32_t>(GetMessageTime()),
                          Point{static_cast<std::int16_t>(LOWORD(at)),
                                static_cast<std::int16_t>(HIWORD(at))}};
    // The suggested bounds travel as the framework's own rectangle.
    Rect suggested;
    if (id == WM_DPICHANGED) {
      suggested = FromRECT(*reinterpret_cast<const RECT*>(lParam));
      message.lParam = reinterpret_cast<std::intptr_t>(&suggested);
    }
    std::intptr_t result = 0;
    if (procedure->HandleMessage(message, result)) return result;
  }
  return DefWindowProcA(hwnd, id, wParam, lParam);
}

// A drop-down list's window reaches below its closed field by this many
// items, where the list shows when dropped.
constexpr int kDroppedItems = 4;

bool IsChoiceList(HWND control) {
  char className[16] = {};
  return GetClassNameA(control, className, sizeof(className)) > 0 && lstrcmpiA(className, "COMBOBOX") == 0;
}

// Places a control at `bounds`; a drop-down list's window is made taller by
// its dropped list, its closed field keeping the height its font gives it.
void PlaceControl(HWND control, const Rect& bounds) {
  int height = bounds.Height();
  if (IsChoiceList(control)) {
    const auto item = static_cast<int>(SendMessageA(control, CB_GETITEMHEIGHT, 0, 0));
    if (item > 0) height += kDroppedItems * item + 2;
  }
  ::SetWindowPos(control, nullptr, bounds.left, bounds.top, bounds.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<Rect>*>(data)->push_back(FromRECT(info.rcMonitor));
  }
  return TRUE;
}

}  // namespace

Win32Desktop::Win32Desktop(HINSTANCE instance) : instance_(instance) {
  const HMODULE user32 = GetModuleHandleA("User32.dll");
  if (user32 != nullptr) {
    setLayeredWindowAttributes_ = reinterpret_cast<SetLayeredWindowAttributesFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

HFONT Win32Desktop::Font(const std::string& name, std::int32_t height) {
  auto& font = fonts_[{name, height}];
  if (font.get() == nullptr) {
    font = ScopedGdiObject<HFONT>(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                              name.c_str()));
  }
  return font.get();
}

Win32Desktop::~Win32Desktop() {
  // A work thread still decoding reads its own memory alone; the process
  // ends under it rather than tear down what it might yet touch. Ended at
  // once: ExitProcess would end that thread wherever it is, then have the
  // libraries detach, which waits for any lock it held.
  if (*abandonedWork_ > 0) TerminateProcess(GetCurrentProcess(), 0);
  for (const auto& [name, atom] : classes_) UnregisterClassA(name.c_str(), instance_);
}

std::string Win32Desktop::CommandLine() { return GetCommandLineA(); }

// A program without a console logs to the debugger.
void Win32Desktop::WriteToHostLog(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }

std::string Win32Desktop::ModuleFileName() {
  std::array<char, 262> name{};
  const DWORD length = GetModuleFileNameA(nullptr, name.data(), 261);
  return std::string(name.data(), length);
}

std::vector<Rect> Win32Desktop::MonitorRects() {
  std::vector<Rect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

std::int32_t Win32Desktop::Metric(SystemMetric which) {
  return GetSystemMetrics(static_cast<int>(which));
}

std::int32_t Win32Desktop::MonitorDpi(const Rect& area) {
  const RECT rect{area.left, area.top, area.right, area.bottom};
  const HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY);
  // A monitor's own DPI from Windows 8.1 on, through shcore.dll, which
  // Windows 7 lacks; the system's one DPI before.
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  const ScopedLibrary shcore(LoadLibraryA("shcore.dll"));
  const auto getDpi = shcore.get() != nullptr
                          ? reinterpret_cast<GetDpiForMonitorFunction>(
                                reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor")))
                          : nullptr;
  UINT x = 0;
  UINT y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (getDpi != nullptr && SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && x > 0) {
    return static_cast<std::int32_t>(x);
  }
  const ScopedWindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

// --- Windows ---------------------------------------------------------------------

const char* Win32Desktop::RegisterClassNamed(const std::string& className) {
  auto [it, added] = classes_.try_emplace(className, 0);
  if (added) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hIcon = LoadIconA(instance_, "MAINICON");
    wc.lpszClassName = it->first.c_str();
    it->second = RegisterClassExA(&wc);
  }
  return it->first.c_str();
}

WindowHandle Win32Desktop::CreateNativeWindow(const WindowRequest& request) {
  const char* className = RegisterClassNamed(request.className);
  const auto create = [&](DWORD exStyle) {
    return CreateWindowExA(exStyle, className, request.caption.c_str(), request.style, request.bounds.left,
                           request.bounds.top, request.bounds.Width(), request.bounds.Height(),
                           ToHwnd(request.parent), nullptr, instance_, request.procedure);
  };
  HWND window = create(request.exStyle);
  if (window == nullptr && (request.style & WS_CHILD) != 0 && (request.exStyle & WS_EX_LAYERED) != 0) {
    // Layered child windows need a system that has them.
    window = create(request.exStyle & ~static_cast<DWORD>(WS_EX_LAYERED));
  }
  return FromHwnd(window);
}

void Win32Desktop::DestroyNativeWindow(WindowHandle window) { DestroyWindow(ToHwnd(window)); }

bool Win32Desktop::IsWindow(WindowHandle window) { return ::IsWindow(ToHwnd(window)) != FALSE; }

WindowHandle Win32Desktop::DesktopWindow() { return FromHwnd(GetDesktopWindow()); }

Rect Win32Desktop::WindowRect(WindowHandle window) {
  RECT r{};
  GetWindowRect(ToHwnd(window), &r);
  return FromRECT(r);
}

Rect Win32Desktop::ClientRect(WindowHandle window) {
  RECT r{};
  GetClientRect(ToHwnd(window), &r);
  return FromRECT(r);
}

Rect Win32Desktop::WindowRectForClient(const Rect& client, std::uint32_t style,
                                       std::uint32_t exStyle) {
  RECT r{client.left, client.top, client.right, client.bottom};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return FromRECT(r);
}

void Win32Desktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, const Rect& bounds,
                                std::uint32_t flags) {
  ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), bounds.left, bounds.top, bounds.Width(),
                 bounds.Height(), flags);
}

void Win32Desktop::ShowWindow(WindowHandle window, bool visible) {
  const HWND hwnd = ToHwnd(window);
  const bool child = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0;
  ::ShowWindow(hwnd, !visible ? SW_HIDE : child ? SW_SHOW : SW_SHOWNORMAL);
}

std::uint32_t Win32Desktop::Style(WindowHandle window) {
  return static_cast<std::uint32_t>(GetWindowLongA(ToHwnd(window), GWL_STYLE));
}

std::uint32_t Win32Desktop::ExStyle(WindowHandle window) {
  return static_cast<std::uint32_t>(GetWindowLongA(ToHwnd(window), GWL_EXSTYLE));
}

void Win32Desktop::SetExStyle(WindowHandle window, std::uint32_t exStyle) {
  SetWindowLongA(ToHwnd(window), GWL_EXSTYLE, static_cast<LONG>(exStyle));
}

bool Win32Desktop::SetLayeredAlpha(WindowHandle window, std::uint8_t alpha) {
  if (setLayeredWindowAttributes_ == nullptr) return false;
  return setLayeredWindowAttributes_(ToHwnd(window), 0, alpha, LWA_ALPHA) != FALSE;
}

WindowHandle Win32Desktop::FindTopLevelWindow(const std::string& title) {
  return FromHwnd(FindWindowExA(nullptr, nullptr, nullptr, title.c_str()));
}

void Win32Desktop::EnableWindow(WindowHandle window, bool enable) {
  ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE);
}

void Win32Desktop::FocusWindow(WindowHandle window) { SetFocus(ToHwnd(window)); }

bool Win32Desktop::IsWindowEnabled(WindowHandle window) {
  return ::IsWindowEnabled(ToHwnd(window)) != FALSE;
}

ColorRef Win32Desktop::SystemColor(int index) { return GetSysColor(index); }

// --- Controls --------------------------------------------------------------------

WindowHandle Win32Desktop::CreateControl(WindowHandle parent, const ControlRequest& request) {
  const char* className = "STATIC";
  DWORD style = WS_CHILD | (request.visible ? WS_VISIBLE : 0);
  DWORD exStyle = 0;
  switch (request.kind) {
    case ControlKind::kLabel:
      style |= SS_LEFT;
      break;
    case ControlKind::kEdit:
      className = "EDIT";
      style |= WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
      break;
    case ControlKind::kUpDown:
      className = UPDOWN_CLASSA;
      style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
      break;
    case ControlKind::kCheckBox:
      className = "BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ControlKind::kButton:
      className = "BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::kPanel:
      style |= WS_TABSTOP | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY;
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
    case ControlKind::kChoiceList:
      className = "COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
  }
  const HWND control =
      CreateWindowExA(exStyle, className, request.text.c_str(), style, request.bounds.left,
                      request.bounds.top, request.bounds.Width(), request.bounds.Height(), ToHwnd(parent),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId_++)), instance_,
                      nullptr);
  if (control == nullptr) return kNoWindow;
  if (!request.fontName.empty()) {
    SendMessageA(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(Font(request.fontName, request.fontHeight)), FALSE);
  }
  if (request.kind == ControlKind::kUpDown && request.buddy != kNoWindow) {
    SendMessageA(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(ToHwnd(request.buddy)), 0);
  }
  if (request.kind == ControlKind::kChoiceList) {
    for (const auto& choice : request.choices) {
      SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    }
    // Its items' height is known once it has its font.
    PlaceControl(control, request.bounds);
  }
  return FromHwnd(control);
}

std::string Win32Desktop::ControlText(WindowHandle control) {
  const HWND hwnd = ToHwnd(control);
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Win32Desktop::SetControlText(WindowHandle control, const std::string& text) {
  SetWindowTextA(ToHwnd(control), text.c_str());
}

bool Win32Desktop::IsChecked(WindowHandle control) {
  return SendMessageA(ToHwnd(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Desktop::SetChecked(WindowHandle control, bool checked) {
  SendMessageA(ToHwnd(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Desktop::SetUpDownRange(WindowHandle control, std::int16_t low, std::int16_t high) {
  SendMessageA(ToHwnd(control), UDM_SETRANGE32, static_cast<WPARAM>(low), high);
}

std::int16_t Win32Desktop::UpDownPosition(WindowHandle control) {
  return static_cast<std::int16_t>(SendMessageA(ToHwnd(control), UDM_GETPOS32, 0, 0));
}

void Win32Desktop::SetUpDownPosition(WindowHandle control, std::int16_t position) {
  SendMessageA(ToHwnd(control), UDM_SETPOS32, 0, position);
}

void Win32Desktop::SetControlLayout(WindowHandle control, const Rect& bounds, const std::string& fontName,
                                    std::int32_t fontHeight) {
  const HWND hwnd = ToHwnd(control);
  if (!fontName.empty()) {
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(fontName, fontHeight)), TRUE);
  }
  PlaceControl(hwnd, bounds);
}

std::int32_t Win32Desktop::ChosenIndex(WindowHandle control) {
  const LRESULT chosen = SendMessageA(ToHwnd(control), CB_GETCURSEL, 0, 0);
  return chosen == CB_ERR ? -1 : static_cast<std::int32_t>(chosen);
}

void Win32Desktop::SetChosenIndex(WindowHandle control, std::int32_t index) {
  SendMessageA(ToHwnd(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// --- Drawing -----------------------------------------------------------------------

std::unique_ptr<DrawingContext> Win32Desktop::WindowContext(WindowHandle window) {
  if (!IsWindow(window)) return nullptr;
  return std::make_unique<Win32Context>(ToHwnd(window));
}

void Win32Desktop::EraseBackground(const Message& erase, ColorRef colour) {
  EraseWindowBackground(ToHwnd(erase.window), reinterpret_cast<HDC>(erase.wParam), colour);
}

std::unique_ptr<Bitmap> Win32Desktop::CreateBitmap(std::int32_t width, std::int32_t height) {
  return CreateDisplayBitmap(width, height);
}

std::unique_ptr<Bitmap> Win32Desktop::CreatePictureBitmap(std::int32_t width, std::int32_t height) {
  return CreateDibBitmap(width, height, 24);
}

std::unique_ptr<Bitmap> Win32Desktop::CreatePhotoBitmap(std::int32_t width, std::int32_t height) {
  return CreateDibBitmap(width, height, 32);
}

std::unique_ptr<DrawingContext> Win32Desktop::BitmapContext(Bitmap& bitmap) {
  return std::make_unique<Win32Context>(static_cast<Win32Bitmap&>(bitmap));
}

void Win32Desktop::PaintFrom(const Message& paint, const Bitmap& content) {
  const HWND window = ToHwnd(paint.window);
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(window, &ps);
  if (dc != nullptr) {
    const auto& source = static_cast<const Win32Bitmap&>(content);
    ScopedMemoryDC sourceDC(dc);
    ScopedSelectObject selected(sourceDC.get(), source.Handle());
    BitBlt(dc, 0, 0, source.Width(), source.Height(), sourceDC.get(), 0, 0, SRCCOPY);
  }
  EndPaint(window, &ps);
}

// --- Cursor ------------------------------------------------------------------------

int Win32Desktop::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void Win32Desktop::SetCursorPos(Point at) { ::SetCursorPos(at.x, at.y); }

// Windows gives the top-most window the keyboard and the pointer, and tells
// a window that appears under the pointer where it is.
void Win32Desktop::CaptureInput(WindowHandle) {}
void Win32Desktop::ReleaseInput() {}

// --- Messages and the timer ------------------------------------------------------------

std::unique_ptr<WorkThread> Win32Desktop::StartWorkThread(WorkThread::Step step, WindowHandle window,
                                                          std::uint32_t id) {
  const HWND target = ToHwnd(window);
  return std::make_unique<ThreadedWork>(
      std::move(step), [target, id](std::uintptr_t value) { PostMessageA(target, id, value, 0); }, abandonedWork_,
      // Below the user-interface thread, so that a decoder never keeps it waiting for a processor.
      [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); });
}

bool Win32Desktop::PostToWindow(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  return PostMessageA(ToHwnd(window), id, wParam, lParam) != FALSE;
}

std::optional<Message> Win32Desktop::TakeMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return std::nullopt;
  return Message{FromHwnd(msg.hwnd),
                 msg.message,
                 static_cast<std::uintptr_t>(msg.wParam),
                 static_cast<std::intptr_t>(msg.lParam),
                 static_cast<std::uint32_t>(msg.time),
                 Point{msg.pt.x, msg.pt.y}};
}

namespace {
MSG ToMSG(const Message& message) {
  MSG msg{};
  msg.hwnd = ToHwnd(message.window);
  msg.message = message.id;
  msg.wParam = static_cast<WPARAM>(message.wParam);
  msg.lParam = static_cast<LPARAM>(message.lParam);
  msg.time = message.time;
  msg.pt = POINT{message.cursor.x, message.cursor.y};
  return msg;
}
}  // namespace

void Win32Desktop::TranslateInput(const Message& message) {
  const MSG msg = ToMSG(message);
  TranslateMessage(&msg);
}

bool Win32Desktop::HandleDialogKey(WindowHandle window, const Message& message) {
  MSG msg = ToMSG(message);
  return IsDialogMessageA(ToHwnd(window), &msg) != FALSE;
}

void Win32Desktop::DispatchToWindow(const Message& message) {
  const MSG msg = ToMSG(message);
  DispatchMessageA(&msg);
}

void Win32Desktop::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

bool Win32Desktop::WaitForMessage() {
  WaitMessage();
  return true;
}

bool Win32Desktop::StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  return SetTimer(ToHwnd(window), id, milliseconds, nullptr) != 0;
}

void Win32Desktop::StopTimer(WindowHandle window, std::uintptr_t id) {
  KillTimer(ToHwnd(window), id);
}

// --- Sleep and clocks -----------------------------------------------------------------

std::uint32_t Win32Desktop::SleepUntilMessage(std::uint32_t milliseconds, bool alertable) {
  // MWMO_INPUTAVAILABLE: a message already in the queue ends the wait too,
  // not only one that arrives after the last look at the queue.
  const DWORD flags = MWMO_INPUTAVAILABLE | (alertable ? MWMO_ALERTABLE : 0);
  return MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, flags) == WAIT_IO_COMPLETION
             ? kWaitIoCompletion
             : 0;
}

void Win32Desktop::BeginFineTimerResolution() { timeBeginPeriod(1); }

void Win32Desktop::EndFineTimerResolution() { timeEndPeriod(1); }

DateTime Win32Desktop::LocalTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return FromSYSTEMTIME(t);
}

DateTime Win32Desktop::SystemTime() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return FromSYSTEMTIME(t);
}

// --- Named mutexes ---------------------------------------------------------------------

std::uintptr_t Win32Desktop::OpenNamedMutex(const std::string& name) {
  return reinterpret_cast<std::uintptr_t>(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()));
}

std::uintptr_t Win32Desktop::CreateNamedMutex(const std::string& name, bool& existed) {
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  existed = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  return reinterpret_cast<std::uintptr_t>(mutex);
}

void Win32Desktop::ReleaseNamedMutex(std::uintptr_t mutex) {
  ReleaseMutex(reinterpret_cast<HANDLE>(mutex));
}

void Win32Desktop::CloseNamedMutex(std::uintptr_t mutex) {
  CloseHandle(reinterpret_cast<HANDLE>(mutex));
}

// --- Folders, INI files, the shell --------------------------------------------------------

std::string Win32Desktop::SpecialFolder(int folder) {
  std::array<char, 264> path{};
  if (FAILED(SHGetFolderPathA(nullptr, folder, nullptr, 0, path.data()))) return {};
  path[261] = '\0';
  return path.data();
}

bool Win32Desktop::FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Desktop::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

std::string Win32Desktop::ReadIniString(const std::string& path, const std::string& section,
                                        const std::string& key) {
  std::array<char, 2048> value{};
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                                static_cast<DWORD>(value.size()), path.c_str());
  return std::string(value.data(), length);
}

bool Win32Desktop::WriteIniString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
         FALSE;
}

void Win32Desktop::ShellOpen(const std::string& address) {
  ShellExecuteA(nullptr, "OPEN", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// --- Resources and reports ------------------------------------------------------------------

std::optional<std::span<const std::uint8_t>> Win32Desktop::FindModuleResource(
    const std::string& name, const std::string& type) {
  const HRSRC resource = FindResourceA(instance_, name.c_str(), type.c_str());
  if (resource == nullptr) return std::nullopt;
  const HGLOBAL loaded = LoadResource(instance_, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return std::nullopt;
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data),
                                       SizeofResource(instance_, resource));
}

// Windows' own box runs the thread's messages while it shows, and a quit
// message ends it and is posted again.
void Win32Desktop::ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags,
                                  WhileBoxShows&) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags | MB_OK);
}

}  // namespace orvanel::platform::win32
