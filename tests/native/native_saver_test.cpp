// The native program on a real X display, started as a host starts it and
// ended as a user ends it.
//   Start-up:    no usable command line ends at once; a preview gives way to a
//                running full-screen saver, as does a second full-screen one.
//   Full screen: pictures come and change with the period; a key ends it and
//                frees "SaverActiveMode"; the mouse ends it beyond ten pixels only.
//   Sleep:       between fade steps and between pictures the saver sleeps,
//                taking little processor time.
//   Keys:        every kind ends it: printable, Space, Enter, Tab, arrows,
//                modifiers alone, function keys, the keypad (a table).
//   Preview:     the host window's corner holds a picture; the saver ends once
//                the host is gone.
//   Host window: XScreenSaver's convention fills all of the window; SIGTERM ends it.
//   Dialog:      Enter presses OK, which stores the settings; Alt+C cancels and
//                leaves the file as it was; -settings opens it without a window id;
//                the spin button keeps typed text, and its keys and wheel step it;
//                the folder row picks a folder in GTK's chooser; the keyboard
//                alone chooses the caption and fill.
//   Photos:      a folder's photos, JPEG and PNG, in name order, a bad file passed
//                over; from the settings file or from -folder; a photo of each
//                other format, made by its own encoder; a caption read back
//                from the screen, in LC_TIME's language, moving to the next
//                corner, over a photo filling the screen.
//   Options:     -help prints the usage and the settings file's path and exits 0;
//                an unknown option, or a -speed the timer cannot use, prints it
//                on standard error and exits 2, without touching the display.
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "native/native_test.h"
#include "support/await.h"
#include "support/photo_files.h"
#include "support/process_figures.h"
#include "support/screen_text.h"

namespace orvanel::native {
namespace {

const auto kLit = [](const Sample& s) { return s.MostlyLit(); };
const auto kDark = [](const Sample& s) { return s.lit * 10 < s.total; };

bool Near(std::uint32_t a, std::uint32_t b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 12) return false;
  }
  return true;
}

class NativeSaver : public NativeTest {
 protected:
  // The photos the middle of the screen shows, each of `expected` once as it
  // comes, until one more than a round is seen.
  std::vector<std::uint32_t> WatchRound(const std::vector<std::uint32_t>& expected, std::chrono::seconds patience) {
    std::vector<std::uint32_t> seen;
    testing::Eventually(
        [&] {
          const std::uint32_t now = CaptureScreen(512, 384, 1, 1).At(0, 0);
          for (const std::uint32_t colour : expected) {
            if (Near(now, colour) && (seen.empty() || seen.back() != colour)) seen.push_back(colour);
          }
          return seen.size() > expected.size();
        },
        patience, std::chrono::milliseconds(40));
    return seen;
  }
  // Starts a full-screen saver and waits until its opening fade has covered
  // the desktop: by then its loop has handled the pointer's first position.
  pid_t StartFullScreen() {
    const pid_t pid = Launch({"/s"});
    EXPECT_TRUE(AwaitMutex("SaverActiveMode", 10000));
    EXPECT_TRUE(kDark(WaitFor(0, 0, 1024, 768, 10, kDark))) << "the desktop was not covered";
    return pid;
  }
  std::string RootWindow() { return std::to_string(DefaultRootWindowId()); }
  // The settings dialog, once it shows and has the keyboard; 0 if it never does.
  unsigned long AwaitDialog() {
    const unsigned long dialog = FindTitled("Orvanel Screensaver", 10000);
    return dialog != 0 && AwaitInputFocus(dialog, 5000) ? dialog : 0;
  }
};

TEST_F(NativeSaver, FullScreenShowsPicturesThatChangeWithThePeriodAndAKeyEndsIt) {
  StoreSettings("[Config]\nSpeed=2\n");
  // The opening fade covers whatever the desktop showed with black first.
  const pid_t pid = StartFullScreen();
  const Sample first = WaitFor(0, 0, 1024, 768, 15, kLit);
  EXPECT_TRUE(first.MostlyLit()) << first.lit << " of " << first.total << " lit";
  const Sample next = WaitFor(0, 0, 1024, 768, 15, [&](const Sample& s) { return s.MostlyLit() && s.sum != first.sum; });
  EXPECT_NE(next.sum, first.sum);
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 2000), 0);
  EXPECT_FALSE(MutexHeld("SaverActiveMode"));
}

