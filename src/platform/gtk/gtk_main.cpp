// The native program's entry: GTK on the X display, the command line in
// either host's conventions, and the same start-up every backend runs.
#include <gtkmm.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gtk/gtk_desktop.h"
#include "shell/hack_command_line.h"
#include "shell/startup.h"

namespace {

std::string ExecutablePath(const char* fallback) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string(fallback);
}

}  // namespace

int main(int argc, char** argv) {
  Gtk::Main gtk(argc, argv);
  const std::vector<std::string> arguments(argv, argv + argc);
  const char* hostWindow = std::getenv("XSCREENSAVER_WINDOW");
  auto parsed = orvanel::shell::ParseHackArguments(
      arguments, hostWindow != nullptr ? std::optional<std::string>(hostWindow) : std::nullopt);
  orvanel::platform::gtk::GtkDesktop desktop(std::move(parsed.commandLine), parsed.host, parsed.window,
                                             ExecutablePath(argv[0]));
  return orvanel::shell::RunSaver(desktop);
}
