// Any bytes as the process command line. Properties the parser could break:
//   the split words survive being quoted and split again (an empty word,
//   which a lone quote at the end leaves, is no word once quoted);
//   reading the line twice gives the same mode and window (it is read again
//   whenever the main window's native window is re-created);
//   a window named for Preview or Config is a window of the desktop.
#include <cstddef>
#include <cstdint>
#include <string>

#include "instance/saver.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "shell/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using orvanel::instance::SaverMode;
  static orvanel::platform::sim::SimDesktop desktop;
  static const auto host = desktop.CreateTestWindow("host", orvanel::platform::Rect{0, 0, 152, 112});
  const std::string line(reinterpret_cast<const char*>(data), size);

  auto words = orvanel::shell::SplitCommandLine(line);
  std::erase(words, std::string());
  std::string quoted;
  for (const auto& word : words) quoted += "\"" + word + "\" ";
  if (orvanel::shell::SplitCommandLine(quoted) != words) __builtin_trap();

  // The host's number after the line's own words, so that some inputs name it.
  orvanel::platform::sim::SimProcess process(desktop, line + " " + std::to_string(host));
  orvanel::instance::Saver saver(process);
  orvanel::shell::ParseCommandLine(saver);
  const auto mode = saver.saverMode;
  const auto parent = saver.previewParent;
  orvanel::shell::ParseCommandLine(saver);
  if (saver.saverMode != mode || saver.previewParent != parent) __builtin_trap();
  if ((mode == SaverMode::kPreview || mode == SaverMode::kConfig) && !process.IsWindow(parent)) {
    __builtin_trap();
  }
  return 0;
}