// Keys as xdotool names them; the toolkit would take several of them for its
// own widgets if it saw them first.
class AnyKey : public NativeSaver, public ::testing::WithParamInterface<const char*> {};

TEST_P(AnyKey, EndsTheFullScreenSaverAtOnce) {
  const pid_t pid = StartFullScreen();
  Xdotool(std::string("key ") + GetParam());
  EXPECT_EQ(AwaitExit(pid, 3000), 0) << GetParam() << " left the saver running";
  EXPECT_FALSE(MutexHeld("SaverActiveMode"));
}

INSTANTIATE_TEST_SUITE_P(Keys, AnyKey,
                         ::testing::Values("a", "7", "space", "Return", "Tab", "Up", "Left", "Shift_L",
                                           "Control_R", "Alt_L", "F5", "KP_Add", "KP_Enter", "Escape"),
                         [](const auto& info) { return std::string(info.param); });

struct Spell {
  double cpuShare;       // of one processor
  double sleepsASecond;  // of the user-interface thread
};

Spell Watch(pid_t pid, std::chrono::milliseconds span) {
  const double cpu = testing::CpuSeconds(pid);
  const long long sleeps = testing::MainThreadSleeps(pid);
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(span);  // the span measured, not a wait for something
  const double cpuAfter = testing::CpuSeconds(pid);
  const long long sleepsAfter = testing::MainThreadSleeps(pid);
  EXPECT_TRUE(cpu >= 0 && cpuAfter >= 0 && sleeps >= 0 && sleepsAfter >= 0) << "unreadable figures of " << pid;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return Spell{(cpuAfter - cpu) / seconds, static_cast<double>(sleepsAfter - sleeps) / seconds};
}

// Between fade steps the saver sleeps until the step is due or something
// comes; between pictures it sleeps until the next one. A wait that looked
// at its queue every millisecond would sleep a thousand times a second, and
// one that looked in a loop would take a whole processor.
TEST_F(NativeSaver, ItSleepsBetweenFadeStepsAndBetweenPictures) {
  StoreSettings("[Config]\nSpeed=1\nBlend=1\n");  // one dissolve after the other
  pid_t pid = StartFullScreen();
  ASSERT_TRUE(WaitFor(0, 0, 1024, 768, 15, kLit).MostlyLit()) << "no picture came";
  const Spell dissolves = Watch(pid, std::chrono::seconds(3));
  EXPECT_LT(dissolves.cpuShare, 0.5) << "in dissolves";
  EXPECT_LT(dissolves.sleepsASecond, 300) << "in dissolves";
  Xdotool("key a");
  ASSERT_EQ(AwaitExit(pid, 2000), 0);

  StoreSettings("[Config]\nSpeed=600\nBlend=1\n");
  pid = StartFullScreen();
  ASSERT_TRUE(WaitFor(0, 0, 1024, 768, 15, kLit).MostlyLit()) << "no picture came";
  // The overlay's fade-out shows nothing new: the presentation is surely
  // over once the screen has kept still for longer than that fade lasts.
  testing::KeptStill still(std::chrono::seconds(3));
  WaitFor(0, 0, 1024, 768, 20, still);
  ASSERT_TRUE(still.Held()) << "the screen never kept still";
  // On a machine kept busy, the presentation's last steps may still be
  // running once the screen has kept still; a saver that keeps waking does
  // as much in every span, so one quiet span of the next three is the idle.
  const auto quiet = [](const Spell& spell) { return spell.cpuShare < 0.05 && spell.sleepsASecond < 10; };
  Spell rest = Watch(pid, std::chrono::seconds(2));
  for (int span = 1; span < 3 && !quiet(rest); ++span) rest = Watch(pid, std::chrono::seconds(2));
  EXPECT_LT(rest.cpuShare, 0.05) << "between pictures";
  EXPECT_LT(rest.sleepsASecond, 10) << "between pictures";
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 2000), 0);
}

