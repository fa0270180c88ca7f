#pragma once
// A fixture for the native program on a real X display (scripts/test starts
// one): each test gets its own settings and runtime folders, starts the
// program as a host would, looks at the screen through Xlib and acts as the
// user through xdotool.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/screen_sample.h"

struct _XDisplay;

namespace orvanel::native {

using testing::Sample;

// One screen capture, 0x00RRGGBB a pixel.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A top-level window of any client, as it was when looked at.
struct TopLevel {
  unsigned long window = 0;
  std::string title;  // empty when it has none
  int x = 0, y = 0, width = 0, height = 0;
};
// The viewable top-level windows on `display`. Other clients' windows may go
// between the listing and the look at each one: those are left out.
std::vector<TopLevel> ViewableTopLevels(_XDisplay* display);

class NativeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Changes to the program's environment: a variable set, or unset (nullopt).
  using Environment = std::vector<std::pair<std::string, std::optional<std::string>>>;
  // Starts the program with these arguments; returns its process id. With
  // `asNobody` (when the tests run as root) it runs as the user nobody, for
  // whom a folder's permissions count.
  pid_t Launch(const std::vector<std::string>& arguments, const std::string& hostWindow = "",
               const Environment& changes = {}, bool asNobody = false);
  // The exit code, or -1 when it still runs after `milliseconds`.
  int AwaitExit(pid_t pid, int milliseconds);
  bool Running(pid_t pid);

  void StoreSettings(const std::string& text);
  std::string StoredSettings() const;
  std::filesystem::path SettingsFile() const { return config_ / "vorlanthix" / "orvanel.ini"; }
  // Whether a process holds the mutex of a mode (SaverActiveMode ...) on
  // this display, or inside the host window `hostWindow` (hexadecimal) there.
  bool MutexHeld(const std::string& mode, const std::string& hostWindow = "") const;
  // Waits until a process holds it; false when none did in time.
  bool AwaitMutex(const std::string& mode, int milliseconds, const std::string& hostWindow = "") const;

  Sample Take(int x, int y, int w, int h);
  Capture CaptureScreen(int x, int y, int w, int h);
  // Samples until `done` holds or the time is up; returns the last sample.
  template <typename Done>
  Sample WaitFor(int x, int y, int w, int h, int seconds, Done&& done);

  // A plain window for a preview, at (100, 100) on the screen, black unless told.
  unsigned long CreateHost(int width, int height, unsigned long colour = 0);
  void DestroyHost(unsigned long window);
  // The first top-level window with this title, or 0.
  unsigned long FindTitled(const std::string& title, int milliseconds);

  unsigned long DefaultRootWindowId();
  // Waits until the keyboard goes to `window` (or a window inside it).
  bool AwaitInputFocus(unsigned long window, int milliseconds);
  static void Xdotool(const std::string& arguments);

  _XDisplay* display_ = nullptr;
  std::filesystem::path scratch_;
  std::filesystem::path config_;
  std::filesystem::path runtime_;
  std::vector<pid_t> launched_;
};

template <typename Done>
Sample NativeTest::WaitFor(int x, int y, int w, int h, int seconds, Done&& done) {
  return testing::SampleUntil([&] { return Take(x, y, w, h); }, done, std::chrono::seconds(seconds),
                              std::chrono::milliseconds(100));
}

}  // namespace orvanel::native
