#include "shell/mode_mutex.h"

#include <cstdio>

#include "platform/named_mutex.h"
#include "instance/saver.h"

namespace orvanel::shell {

std::string ModeMutexName(instance::SaverMode mode) {
  switch (mode) {
    case instance::SaverMode::kPassword: return "SaverPasswordMode";
    case instance::SaverMode::kPreview: return "SaverPreviewMode";
    case instance::SaverMode::kConfig: return "SaverConfigMode";
    case instance::SaverMode::kActive: return "SaverActiveMode";
    case instance::SaverMode::kNone: return "SaverNoMode";
    case instance::SaverMode::kDebug: return "SaverDebugMode";
  }
  return "SaverActiveMode";
}

std::string DisplayKey(std::string display) {
  const auto colon = display.rfind(':');
  if (colon == std::string::npos) return display;
  if (const auto dot = display.find('.', colon); dot != std::string::npos) display.erase(dot);
  if (display.compare(0, colon, "unix") == 0) display.erase(0, colon);
  return display;
}

std::string ScopedMutexName(platform::Desktop& desktop, instance::SaverMode mode) {
  std::string name = ModeMutexName(mode);
  if (const auto display = desktop.DisplayName(); !display.empty()) {
    name += '@';
    name += DisplayKey(display);
  }
  switch (desktop.Host()) {
    case platform::ScreenHost::kMonitors:
      break;
    case platform::ScreenHost::kForeignWindow: {
      char window[16];
      std::snprintf(window, sizeof window, "-%x", static_cast<std::uint32_t>(desktop.HostWindow()));
      name += window;
      break;
    }
    case platform::ScreenHost::kOwnWindow:
      name += "-window-" + std::to_string(desktop.ProcessId());
      break;
  }
  return name;
}

bool MutexExists(platform::Desktop& desktop, const std::string& name) {
  return static_cast<bool>(platform::NamedMutex::Open(desktop, name));
}

bool CreateModeMutex(Saver& saver) {
  const auto name = ScopedMutexName(saver.desktop, saver.saverMode);
  if (MutexExists(saver.desktop, name)) return false;
  // Two instances started together can both pass the test above; the one
  // whose creation finds the name made already gives way, so that two
  // full-screen savers never run at once.
  bool existed = false;
  auto mutex = platform::NamedMutex::Create(saver.desktop, name, existed);
  if (!mutex || existed) return false;
  saver.modeMutex = std::move(mutex);
  return true;
}

void ReleaseModeMutex(Saver& saver) { saver.modeMutex.Release(); }

}  // namespace orvanel::shell
