#pragma once
// A saver instance on a simulated desktop, for component tests.
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "shell/saver.h"
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

  platform::sim::SimProcess process;
  shell::Saver saver;
};

}  // namespace orvanel::testing
