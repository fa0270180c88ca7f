// The native program's entry: GTK on the X or the Wayland display, the
// command line in either host's conventions, and the same start-up every
// backend runs.
#include <gtkmm.h>
#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/host_folders.h"
#include "platform/gtk/wayland/wayland_window_system.h"
#include "platform/gtk/x11/x11_window_system.h"
#include "shell/window_system_choice.h"
#include "settings/settings_file.h"
#include "shell/hack_command_line.h"
#include "shell/startup.h"

namespace {

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// The user's locale, as the toolkit would set it, but each part on its own:
// a variable naming a locale the system lacks (LC_TIME=de_DE.UTF-8 on a
// machine without it, which a caption's dates are written in all the same)
// leaves that part in C.UTF-8, quietly, and the others as asked.
void SetUserLocale() {
  if (std::setlocale(LC_ALL, "") != nullptr) return;
  for (const int category : {LC_CTYPE, LC_NUMERIC, LC_TIME, LC_COLLATE, LC_MONETARY, LC_MESSAGES}) {
    if (std::setlocale(category, "") == nullptr) std::setlocale(category, "C.UTF-8");
  }
}

std::string ExecutablePath(const char* fallback) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string(fallback);
}

}  // namespace

int main(int argc, char** argv) {
  // Frames and pictures of many megabytes come and go with every picture.
  // By default the C library raises its threshold for mapping a block on its
  // own to the largest block freed, after which such buffers are carved from
  // the common heap and their pages stay with the process once freed; a fixed
  // threshold keeps every large buffer mapped alone, given back when freed.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  const std::vector<std::string> arguments(argv, argv + argc);
  const std::string program = ExecutablePath(argv[0]);
  const auto environment = Environment("XSCREENSAVER_WINDOW");
  // Help and usage errors need no display.
  const auto first = orvanel::shell::ParseHackArguments(arguments, environment);
  using Outcome = orvanel::shell::HackArguments::Outcome;
  if (first.outcome != Outcome::kRun) {
    namespace gtk = orvanel::platform::gtk;
    const auto settingsFile =
        gtk::NativePath(orvanel::settings::SettingsPathFrom(gtk::SpecialFolderPath, program));
    const auto usage = orvanel::shell::HackUsage(argv[0], settingsFile);
    if (first.outcome == Outcome::kHelp) {
      std::fputs(usage.c_str(), stdout);
      return 0;
    }
    std::fprintf(stderr, "%s: %s\n%s", argv[0], first.error.c_str(), usage.c_str());
    return 2;
  }
  // The saver draws nothing with OpenGL. Left on, the toolkit's probe of the
  // display's OpenGL loads a software renderer at start-up: tens of
  // megabytes and a good share of the time to the first frame. The setting
  // is read while the toolkit starts, and taken away again so that programs
  // the saver starts (a browser from the dialog) keep their own.
  const bool glProbeOff = std::getenv("GDK_GL") == nullptr && setenv("GDK_GL", "disable", 0) == 0;
  using orvanel::shell::WindowSystemChoice;
  const auto choice = orvanel::shell::ChooseWindowSystem(first.namesXWindow, {Environment("WAYLAND_DISPLAY"),
                                                                              Environment("GDK_BACKEND")});
  // A Wayland session that cannot be reached leaves X, where there is one.
  gdk_set_allowed_backends(choice == WindowSystemChoice::kWayland ? "wayland,x11" : "x11");
  SetUserLocale();
  gtk_disable_setlocale();
  Gtk::Main gtk(argc, argv);
  if (glProbeOff) unsetenv("GDK_GL");
  auto system = orvanel::platform::gtk::ToolkitOnWayland() ? orvanel::platform::gtk::WaylandWindowSystem()
                                                          : orvanel::platform::gtk::X11WindowSystem();
  const auto root = static_cast<std::uint32_t>(system->DesktopWindow());
  auto parsed = orvanel::shell::ParseHackArguments(arguments, environment, root);
  orvanel::platform::gtk::GtkDesktop desktop(std::move(parsed.commandLine), parsed.host, parsed.window,
                                             std::move(parsed.ownWindow), program, std::move(system));
  return orvanel::shell::RunSaver(desktop, parsed.overrides);
}
