// The native program where its surroundings work against it.
//   Home:    no $HOME, one that cannot be written, $XDG_CONFIG_HOME naming a
//            file: the slideshow runs on the defaults and a key ends it.
//   Disk:    the settings folder on a full disk: OK reports the write error,
//            the dialog stays, and the old file is intact.
//   Display: the X server killed under a running saver: the program ends at
//            once, by exiting, not by a crash.
//   Signals: SIGTERM during a dissolve ends it cleanly and frees its mutex;
//            SIGTERM or SIGKILL during a save leaves the old file or the new
//            one, never a part.
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "native/native_test.h"
#include "support/await.h"

// After the test framework: Xlib defines None and Bool as macros.
#include <X11/Xlib.h>

namespace orvanel::native {
namespace {

namespace fs = std::filesystem;

const auto kLit = [](const Sample& s) { return s.MostlyLit(); };
const auto kDark = [](const Sample& s) { return s.lit * 10 < s.total; };

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class NativeHostile : public NativeTest {
 protected:
  // Runs the slideshow with these changes to the environment until a
  // picture shows, then ends it with a key; the program's exit code.
  int RunSlideshowUntilAKey(const Environment& changes, bool asNobody) {
    const pid_t pid = Launch({"/s"}, "", changes, asNobody);
    AwaitPicture();
    Xdotool("key a");
    return AwaitExit(pid, 3000);
  }
  // The opening fade covers the grey desktop, then the first picture comes.
  void AwaitPicture() {
    EXPECT_TRUE(kDark(WaitFor(0, 0, 1024, 768, 10, kDark))) << "the desktop was not covered";
    EXPECT_TRUE(WaitFor(0, 0, 1024, 768, 20, kLit).MostlyLit()) << "no picture came";
  }
  // The settings dialog, once it shows and has the keyboard; 0 if it never does.
  unsigned long AwaitDialog() {
    const unsigned long dialog = FindTitled("Orvanel Screensaver", 10000);
    return dialog != 0 && AwaitInputFocus(dialog, 5000) ? dialog : 0;
  }
  // Whether the user nobody may run the program where it was built.
  static bool NobodyCanRunTheProgram() {
    const pid_t child = fork();
    if (child == 0) _exit(setgid(65534) == 0 && setuid(65534) == 0 && access(ORVANEL_NATIVE, X_OK) == 0 ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  // The viewable top-level windows with this title.
  int CountTitled(const std::string& title) {
    int found = 0;
    for (const TopLevel& top : ViewableTopLevels(display_)) found += top.title == title ? 1 : 0;
    return found;
  }
};

TEST_F(NativeHostile, WithoutAUsableHomeTheSlideshowRunsOnItsDefaults) {
  // As root every folder can be written: the cases run as the user nobody.
  if (getuid() == 0 && !NobodyCanRunTheProgram()) GTEST_SKIP() << "the user nobody cannot reach " << ORVANEL_NATIVE;
  StoreSettings("[Config]\nSpeed=1\n");  // in the test's own folder, which no case below reads
  const fs::path file = scratch_ / "not-a-folder";
  std::ofstream(file) << "a file, not a folder\n";
  struct Case {
    const char* what;
    Environment changes;
  };
  const Case cases[] = {
      {"no HOME", {{"HOME", std::nullopt}, {"XDG_CONFIG_HOME", std::nullopt}}},
      {"HOME that cannot be written", {{"HOME", "/proc/orvanel-home"}, {"XDG_CONFIG_HOME", std::nullopt}}},
      {"XDG_CONFIG_HOME naming a file", {{"HOME", std::nullopt}, {"XDG_CONFIG_HOME", file.string()}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunSlideshowUntilAKey(c.changes, true), 0) << c.what;
  }
  EXPECT_EQ(ReadAll(file), "a file, not a folder\n");
}

// A small filesystem of its own, filled up before the save.
TEST_F(NativeHostile, OnAFullDiskOkReportsTheErrorAndTheOldFileStaysIntact) {
  const fs::path disk = scratch_ / "disk";
  fs::create_directories(disk);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) {
    GTEST_SKIP() << "cannot mount a small filesystem here: " << std::strerror(errno);
  }
  const fs::path settings = disk / "vorlanthix" / "orvanel.ini";
  fs::create_directories(settings.parent_path());
  const std::string old = "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\n";
  std::ofstream(settings, std::ios::binary) << old;
  {
    std::ofstream filler(disk / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
    }
  }
  const pid_t pid = Launch({"-settings"}, "", {{"XDG_CONFIG_HOME", disk.string()}});
  ASSERT_NE(AwaitDialog(), 0u);
  Xdotool("key Tab Tab type 20");
  Xdotool("key alt+o");
  // The error box comes over the dialog, which stays.
  EXPECT_TRUE(testing::Eventually([&] { return CountTitled("Orvanel Screensaver") == 2; },
                                  std::chrono::seconds(5)));
  EXPECT_EQ(AwaitExit(pid, 500), -1) << "the dialog closed on a save that failed";
  EXPECT_EQ(ReadAll(settings), old);
  EXPECT_FALSE(fs::exists(settings.string() + ".tmp"));
  kill(pid, SIGTERM);
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  EXPECT_EQ(ReadAll(settings), old);
  umount2(disk.c_str(), MNT_DETACH);
}

// An X server of the test's own, killed under the running saver.
TEST_F(NativeHostile, WhenTheDisplayGoesAwayTheProgramEndsAtOnce) {
  int number = 170;
  while (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
  const std::string name = ":" + std::to_string(number);
  const pid_t server = fork();
  if (server == 0) {
    execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  Display* other = nullptr;
  testing::Eventually([&] { return (other = XOpenDisplay(name.c_str())) != nullptr; }, std::chrono::seconds(10));
  ASSERT_NE(other, nullptr) << "Xvfb did not start";
  const pid_t pid = Launch({"/s"}, "", {{"DISPLAY", name}});
  // Running once its windows show there.
  const bool mapped = testing::Eventually([&] { return !ViewableTopLevels(other).empty(); }, std::chrono::seconds(10));
  EXPECT_TRUE(mapped) << "the saver showed nothing on its display";
  XCloseDisplay(other);
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  int status = 0;
  const bool ended = testing::Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; },
                                         std::chrono::seconds(2), std::chrono::milliseconds(10));
  ASSERT_TRUE(ended) << "still running two seconds after its display went away";
  std::erase(launched_, pid);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  fs::remove("/tmp/.X" + std::to_string(number) + "-lock");
}

TEST_F(NativeHostile, SigtermDuringADissolveEndsItCleanly) {
  StoreSettings("[Config]\nSpeed=1\nBlend=1\n");
  const pid_t pid = Launch({"/s"});
  ASSERT_TRUE(AwaitMutex("SaverActiveMode", 10000));
  AwaitPicture();
  // A dissolve runs while each look differs from the one 40 ms before it.
  auto before = Take(256, 192, 512, 384).sum;
  const bool dissolving = testing::Eventually(
      [&] {
        const auto now = Take(256, 192, 512, 384).sum;
        const bool changed = now != before;
        before = now;
        return changed;
      },
      std::chrono::seconds(10), std::chrono::milliseconds(40));
  ASSERT_TRUE(dissolving) << "no dissolve came";
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  EXPECT_EQ(AwaitExit(pid, 1000), 0);
  EXPECT_FALSE(MutexHeld("SaverActiveMode"));
}

// A settings file of megabytes (other programs' lines kept with it) takes
// long enough to save that a signal can come while it is written. SIGTERM
// waits for the save; SIGKILL, as when the system ends the process, does not.
// The signals come at points spread over the time one whole save takes here.
TEST_F(NativeHostile, ASignalDuringASaveLeavesTheOldFileOrTheNewOneNeverAPart) {
  std::string others = "[Other]\r\n";
  for (int i = 0; others.size() < 8'000'000; ++i) others += "line" + std::to_string(i) + "=kept\r\n";
  const std::string old = "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=1\r\n" + others;
  const std::string saved = "[Config]\r\nSpeed=20\r\nRandom=1\r\nBlend=1\r\n" + others;
  // Opens the dialog on the old file, types a new speed and presses OK;
  // returns when OK is pressed.
  const auto pressOk = [&] {
    StoreSettings(old);
    const pid_t pid = Launch({"-settings"});
    EXPECT_NE(AwaitDialog(), 0u);
    Xdotool("key Tab Tab type 20");
    Xdotool("key alt+o");
    return pid;
  };
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(AwaitExit(pressOk(), 30000), 0);
  const auto whole = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  ASSERT_EQ(ReadAll(SettingsFile()), saved);

  int sawOld = 0, sawNew = 0;
  for (const int signal : {SIGTERM, SIGKILL}) {
    for (int part = 0; part < 6; ++part) {
      const pid_t pid = pressOk();
      // The point of the save the signal lands on: the wait is what the test varies.
      const auto delay = whole * part / 6;
      std::this_thread::sleep_for(delay);
      kill(pid, signal);
      // Ended by the signal, or by itself (SIGTERM is handled until the
      // program takes its handlers down on the way out).
      const int code = AwaitExit(pid, 30000);
      EXPECT_TRUE(code == 0 || code == 128 + signal) << code << " after " << delay.count();
      const std::string now = ReadAll(SettingsFile());
      EXPECT_TRUE(now == old || now == saved) << strsignal(signal) << " after " << delay.count() << " ms: "
                                              << now.size() << " bytes";
      sawOld += now == old;
      sawNew += now == saved;
    }
  }
  std::printf("a whole save %lld ms; old file %d times, new file %d times\n", static_cast<long long>(whole.count()),
              sawOld, sawNew);
}

}  // namespace
}  // namespace orvanel::native