TEST_F(NativeSaver, TheMouseEndsTheSaverOnlyBeyondTenPixels) {
  const pid_t pid = StartFullScreen();
  Xdotool("mousemove_relative -- 5 0");
  EXPECT_EQ(AwaitExit(pid, 1500), -1);
  Xdotool("mousemove_relative -- 6 0");
  EXPECT_EQ(AwaitExit(pid, 2000), 0);
}

TEST_F(NativeSaver, WithoutAUsableCommandLineItEndsAtOnce) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"/x"}, {"/p"}, {"/c"}, {"/p", "99999999999"}, {"/p", "12345"}}) {
    const pid_t pid = Launch(arguments);
    EXPECT_EQ(AwaitExit(pid, 5000), 0) << (arguments.empty() ? "" : arguments.front());
  }
  EXPECT_FALSE(MutexHeld("SaverActiveMode"));
  EXPECT_FALSE(MutexHeld("SaverPreviewMode"));
}

TEST_F(NativeSaver, ASecondFullScreenStartAndAPreviewGiveWay) {
  const pid_t pid = StartFullScreen();
  const pid_t second = Launch({"/s"});
  EXPECT_EQ(AwaitExit(second, 5000), 0);
  const unsigned long host = CreateHost(152, 112);
  const pid_t preview = Launch({"/p", std::to_string(host)});
  EXPECT_EQ(AwaitExit(preview, 5000), 0);
  EXPECT_FALSE(MutexHeld("SaverPreviewMode"));
  EXPECT_TRUE(Running(pid));
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 2000), 0);
  DestroyHost(host);
}

TEST_F(NativeSaver, PreviewDrawsIntoTheHostAndEndsWhenTheHostIsGone) {
  StoreSettings("[Config]\nSpeed=2\n");
  const unsigned long host = CreateHost(152, 112);
  const pid_t pid = Launch({"/p", std::to_string(host)});
  EXPECT_TRUE(AwaitMutex("SaverPreviewMode", 10000));
  const Sample picture = WaitFor(100, 100, 149, 112, 15, kLit);
  EXPECT_TRUE(picture.MostlyLit()) << picture.lit << " of " << picture.total << " lit";
  DestroyHost(host);
  EXPECT_EQ(AwaitExit(pid, 8000), 0);
}

TEST_F(NativeSaver, AHostsWindowIsFilledWholeAndSigtermEndsTheSaver) {
  StoreSettings("[Config]\nSpeed=2\n");
  const unsigned long host = CreateHost(400, 300, 0x808080);  // grey, to see it covered
  char id[16];
  std::snprintf(id, sizeof id, "0x%lx", host);
  const pid_t pid = Launch({"-root"}, id);
  // Inside a host's window the saver's names are that window's own.
  char window[24];
  std::snprintf(window, sizeof window, "%lx", host);
  EXPECT_TRUE(AwaitMutex("SaverActiveMode", 10000, window));
  // Beyond the preview's corner: the far quarter of the window.
  const auto dark = [](const Sample& s) { return s.lit * 10 < s.total; };
  EXPECT_TRUE(dark(WaitFor(300, 250, 200, 150, 10, dark)));
  const Sample far = WaitFor(300, 250, 200, 150, 15, kLit);
  EXPECT_TRUE(far.MostlyLit()) << far.lit << " of " << far.total << " lit";
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  DestroyHost(host);
}

TEST_F(NativeSaver, TheDialogStoresOnOkAndLeavesTheFileOnCancel) {
  const std::string stored = "[Config]\nSpeed=0x1F\nRandom=0\n";
  StoreSettings(stored);
  pid_t pid = Launch({"/c:" + RootWindow()});
  ASSERT_NE(AwaitDialog(), 0u);
  Xdotool("key alt+c");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  EXPECT_EQ(StoredSettings(), stored);

  pid = Launch({"/c:" + RootWindow()});
  ASSERT_NE(AwaitDialog(), 0u);
  Xdotool("key Return");  // the focused OK button
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  const std::string saved = StoredSettings();
  EXPECT_NE(saved.find("Speed=31"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Random=0"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Blend=1"), std::string::npos) << saved;
}

