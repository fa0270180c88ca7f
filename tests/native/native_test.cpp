#include "native/native_test.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace orvanel::native {

namespace {

// While one lives, errors about a window or drawable that no longer exists
// make the request fail instead of ending the test: the programs under test
// create and destroy their windows as they please, and a window listed a
// moment ago may be gone by the time it is asked about. Any other error
// goes to the handler that was there before.
class VanishedWindowsIgnored {
 public:
  explicit VanishedWindowsIgnored(Display* display) : display_(display) {
    XSync(display_, False);
    previous_ = XSetErrorHandler(&Handle);
  }
  ~VanishedWindowsIgnored() {
    XSync(display_, False);  // errors of this trap's requests arrive while it stands
    XSetErrorHandler(previous_);
  }
  VanishedWindowsIgnored(const VanishedWindowsIgnored&) = delete;
  VanishedWindowsIgnored& operator=(const VanishedWindowsIgnored&) = delete;

 private:
  static int Handle(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
    return previous_ != nullptr ? previous_(display, error) : 0;
  }
  // Xlib keeps one handler for the whole process, so the one to go back to is too.
  static inline XErrorHandler previous_ = nullptr;
  Display* display_;
};

}  // namespace

std::vector<TopLevel> ViewableTopLevels(Display* display) {
  std::vector<TopLevel> shown;
  const VanishedWindowsIgnored trap(display);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return shown;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable) continue;
    TopLevel top{children[i], "", attributes.x, attributes.y, attributes.width, attributes.height};
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
      top.title = name;
      XFree(name);
    }
    shown.push_back(std::move(top));
  }
  if (children != nullptr) XFree(children);
  return shown;
}

void NativeTest::SetUp() {
  display_ = XOpenDisplay(nullptr);
  ASSERT_NE(display_, nullptr) << "no X display (scripts/test starts one)";
  // A grey desktop, so that covering it shows on the screen.
  XSetWindowBackground(display_, DefaultRootWindow(display_), 0x808080);
  XClearWindow(display_, DefaultRootWindow(display_));
  XSync(display_, False);
  char pattern[] = "/tmp/orvanel-native-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  scratch_ = pattern;
  config_ = scratch_ / "config";
  runtime_ = scratch_ / "run";
  std::filesystem::create_directories(config_);
  std::filesystem::create_directories(runtime_);
  std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
}

void NativeTest::TearDown() {
  for (const pid_t pid : launched_) {
    if (Running(pid)) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  if (display_ != nullptr) XCloseDisplay(display_);
  // The toolkit's warnings and critical messages point at a fault in how the
  // program uses it: none may appear, in any test.
  std::ifstream log(scratch_ / "stderr.log");
  for (std::string line; std::getline(log, line);) {
    EXPECT_EQ(line.find("-WARNING **"), std::string::npos) << line;
    EXPECT_EQ(line.find("-CRITICAL **"), std::string::npos) << line;
    std::cerr << "program: " << line << '\n';
  }
  std::error_code ignored;
  std::filesystem::remove_all(scratch_, ignored);
}

pid_t NativeTest::Launch(const std::vector<std::string>& arguments, const std::string& hostWindow,
                         const Environment& changes, bool asNobody) {
  constexpr uid_t kNobody = 65534;
  if (asNobody && getuid() == 0) {
    // Its runtime folder (the mutexes) and the log must be nobody's too.
    std::filesystem::permissions(scratch_, std::filesystem::perms::all);
    if (chown(runtime_.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "cannot give the runtime folder away";
  }
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    // No accessibility bus runs without a desktop session; its bridge would
    // only warn that it found none.
    setenv("NO_AT_BRIDGE", "1", 1);
    // These tests are the X display's, whatever session runs them.
    unsetenv("WAYLAND_DISPLAY");
    if (hostWindow.empty()) {
      unsetenv("XSCREENSAVER_WINDOW");
    } else {
      setenv("XSCREENSAVER_WINDOW", hostWindow.c_str(), 1);
    }
    for (const auto& [name, value] : changes) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    // Its standard error goes to a file of the test's, read when the test ends.
    const auto log = scratch_ / "stderr.log";
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd >= 0) {
      dup2(fd, STDERR_FILENO);
      close(fd);
    }
    if (asNobody && getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
      _exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(ORVANEL_NATIVE)};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(ORVANEL_NATIVE, argv.data());
    _exit(127);
  }
  launched_.push_back(pid);
  return pid;
}

bool NativeTest::Running(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == 0;
}

int NativeTest::AwaitExit(pid_t pid, int milliseconds) {
  int result = -1;
  testing::Eventually(
      [&] {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
          std::erase(launched_, pid);
          result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        } else if (ended < 0) {
          result = -2;
        }
        return ended != 0;
      },
      std::chrono::milliseconds(milliseconds), std::chrono::milliseconds(10));
  return result;
}

