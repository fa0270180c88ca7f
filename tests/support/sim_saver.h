#pragma once
// A saver instance on a simulated desktop, for component tests.
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "instance/saver.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace orvanel::testing {

struct SimSaver {
  // `arguments` follow the module's name on the command line.
  SimSaver(platform::sim::SimDesktop& desktop, const std::string& arguments)
      : process(desktop, "C:\\Windows\\orvanel.scr " + arguments), saver(process) {}

  // Start-up as the process runs it; false when it gave way to another saver.
  bool Start() {
    if (shell::AnotherSaverBlocksStart(process)) return false;
    shell::CreateSaverWindows(saver);
    return true;
  }

  // The main window, as the class it is built as.
  shell::TfrmSAVER& MainWindow() { return static_cast<shell::TfrmSAVER&>(*saver.frmSAVER); }

  platform::sim::SimProcess process;
  instance::Saver saver;
};

}  // namespace orvanel::testing