// The number is the toolkit's spin button; the settings read its text as the
// user left it, and its arrows, keys and wheel step it from what it shows.
TEST_F(NativeSaver, TheSpinButtonKeepsWhatIsTypedAndStepsWithinItsRange) {
  struct Case {
    const char* stored;
    const char* typed;     // over the number, once Tab Tab has focused it
    const char* gestures;  // then, with the pointer over the number
    const char* saved;
  };
  const Case cases[] = {
      {"8", "1000", "", "Speed=1000"},  // beyond the arrows' range, kept as typed
      {"8", "", "key Up Up Up", "Speed=11"},
      {"8", "", "key Down", "Speed=7"},
      {"4", "", "key Down", "Speed=4"},  // the arrows stop at their range
      {"8", "", "click 4 click 4", "Speed=10"},  // the wheel
      {"8", "1000", "key Down", "Speed=500"},
      {"8", "20", "key Up", "Speed=21"},  // from the typed number, not the last stepped
  };
  for (const Case& c : cases) {
    StoreSettings("[Config]\nSpeed=" + std::string(c.stored) + "\n");
    const pid_t pid = Launch({"-settings"});
    const unsigned long dialog = AwaitDialog();
    ASSERT_NE(dialog, 0u);
    Xdotool("key Tab Tab");
    Xdotool("mousemove --window " + std::to_string(dialog) + " 70 21");
    if (*c.typed != '\0') Xdotool(std::string("type ") + c.typed);
    if (*c.gestures != '\0') Xdotool(c.gestures);
    Xdotool("key alt+o");
    EXPECT_EQ(AwaitExit(pid, 3000), 0) << c.gestures;
    EXPECT_NE(StoredSettings().find(c.saved), std::string::npos) << c.gestures << ": " << StoredSettings();
  }
}

// The folder row: GTK's chooser, driven from the keyboard as a user may
// (Ctrl+L, the path, Alt+S), picks the folder; OK stores it; Built-in clears it.
TEST_F(NativeSaver, TheFolderRowPicksAFolderInGtksChooserAndBuiltInClearsIt) {
  const auto folder = scratch_ / "Summer 2025";
  std::filesystem::create_directories(folder);
  StoreSettings("[Config]\nSpeed=8\n");
  pid_t pid = Launch({"-settings"});
  unsigned long dialog = AwaitDialog();
  ASSERT_NE(dialog, 0u);
  Xdotool("key alt+f");
  const unsigned long chooser = FindTitled("Pictures folder", 10000);
  ASSERT_TRUE(AwaitInputFocus(chooser, 5000));
  Xdotool("key ctrl+l");
  Xdotool("type --delay 20 '" + folder.string() + "'");
  Xdotool("key alt+s");
  ASSERT_TRUE(testing::Eventually([&] { return FindTitled("Pictures folder", 0) == 0; }, std::chrono::seconds(5),
                                  std::chrono::milliseconds(50)));
  ASSERT_TRUE(AwaitInputFocus(dialog, 5000));
  Xdotool("key alt+o");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  EXPECT_NE(StoredSettings().find("Folder=" + folder.string() + "\r\n"), std::string::npos) << StoredSettings();

  pid = Launch({"-settings"});
  dialog = AwaitDialog();
  ASSERT_NE(dialog, 0u);
  Xdotool("key alt+i");
  Xdotool("key alt+o");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  EXPECT_NE(StoredSettings().find("Folder=\r\n"), std::string::npos) << StoredSettings();
}

// The photo rows come last in the tab order: back from OK to the fill
// check box, which Space checks, then to the caption list, whose arrow keys
// choose; Alt+O stores both.
TEST_F(NativeSaver, TheKeyboardAloneChoosesTheCaptionAndFill) {
  StoreSettings("[Config]\nSpeed=8\n");
  const pid_t pid = Launch({"-settings"});
  ASSERT_NE(AwaitDialog(), 0u);
  Xdotool("key shift+Tab space shift+Tab Down Down");
  Xdotool("key alt+o");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
  const std::string saved = StoredSettings();
  EXPECT_NE(saved.find("Caption=2\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Fill=1\r\n"), std::string::npos) << saved;
}

