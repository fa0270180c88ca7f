// The module's entry on Windows: the desktop services on the real API, and
// the same start-up every backend runs.
#include <windows.h>

#include "platform/win32/win32_desktop.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  orvanel::platform::win32::Win32Desktop desktop(instance);
  return orvanel::shell::RunSaver(desktop);
}
