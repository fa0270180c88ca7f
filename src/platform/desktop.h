#pragma once
// The one interface between the saver and the desktop it runs on.
//
// Everything the saver needs from the host passes through `Desktop`: monitors,
// windows and their opacity, drawing, the cursor, the message queue and the
// window timer, sleeping and the clocks, named mutexes, folders and INI files,
// the module's resources and the shell. A backend implements these services
// and decides nothing about the saver's behaviour; the form framework in
// forms/ and the core above it do that once for every backend.
//
// All calls are made on the one user-interface thread, but for those a work
// thread's steps make: ListFolder, ReadFilePart, FileModifiedTime and
// CreatePhotoBitmap, which are safe from any thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "platform/geometry.h"
#include "platform/messages.h"
#include "platform/screen_host.h"
#include "platform/window_handle.h"
#include "platform/work_thread.h"

namespace orvanel::platform {

// Receives the messages dispatched to a window. Returns true and sets `result`
// when the message was handled; otherwise the desktop's default handling runs.
class WindowProcedure {
 public:
  virtual bool HandleMessage(const Message& message, std::intptr_t& result) = 0;

 protected:
  ~WindowProcedure() = default;
};

// What the saver asks of a new native window.
struct WindowRequest {
  std::string className;  // registered on first use
  std::string caption;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect bounds;  // in the parent's client coordinates for a child, else on the screen
  WindowHandle parent = kNoWindow;  // the parent of a child, the owner of a popup
  WindowProcedure* procedure = nullptr;
};

enum class ControlKind { kLabel, kEdit, kUpDown, kCheckBox, kButton, kPanel, kChoiceList };

// What the saver asks of a new control on a form's window.
struct ControlRequest {
  ControlKind kind = ControlKind::kLabel;
  std::string text;
  Rect bounds;  // in the parent's client coordinates
  bool visible = false;
  WindowHandle buddy = kNoWindow;  // the edit an up-down is attached to
  std::string fontName;
  std::int32_t fontHeight = 0;  // in pixels; negative for the character height
  std::vector<std::string> choices;  // a choice list's items, in order
};

enum class SystemMetric : int {
  kPrimaryWidth = 0,   // SM_CXSCREEN
  kPrimaryHeight = 1,  // SM_CYSCREEN
  kMonitorCount = 80,  // SM_CMONITORS
};

enum class StretchMode : int { kColorOnColor = 3, kHalftone = 4 };

// The dots per inch window designs are made for.
inline constexpr std::int32_t kDesignDpi = 96;

// How a picture bitmap lays out a pixel in memory.
enum class PixelLayout {
  kBgr24,   // blue, green, red
  kRgbx32,  // red, green, blue, one unused byte
  kBgrx32,  // blue, green, red, one unused byte
};

// Writable rows of a picture bitmap, top row first.
struct PixelRows {
  std::uint8_t* first = nullptr;
  std::ptrdiff_t stride = 0;
  PixelLayout layout = PixelLayout::kBgr24;
};

// One entry of a folder.
struct FolderEntry {
  std::string path;
  std::string name;
  bool folder = false;  // a folder, or a link to one
  bool hidden = false;  // hidden from the desktop's own file views
  // For a folder: the same text for every path that leads to it, so that a
  // link back up the tree is seen; empty when the desktop cannot tell.
  std::string identity;
};

struct FolderListing {
  bool readable = false;
  std::string identity;  // the listed folder's own
  std::vector<FolderEntry> entries;
};

// Text as a coverage mask, for drawing into a picture: each byte how much of
// its pixel the glyphs cover (0 to 255), rows top first, `width` bytes each.
struct TextMask {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> coverage;
};

class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  virtual int BitsPerPixel() const = 0;
  // A picture bitmap's rows; none for a bitmap in the display's format.
  virtual PixelRows Rows() { return PixelRows{}; }
};

// A drawing context on a window or a bitmap, given back when destroyed.
class DrawingContext {
 public:
  virtual ~DrawingContext() = default;
  virtual int BitsPerPixel() const = 0;
  virtual void FillRect(const Rect& area, ColorRef colour) = 0;
  virtual void DrawBitmap(const Bitmap& bitmap, Point at) = 0;
  virtual void StretchBitmap(const Bitmap& bitmap, const Rect& target, StretchMode mode) = 0;
};