// Text that is not a number reaches the settings as it is, and is refused.
TEST_F(NativeSaver, TheSpinButtonPassesTextThatIsNotANumberToTheCheck) {
  const std::string stored = "[Config]\nSpeed=8\n";
  StoreSettings(stored);
  const pid_t pid = Launch({"-settings"});
  ASSERT_NE(AwaitDialog(), 0u);
  Xdotool("key Tab Tab type 12x");
  Xdotool("key alt+o");
  EXPECT_EQ(AwaitExit(pid, 1000), -1) << "the dialog closed on a number that is not one";
  EXPECT_EQ(StoredSettings(), stored);
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  AwaitExit(pid, 3000);
}

TEST_F(NativeSaver, SettingsOpensTheDialogWithoutAWindowId) {
  const std::string stored = "[Config]\nSpeed=12\n";
  StoreSettings(stored);
  for (const char* option : {"-settings", "--settings"}) {
    const pid_t pid = Launch({option});
    ASSERT_NE(AwaitDialog(), 0u) << option;
    Xdotool("key alt+c");
    EXPECT_EQ(AwaitExit(pid, 3000), 0) << option;
    EXPECT_EQ(StoredSettings(), stored);
  }
}

// Runs the program with `arguments` and no display, its output in files.
struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

// `environment` is what env(1) takes before the program: settings and -u NAME.
Ran RunWithoutDisplay(const std::filesystem::path& scratch, const std::string& arguments,
                      const std::string& environment = "") {
  const auto out = scratch / "out.txt";
  const auto err = scratch / "err.txt";
  const std::string command = "env -u DISPLAY " + environment + " " + std::string(ORVANEL_NATIVE) + " " +
                              arguments + " >" +
                              out.string() + " 2>" + err.string();
  Ran ran;
  const int status = std::system(command.c_str());
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto read = [](const std::filesystem::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  ran.out = read(out);
  ran.err = read(err);
  return ran;
}

TEST_F(NativeSaver, HelpPrintsTheUsageAndAnUnknownOptionIsAnError) {
  const std::string configHome = SettingsFile().parent_path().parent_path().string();
  for (const char* help : {"-help", "--help"}) {
    const Ran ran = RunWithoutDisplay(scratch_, help, "XDG_CONFIG_HOME=" + configHome);
    EXPECT_EQ(ran.status, 0) << help;
    EXPECT_EQ(ran.out.rfind("Usage: ", 0), 0u) << ran.out;
    EXPECT_NE(ran.out.find("-settings"), std::string::npos);
    EXPECT_TRUE(ran.err.empty()) << ran.err;
    EXPECT_TRUE(ran.out.ends_with("\nThe settings are kept in " + SettingsFile().string() + ".\n")) << ran.out;
  }
  // The last line names the file the program reads, wherever the environment puts it.
  const std::pair<const char*, const char*> places[] = {
      {"XDG_CONFIG_HOME=/srv/settings", "/srv/settings/vorlanthix/orvanel.ini"},
      {"-u XDG_CONFIG_HOME HOME=/home/ann", "/home/ann/.config/vorlanthix/orvanel.ini"},
      {"XDG_CONFIG_HOME=relative/folder HOME=/home/ann", "/home/ann/.config/vorlanthix/orvanel.ini"},
      {"-u XDG_CONFIG_HOME -u HOME", "/etc/xdg/vorlanthix/orvanel.ini"},
  };
  for (const auto& [environment, file] : places) {
    const Ran ran = RunWithoutDisplay(scratch_, "-help", environment);
    EXPECT_TRUE(ran.out.ends_with("\nThe settings are kept in " + std::string(file) + ".\n"))
        << environment << ": " << ran.out;
  }
  for (const char* wrong : {"-sunrise", "--speed fast", "-speed", "-speed 0", "-speed -1", "-speed 2147484"}) {
    const Ran ran = RunWithoutDisplay(scratch_, wrong);
    EXPECT_EQ(ran.status, 2) << wrong;
    EXPECT_TRUE(ran.out.empty()) << ran.out;
    EXPECT_NE(ran.err.find("Usage: "), std::string::npos) << ran.err;
  }
}



TEST_F(NativeSaver, APhotosFolderIsShownInNameOrderPastABadFile) {
  const auto folder = scratch_ / "My Photos";
  testing::WriteSolidPhoto(folder / "1.jpg", 0xC02010, false);
  std::ofstream(folder / "2.jpg") << "a shopping list, not a photo";
  testing::WriteSolidPhoto(folder / "3 summer" / "beach.png", 0x10C020, true);
  testing::WriteSolidPhoto(folder / "10.jpg", 0x2010C0, false);
  // In name order: 1.jpg, (2.jpg passed over), 3 summer/beach.png, 10.jpg, and round again.
  const std::vector<std::uint32_t> expected = {0xC02010, 0x10C020, 0x2010C0};
  // From the settings file, then from the command line with no folder stored.
  const std::vector<std::vector<std::string>> runs = {{"/s"}, {"-window-id", RootWindow(), "-folder", folder.string()}};
  for (std::size_t run = 0; run < runs.size(); ++run) {
    StoreSettings("[Config]\nSpeed=1\nRandom=0\nBlend=0\n" +
                  (run == 0 ? "Folder=" + folder.string() + "\n" : std::string()));
    const pid_t pid = Launch(runs[run]);
    const auto seen = WatchRound(expected, std::chrono::seconds(15));
    EXPECT_TRUE(testing::FollowsInOrder(seen, expected)) << "run " << run << ": " << ::testing::PrintToString(seen);
    Xdotool("key a");
    if (run == 1) kill(pid, SIGTERM);
    EXPECT_EQ(AwaitExit(pid, 3000), 0);
  }
}

// A photo of each format the saver reads, each made by its own encoder,
// comes on the screen in its turn.
TEST_F(NativeSaver, APhotoOfEachFormatIsShown) {
  const auto folder = scratch_ / "Phone";
  const std::pair<const char*, const char*> files[] = {
      {"1.webp", "cwebp -quiet -q 95 in.png -o out"},
      {"2.heic", "heif-enc -q 95 in.png -o out.heic && mv out.heic out"},
      {"3.avif", "avifenc -s 10 --min 0 --max 10 in.png out.avif && mv out.avif out"},
      {"4.tif", "convert in.png -compress lzw tiff:out"},
      {"5.bmp", "convert in.png bmp3:out"},
      {"6.gif", "convert in.png gif:out"},
  };
  const std::vector<std::uint32_t> expected = {0xC02010, 0x10C020, 0x2010C0, 0xC0C010, 0x10C0C0, 0xC010C0};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_TRUE(testing::WriteEncodedPhoto(folder / files[i].first, expected[i], files[i].second)) << files[i].first;
  }
  StoreSettings("[Config]\nSpeed=1\nRandom=0\nBlend=0\nFolder=" + folder.string() + "\n");
  const pid_t pid = Launch({"/s"});
  const auto seen = WatchRound(expected, std::chrono::seconds(25));
  EXPECT_TRUE(testing::FollowsInOrder(seen, expected)) << ::testing::PrintToString(seen);
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
}

