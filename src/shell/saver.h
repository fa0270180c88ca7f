#pragma once
// One saver instance: the process-wide state of the design, kept in one
// object so that two instances can share a simulated desktop and every test
// starts from a clean state. Everything here is used on the one
// user-interface thread; the flags are plain booleans.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/forms/application.h"
#include "platform/named_mutex.h"
#include "shell/saver_mode.h"

namespace orvanel::screens {
class MonitorPictureWindow;
class BlendOverlayWindow;
}  // namespace orvanel::screens

namespace orvanel::shell {

class TfrmSAVER;

// Windows per monitor index: the main window serves index 0.
inline constexpr int kMaxMonitors = 4;

// PreviewParent's value when the command line named no usable window.
inline constexpr platform::WindowHandle kNoUsableWindow = -1;

struct Saver {
  explicit Saver(platform::Desktop& desktop) : desktop(desktop), app(desktop) {}
  Saver(const Saver&) = delete;
  Saver& operator=(const Saver&) = delete;

  platform::Desktop& desktop;

  SaverMode saverMode = SaverMode::kPassword;
  platform::WindowHandle previewParent = platform::kNoWindow;
  bool quitRequested = false;
  bool presenterBusy = false;
  std::int32_t speedSeconds = 8;
  platform::NamedMutex modeMutex;
  // The monitors as the desktop listed them at start-up, in its order.
  std::vector<platform::Rect> monitors;

  // Picture numbers, as decimal texts, not yet shown in this cycle.
  std::vector<std::string> picturePool;
  std::int32_t pictureIndex = 0;
  std::int32_t currentMonitor = 0;
  // The client rectangle of the monitor window the current job draws on.
  platform::Rect targetRect;
  platform::Point firstMousePos;
  std::uint32_t randomSeed = 0;

  // Declared after the state the forms read, so that the forms go first.
  forms::Application app;

  // The windows, empty until created; index 0 of pictureWindows stays empty
  // as the main window serves monitor 0.
  TfrmSAVER* frmSAVER = nullptr;
  std::array<screens::MonitorPictureWindow*, kMaxMonitors> pictureWindows{};
  std::array<screens::BlendOverlayWindow*, kMaxMonitors> overlays{};

  // The window that shows monitor `index`'s pictures, and its overlay; null
  // where none was made.
  forms::Form* PictureWindow(int index) const;
  forms::Form* Overlay(int index) const;
  // How many monitors have windows: the main window's and those made at start.
  int MonitorsWithWindows() const;
};

}  // namespace orvanel::shell