// What goes on while a desktop's modal box shows.
class WhileBoxShows {
 public:
  virtual ~WhileBoxShows() = default;
  // Dispatches the messages waiting; false when one ended the box.
  virtual bool DispatchWaiting() = 0;
};

// The saver's wait before each step of a fade. A desktop that composes the
// frames itself paints a change the saver makes without waiting after it
// within half of this, so that a step's painting falls inside the next
// step's wait rather than after it.
inline constexpr std::int32_t kFadeStepWaitMs = 20;

// Return value of SleepUntilMessage when an I/O completion routine ended the sleep.
inline constexpr std::uint32_t kWaitIoCompletion = 0xC0;

// Folder numbers of SpecialFolder.
inline constexpr int kFolderLocalAppData = 0x1C;
inline constexpr int kFolderCommonAppData = 0x23;

// The system colour of window backgrounds.
inline constexpr int kSystemColorWindow = 5;

// Icon of an error box.
inline constexpr std::uint32_t kBoxIconError = 0x10;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // --- Process -----------------------------------------------------------
  // The whole command line, the module's own name first.
  virtual std::string CommandLine() = 0;
  // The running module's full file name; at most 261 characters.
  virtual std::string ModuleFileName() = 0;
  virtual std::uint32_t ProcessId() = 0;
  // Where the full-screen windows show, and for ScreenHost::kForeignWindow
  // the window they fill (kNoWindow otherwise).
  virtual ScreenHost Host() = 0;
  virtual WindowHandle HostWindow() = 0;
  // The display the saver shows on, as far as named mutexes need telling
  // displays apart; empty where the desktop keeps such names per display
  // (per session) itself.
  virtual std::string DisplayName() = 0;
  // One line for the log of the program that started the saver, where a
  // host that shows no boxes keeps its hacks' reports.
  virtual void WriteToHostLog(const std::string& line) = 0;

  // --- Monitors ----------------------------------------------------------
  // The monitors in the order the desktop lists them; the primary need not be first.
  virtual std::vector<Rect> MonitorRects() = 0;
  virtual std::int32_t Metric(SystemMetric which) = 0;
  // The dots per inch of the monitor holding most of `area`: kDesignDpi where
  // the desktop does not scale.
  virtual std::int32_t MonitorDpi(const Rect& area) = 0;

  // --- Windows -----------------------------------------------------------
  // A desktop that has no layered child windows makes a layered child without
  // that style rather than refuse it.
  virtual WindowHandle CreateNativeWindow(const WindowRequest& request) = 0;
  virtual void DestroyNativeWindow(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  virtual WindowHandle DesktopWindow() = 0;
  // Screen coordinates of the whole window.
  virtual Rect WindowRect(WindowHandle window) = 0;
  // The client area, its top-left corner at (0, 0).
  virtual Rect ClientRect(WindowHandle window) = 0;
  // The window rectangle that gives a client area of `client` with these styles.
  virtual Rect WindowRectForClient(const Rect& client, std::uint32_t style,
                                   std::uint32_t exStyle) = 0;
  // Bounds in the parent's client coordinates (the screen for a top-level window).
  virtual void SetWindowPos(WindowHandle window, WindowHandle insertAfter, const Rect& bounds,
                            std::uint32_t flags) = 0;
  virtual void ShowWindow(WindowHandle window, bool visible) = 0;
  virtual std::uint32_t Style(WindowHandle window) = 0;
  virtual std::uint32_t ExStyle(WindowHandle window) = 0;
  virtual void SetExStyle(WindowHandle window, std::uint32_t exStyle) = 0;
  // Whole-window opacity of a layered window; false when the desktop has no
  // layered windows.
  virtual bool SetLayeredAlpha(WindowHandle window, std::uint8_t alpha) = 0;
  // The first top-level window whose title is exactly `title`, or kNoWindow.
  virtual WindowHandle FindTopLevelWindow(const std::string& title) = 0;
  virtual void EnableWindow(WindowHandle window, bool enable) = 0;
  // Gives a window (a control) the keyboard focus.
  virtual void FocusWindow(WindowHandle window) = 0;
  virtual bool IsWindowEnabled(WindowHandle window) = 0;
  virtual ColorRef SystemColor(int index) = 0;

  // --- Controls (children of a form's window) ------------------------------
  // Clicks reach the parent as kMsgCommand with the control in lParam.
  virtual WindowHandle CreateControl(WindowHandle parent, const ControlRequest& request) = 0;
  virtual std::string ControlText(WindowHandle control) = 0;
  virtual void SetControlText(WindowHandle control, const std::string& text) = 0;
  virtual bool IsChecked(WindowHandle control) = 0;
  virtual void SetChecked(WindowHandle control, bool checked) = 0;
  virtual void SetUpDownRange(WindowHandle control, std::int16_t low, std::int16_t high) = 0;
  virtual std::int16_t UpDownPosition(WindowHandle control) = 0;
  virtual void SetUpDownPosition(WindowHandle control, std::int16_t position) = 0;
  // Moves a control to `bounds`, in its parent's client coordinates, and
  // gives it this font, as when its dialog has come onto a monitor of another DPI.
  virtual void SetControlLayout(WindowHandle control, const Rect& bounds, const std::string& fontName,
                                std::int32_t fontHeight) = 0;
  // The chosen item of a choice list, from 0; -1 when none is chosen.
  virtual std::int32_t ChosenIndex(WindowHandle control) = 0;
  virtual void SetChosenIndex(WindowHandle control, std::int32_t index) = 0;

  // --- Captions ------------------------------------------------------------
  // Text here is written as the desktop writes its paths and settings:
  // UTF-8, or on Windows the ANSI code page, so that a folder's name and a
  // date join into one caption.
  // One line of text in the desktop's user-interface font (regular
  // weight), the font's line height `lineHeight` pixels: the mask is that
  // high and as wide as the text's advance; an empty mask when the text
  // cannot be drawn.
  virtual TextMask RenderText(const std::string& text, std::int32_t lineHeight) = 0;
  // The calendar date of `date` (its time of day ignored) written in the
  // long date form of the user's locale.
  virtual std::string LongDate(const DateTime& date) = 0;
  // When a file was last modified, in local time; nothing when it cannot be read.
  virtual std::optional<DateTime> FileModifiedTime(const std::string& path) = 0;

  // --- Drawing -----------------------------------------------------------
  virtual std::unique_ptr<DrawingContext> WindowContext(WindowHandle window) = 0;
  // Fills the background of a window being erased, with the context the
  // erase message carries.
  virtual void EraseBackground(const Message& erase, ColorRef colour) = 0;
  // A bitmap in the display's pixel format; null when none can be made.
  virtual std::unique_ptr<Bitmap> CreateBitmap(std::int32_t width, std::int32_t height) = 0;
  // A bitmap of 24-bit colour whose rows a decoder fills; null when none can be made.
  virtual std::unique_ptr<Bitmap> CreatePictureBitmap(std::int32_t width, std::int32_t height) = 0;
  // A bitmap whose rows a decoder fills in the display's own pixel layout, so
  // drawn as a plain copy: a photo, drawn without a converted copy of it
  // on the way; null when none can be made.
  virtual std::unique_ptr<Bitmap> CreatePhotoBitmap(std::int32_t width, std::int32_t height) = 0;
  virtual std::unique_ptr<DrawingContext> BitmapContext(Bitmap& bitmap) = 0;
  // Answers a paint message by copying `content` to the window's client area.
  virtual void PaintFrom(const Message& paint, const Bitmap& content) = 0;

  // --- Cursor and input ---------------------------------------------------
  // Raises or lowers the display counter; returns the new count.
  virtual int ShowCursor(bool show) = 0;
  virtual void SetCursorPos(Point at) = 0;
  // The keyboard and the pointer go to the saver's windows alone, from
  // `window` on, until released, and the window hears at once where the
  // pointer is, as a window that appears under a still pointer does. A
  // desktop that gives a top-most window the input without being asked does
  // nothing.
  virtual void CaptureInput(WindowHandle window) = 0;
  virtual void ReleaseInput() = 0;

  // --- Messages and the timer --------------------------------------------
  virtual bool PostToWindow(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;
  // Takes the next message of the thread, for any window, off the queue.
  virtual std::optional<Message> TakeMessage() = 0;
  virtual void TranslateInput(const Message& message) = 0;
  // The keyboard of a window with controls, as dialogs have it: Tab and the
  // arrows move the focus, Enter presses the focused button, Alt with a
  // caption's underlined letter presses that button. True when the message
  // was used so.
  virtual bool HandleDialogKey(WindowHandle window, const Message& message) = 0;
  virtual void DispatchToWindow(const Message& message) = 0;
  virtual void PostQuit(int exitCode) = 0;
  // Blocks until a message is waiting. Returns false only on a simulated
  // desktop, when no message can ever arrive.
  virtual bool WaitForMessage() = 0;
  // Starts or restarts timer `id` of `window`; false when no timer is left.
  virtual bool StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
  virtual void StopTimer(WindowHandle window, std::uintptr_t id) = 0;

  // --- Sleep and clocks ----------------------------------------------------
  // Sleeps until a message is waiting for the thread, the local clock has
  // gone on by `milliseconds` from its last reading, or (when alertable) an
  // I/O completion routine has run. A message already waiting ends it at
  // once. It may also end sooner, on something the desktop handled itself:
  // callers look at the queue and the clock again. Returns
  // kWaitIoCompletion when a completion routine ended it, else 0.
  virtual std::uint32_t SleepUntilMessage(std::uint32_t milliseconds, bool alertable) = 0;
  // Asks the system's timers and sleeps for 1 ms resolution, or gives that up.
  virtual void BeginFineTimerResolution() = 0;
  virtual void EndFineTimerResolution() = 0;
  virtual DateTime LocalTime() = 0;
  virtual DateTime SystemTime() = 0;

  // --- Named mutexes -----------------------------------------------------
  // Handles are small positive numbers; 0 means none.
  virtual std::uintptr_t OpenNamedMutex(const std::string& name) = 0;
  // `existed` tells whether another handle had made the name already.
  virtual std::uintptr_t CreateNamedMutex(const std::string& name, bool& existed) = 0;
  virtual void ReleaseNamedMutex(std::uintptr_t mutex) = 0;
  virtual void CloseNamedMutex(std::uintptr_t mutex) = 0;

  // --- Folders, INI files, the shell ---------------------------------------
  // Empty text when the desktop does not know the folder.
  virtual std::string SpecialFolder(int folder) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  virtual std::string ReadIniString(const std::string& path, const std::string& section,
                                    const std::string& key) = 0;
  virtual bool WriteIniString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) = 0;
  virtual void ShellOpen(const std::string& address) = 0;
  // The desktop's own dialog for choosing a folder, over `owner`, opened at
  // `start` when it names one; nothing when the user cancels it.
  virtual std::optional<std::string> ChooseFolder(WindowHandle owner, const std::string& title,
                                                  const std::string& start) = 0;

  // --- The user's picture files ---------------------------------------------
  // The entries of a folder, in no particular order: names only, no file
  // opened. An entry's path is written as this desktop writes paths.
  virtual FolderListing ListFolder(const std::string& path) = 0;
  // Reads up to `into.size()` bytes of a file from `offset`: the number read,
  // fewer at its end and none past it; nothing when it cannot be read.
  virtual std::optional<std::size_t> ReadFilePart(const std::string& path, std::uint64_t offset,
                                                  std::span<std::uint8_t> into) = 0;

  // --- Work beside the user-interface thread -----------------------------------
  // Starts `step` on a work thread of its own; each message a step tells of
  // is posted to `window` as message `id`.
  virtual std::unique_ptr<WorkThread> StartWorkThread(WorkThread::Step step, WindowHandle window,
                                                      std::uint32_t id) = 0;

  // --- Resources and reports -----------------------------------------------
  // The bytes of a resource of the running module, names matched regardless of case.
  virtual std::optional<std::span<const std::uint8_t>> FindModuleResource(
      const std::string& name, const std::string& type) = 0;
  // Shows a box and returns once it is answered, or once `whileShown` ends
  // it. While it shows, the saver's own messages go on through `whileShown`;
  // a desktop whose own box runs the thread's messages (Windows') need not call it.
  virtual void ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags,
                              WhileBoxShows& whileShown) = 0;
};

}  // namespace orvanel::platform
