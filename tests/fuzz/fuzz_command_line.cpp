// Any bytes as the process command line: splitting, letters and handles
// never fail, and the result is always one of the modes with its handle.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "shell/command_line.h"
#include "instance/saver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvanel::platform::sim::SimDesktop desktop;
  const std::string line(reinterpret_cast<const char*>(data), size);
  for (const auto& word : orvanel::shell::SplitCommandLine(line)) {
    if (word.size() > line.size()) __builtin_trap();
  }
  orvanel::platform::sim::SimProcess process(desktop, line);
  orvanel::instance::Saver saver(process);
  const bool usable = orvanel::shell::ParseCommandLine(saver);
  using orvanel::instance::SaverMode;
  if (usable == (saver.saverMode == instance::SaverMode::kNone)) __builtin_trap();
  if (saver.saverMode != instance::SaverMode::kNone && saver.previewParent == orvanel::instance::kNoUsableWindow) {
    __builtin_trap();
  }
  if ((saver.saverMode == instance::SaverMode::kActive || saver.saverMode == instance::SaverMode::kPassword) &&
      saver.previewParent != desktop.DesktopWindow()) {
    __builtin_trap();
  }
  return 0;
}
