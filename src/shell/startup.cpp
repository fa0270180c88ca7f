// Start-up, and who runs what afterwards.
//
//   RunSaver
//    ├─ the window another program gave the saver is not there → end, nothing shown
//    ├─ "SaverActiveMode" or "SaverConfigMode" exists → end, nothing shown
//    ├─ application: title "Orvanel Screensaver", owner window a tool window
//    ├─ TfrmSAVER      CreateParams → ParseCommandLine (None → quit posted)
//    │                 FormCreate   → mode mutex, per-mode set-up, StartSlideshow
//    ├─ TfrmSAVERbl    overlay of monitor 0
//    ├─ TfrmSAVERk + TfrmSAVERblk for monitors 1..3 present, each placed on its monitor
//    └─ Application::Run: the one message loop, until the main window closes
//
// tmrVISUAL (owned by TfrmSAVER) ticks → tmrVISUALTimer posts WM_DOJOB (1135)
// to TfrmSAVER → the loop, or the presenter's own pump, dispatches it to the
// main window's job handler.
#include "shell/startup.h"

#include <cstdint>
#include <cstdio>

#include "platform/forms/error.h"
#include "platform/forms/monitors.h"
#include "platform/window_styles.h"
#include "screens/monitor_window.h"
#include "screens/overlay_window.h"
#include "shell/main_window.h"
#include "shell/mode_mutex.h"
#include "instance/saver.h"

namespace orvanel::shell {

bool AnotherSaverBlocksStart(platform::Desktop& desktop) {
  return MutexExists(desktop, ScopedMutexName(desktop, instance::SaverMode::kActive)) ||
         MutexExists(desktop, ScopedMutexName(desktop, instance::SaverMode::kConfig));
}

void CreateSaverWindows(Saver& saver) {
  auto& desktop = saver.desktop;
  auto& app = saver.app;
  saver.monitors = desktop.MonitorRects();
  const auto& monitors = saver.monitors;
  app.Initialize();
  app.SetTitle(kSaverTitle);
  // As a tool window the owner has no taskbar button and no task-switcher entry.
  desktop.SetExStyle(app.Window(), platform::kExStyleToolWindow);
  // Inside another program's window nobody could answer a box: that program
  // keeps its hacks' reports from their log.
  if (desktop.Host() == platform::ScreenHost::kForeignWindow) {
    app.SetErrorReport(forms::Application::ErrorReport::kHostLog);
  }

  saver.frmSAVER = &app.CreateForm<TfrmSAVER>(saver);
  saver.overlays[0] = &app.CreateForm<screens::BlendOverlayWindow>(saver, 0);

  const platform::Rect first = monitors.empty() ? platform::Rect{} : monitors.front();
  if (saver.saverMode != instance::SaverMode::kConfig) {
    saver.frmSAVER->SetLeft(first.left);
    saver.frmSAVER->SetTop(first.top);
  }
  saver.overlays[0]->SetLeft(first.left);
  saver.overlays[0]->SetTop(first.top);

  const int count = forms::MonitorCount(desktop, monitors);
  for (int i = 1; i < count && i < instance::kMaxMonitors; ++i) {
    const platform::Rect area =
        i < static_cast<int>(monitors.size()) ? monitors[static_cast<std::size_t>(i)] : first;
    auto& picture = app.CreateForm<screens::MonitorPictureWindow>(saver, i);
    auto& overlay = app.CreateForm<screens::BlendOverlayWindow>(saver, i);
    saver.pictureWindows[static_cast<std::size_t>(i)] = &picture;
    saver.overlays[static_cast<std::size_t>(i)] = &overlay;
    picture.SetLeft(area.left);
    picture.SetTop(area.top);
    overlay.SetLeft(area.left);
    overlay.SetTop(area.top);
  }
}

bool HostWindowGone(platform::Desktop& desktop) {
  if (desktop.Host() != platform::ScreenHost::kForeignWindow) return false;
  const auto window = desktop.HostWindow();
  if (desktop.IsWindow(window)) return false;
  char line[48];
  std::snprintf(line, sizeof line, "orvanel: no window 0x%x to draw in", static_cast<std::uint32_t>(window));
  desktop.WriteToHostLog(line);
  return true;
}

int RunSaver(platform::Desktop& desktop, const instance::SettingsOverride& overrides) {
  if (HostWindowGone(desktop)) return 0;
  if (AnotherSaverBlocksStart(desktop)) return 0;
  Saver saver(desktop);
  saver.overrides = overrides;
  try {
    CreateSaverWindows(saver);
  } catch (const forms::SaverError&) {
    // A window that cannot be made (a host window gone mid-start) ends the
    // start silently, as an unusable command line does.
    return 0;
  }
  saver.app.Run();
  return 0;
}

}  // namespace orvanel::shell