// Photos are read beside the slideshow: a key that falls while a phone's
// 48-megapixel HEIC is decoded (each takes seconds) ends the saver at once,
// the user-interface thread sleeping while it waits, and nothing is left
// behind. With two such photos at Speed 1 the next is
// being decoded whenever one shows; the key falls once a decode is under way.
TEST_F(NativeSaver, AKeyWhileALargePhotoIsDecodedEndsTheSaverAtOnce) {
  const auto folder = scratch_ / "48 MP";
  const char* encode = "heif-enc -q 30 -p preset=ultrafast in.png -o out.heic && mv out.heic out";
  ASSERT_TRUE(testing::WriteEncodedPhoto(folder / "1.heic", 0x4080C0, encode, 8000, 6000));
  std::filesystem::copy_file(folder / "1.heic", folder / "2.heic");
  StoreSettings("[Config]\nSpeed=1\nRandom=0\nBlend=0\nFolder=" + folder.string() + "\n");
  for (int round = 0; round < 3; ++round) {
    const pid_t pid = Launch({"/s"});
    // The photo's own colour: a bare display's root is half lit, and a key
    // before the saver's windows are up would go elsewhere.
    ASSERT_TRUE(testing::Eventually([&] { return Near(CaptureScreen(512, 384, 1, 1).At(0, 0), 0x4080C0); },
                                    std::chrono::seconds(30), std::chrono::milliseconds(40)))
        << "round " << round;
    // The next photo is being decoded once the saver has spent two seconds
    // of processor time more (a decode takes about four): in a saver that
    // read photos when due, too. Meanwhile the next tick has come, and the
    // user-interface thread waits for the photo, sleeping between its looks.
    const double cpu = testing::CpuSeconds(pid);
    const double mainCpu = testing::MainThreadCpuSeconds(pid);
    ASSERT_TRUE(testing::Eventually([&] { return testing::CpuSeconds(pid) - cpu >= 2.0; }, std::chrono::seconds(30),
                                    std::chrono::milliseconds(20)))
        << "round " << round;
    EXPECT_LT(testing::MainThreadCpuSeconds(pid) - mainCpu, 0.25) << "round " << round;
    const auto pressed = std::chrono::steady_clock::now();
    Xdotool("key a");
    EXPECT_EQ(AwaitExit(pid, 5000), 0) << "round " << round;
    // Generous for a loaded machine: a key that waited for the decode took seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(1000)) << "round " << round;
    EXPECT_FALSE(MutexHeld("SaverActiveMode"));
  }
}

