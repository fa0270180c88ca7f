#pragma once
#include "platform/desktop.h"
#include "instance/saver.h"

namespace orvanel::shell {

using instance::Saver;

// The application's title, which the try-out window bears too.
inline constexpr const char* kSaverTitle = "Orvanel Screensaver";

// The whole life of the saver process; returns its exit code. `overrides`
// are settings given on the command line for this run.
int RunSaver(platform::Desktop& desktop, const instance::SettingsOverride& overrides = {});

// True when the saver was given another program's window to fill and that
// window is not there: there is nothing to show, and the saver ends.
bool HostWindowGone(platform::Desktop& desktop);

// True while a full-screen instance runs or a settings dialog is open: a new
// start then ends before it shows anything.
bool AnotherSaverBlocksStart(platform::Desktop& desktop);

// Start-up after the refusal checks: the application, every window in its
// fixed order for the monitors present, each placed on its monitor. The
// message loop is not started.
void CreateSaverWindows(Saver& saver);

}  // namespace orvanel::shell