void NativeTest::StoreSettings(const std::string& text) {
  std::filesystem::create_directories(SettingsFile().parent_path());
  std::ofstream(SettingsFile()) << text;
}

std::string NativeTest::StoredSettings() const {
  std::ifstream file(SettingsFile());
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool NativeTest::MutexHeld(const std::string& mode, const std::string& hostWindow) const {
  // Names are per display, then per host window; the scripts' displays are
  // written :N, as the saver writes them in its names.
  const std::string display = XDisplayString(display_);
  const std::string name = mode + "@" + display + (hostWindow.empty() ? "" : "-" + hostWindow);
  const auto path = runtime_ / ("orvanel-" + std::to_string(getuid()) + "-" + name + ".lock");
  const int fd = open(path.c_str(), O_RDWR);
  if (fd < 0) return false;
  // Asked without taking a lock, as the saver asks.
  struct flock probe{};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  const bool held = fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  close(fd);
  return held;
}

bool NativeTest::AwaitMutex(const std::string& mode, int milliseconds, const std::string& hostWindow) const {
  return testing::Eventually([&] { return MutexHeld(mode, hostWindow); }, std::chrono::milliseconds(milliseconds));
}

Capture NativeTest::CaptureScreen(int x, int y, int w, int h) {
  Capture capture;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (image == nullptr) return capture;
  capture.width = w;
  capture.height = h;
  capture.pixels.resize(static_cast<std::size_t>(w) * h);
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) {
      capture.pixels[static_cast<std::size_t>(py) * w + px] =
          static_cast<std::uint32_t>(XGetPixel(image, px, py) & 0xFFFFFF);
    }
  }
  XDestroyImage(image);
  return capture;
}

Sample NativeTest::Take(int x, int y, int w, int h) {
  const Capture capture = CaptureScreen(x, y, w, h);
  Sample sample;
  for (int py = 0; py < capture.height; py += 4) {
    for (int px = 0; px < capture.width; px += 4) {
      const std::uint32_t c = capture.At(px, py);
      const unsigned r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
      ++sample.total;
      if (std::max({r, g, b}) > 10) ++sample.lit;
      sample.sum += r + 3ULL * g + 7ULL * b;
    }
  }
  return sample;
}

unsigned long NativeTest::CreateHost(int width, int height, unsigned long colour) {
  const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 100, 100,
                                            static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0, colour);
  XMapWindow(display_, window);
  XSync(display_, False);
  return window;
}

void NativeTest::DestroyHost(unsigned long window) {
  XDestroyWindow(display_, window);
  XSync(display_, False);
}

unsigned long NativeTest::FindTitled(const std::string& title, int milliseconds) {
  unsigned long found = 0;
  const auto look = [&] {
    for (const TopLevel& top : ViewableTopLevels(display_)) {
      if (top.title == title) {
        found = top.window;
        return true;
      }
    }
    return false;
  };
  testing::Eventually(look, std::chrono::milliseconds(milliseconds), std::chrono::milliseconds(50));
  return found;
}

unsigned long NativeTest::DefaultRootWindowId() { return DefaultRootWindow(display_); }

bool NativeTest::AwaitInputFocus(unsigned long window, int milliseconds) {
  return testing::Eventually(
      [&] {
        const VanishedWindowsIgnored trap(display_);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        // The focus may rest on a child: walk up to the top.
        for (Window at = focus; at != 0 && at != PointerRoot;) {
          if (at == window) return true;
          Window root = 0, parent = 0, *children = nullptr;
          unsigned count = 0;
          if (XQueryTree(display_, at, &root, &parent, &children, &count) == 0) return false;
          if (children != nullptr) XFree(children);
          if (parent == root) break;
          at = parent;
        }
        return false;
      },
      std::chrono::milliseconds(milliseconds), std::chrono::milliseconds(20));
}

void NativeTest::Xdotool(const std::string& arguments) {
  const int status = std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
  EXPECT_EQ(status, 0) << "xdotool " << arguments;
}

}  // namespace orvanel::native