// The caption as a person reads it: the Exif date in the long form of
// LC_TIME's language (whether or not the system has that locale), the
// folder below the chosen one, in the bottom right corner, then in the
// bottom left one; the 3:2 photo of 900 x 600 fills the screen, cropped at
// its sides, where fitting it whole would leave bars.
TEST_F(NativeSaver, ACaptionIsReadOffTheScreenOverAPhotoThatFillsIt) {
  const auto folder = scratch_ / "Ferien";
  testing::JpegRecipe recipe;
  recipe.width = 900;
  recipe.height = 600;
  recipe.dateTaken = "2019:10:15 18:30:00";
  recipe.colour = [](int, int) { return 0x4A6A8Au; };
  const auto bytes = testing::MakeJpeg(recipe);
  std::filesystem::create_directories(folder / "Zürich");
  std::ofstream(folder / "Zürich" / "a.jpg", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  StoreSettings("[Config]\nSpeed=2\nRandom=0\nBlend=0\nCaption=2\nFill=1\nFolder=" + folder.string() + "\n");
  const pid_t pid = Launch({"/s"}, "", {{"LC_ALL", std::nullopt}, {"LC_TIME", "de_DE.UTF-8"}});
  const auto reads = [&](int x, const std::string& words) {
    const auto read = [&] {
      return testing::LettersAndDigits(testing::ReadScreenText(x, 700, 512, 68)).find(words) != std::string::npos;
    };
    return testing::Eventually(read, std::chrono::seconds(20), std::chrono::milliseconds(200));
  };
  EXPECT_TRUE(reads(512, "15oktober2019")) << testing::ReadScreenText(512, 700, 512, 68);
  EXPECT_TRUE(reads(512, "rich"));  // Zürich, its ü read as u or not at all
  const Capture corners = CaptureScreen(0, 0, 1024, 768);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1023, 0}, std::pair{0, 767}, std::pair{512, 384}}) {
    EXPECT_TRUE(Near(corners.At(x, y), 0x4A6A8A)) << x << "," << y << ": " << std::hex << corners.At(x, y);
  }
  EXPECT_TRUE(reads(0, "15oktober2019")) << testing::ReadScreenText(0, 700, 512, 68);
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);
}

}  // namespace
}  // namespace orvanel::native
