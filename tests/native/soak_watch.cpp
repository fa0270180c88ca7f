// Watches the monitors of a long native run from outside, as a person in
// front of them would: every 25 ms it reads a strip across the middle of each
// monitor and counts the presentations it sees.
//   orvanel_soak_watch SECONDS REPORT_SECONDS X,Y,W,H [X,Y,W,H...]
// A presentation is a spell of change between two still pictures. The first
// spell of each monitor (the opening fade, and the first picture over it) is
// not counted. A counted spell shorter than a dissolve can be (84 steps of at
// least 20 ms, less what sampling misses) is a presentation cut short.
// Prints "sample SECONDS presentations N short M" every REPORT_SECONDS, and
// "done presentations N short M" at the end.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kSampleEvery{25};
// No change for this long ends a spell: the paced steps of a fade are 20 ms apart.
constexpr milliseconds kStill{400};
constexpr milliseconds kShortestDissolve{1200};

struct Monitor {
  int x = 0, y = 0, width = 0, height = 0;
  std::uint64_t last = 0;
  bool changing = false;
  Clock::time_point spellStart;
  Clock::time_point lastChange;
  int spells = 0;
};

// FNV-1a over the pixels of a strip 8 rows high across the middle half.
std::uint64_t StripHash(Display* display, const Monitor& m) {
  const int width = m.width / 2, height = 8;
  XImage* image = XGetImage(display, DefaultRootWindow(display), m.x + m.width / 4, m.y + m.height / 2 - height / 2,
                            static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  std::uint64_t hash = 1469598103934665603ull;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      hash = (hash ^ (XGetPixel(image, column, row) & 0xFFFFFF)) * 1099511628211ull;
    }
  }
  XDestroyImage(image);
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: orvanel_soak_watch SECONDS REPORT_SECONDS X,Y,W,H [X,Y,W,H...]\n", stderr);
    return 2;
  }
  const auto seconds = std::chrono::seconds(std::atoi(argv[1]));
  const auto reportEvery = std::chrono::seconds(std::atoi(argv[2]));
  std::vector<Monitor> monitors;
  for (int i = 3; i < argc; ++i) {
    Monitor m;
    if (std::sscanf(argv[i], "%d,%d,%d,%d", &m.x, &m.y, &m.width, &m.height) != 4) return 2;
    monitors.push_back(m);
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fputs("no display\n", stderr);
    return 1;
  }
  // What the monitors show before the saver starts is the still picture to begin from.
  for (auto& m : monitors) m.last = StripHash(display, m);
  int presentations = 0, cutShort = 0;
  const auto start = Clock::now();
  auto nextReport = start + reportEvery;
  for (auto now = start; now - start < seconds; now = Clock::now()) {
    for (auto& m : monitors) {
      const std::uint64_t hash = StripHash(display, m);
      if (hash != m.last) {
        if (!m.changing) {
          m.changing = true;
          m.spellStart = now;
        }
        m.lastChange = now;
        m.last = hash;
      } else if (m.changing && now - m.lastChange >= kStill) {
        m.changing = false;
        if (m.spells++ == 0) continue;
        ++presentations;
        if (m.lastChange - m.spellStart < kShortestDissolve) ++cutShort;
      }
    }
    if (now >= nextReport) {
      std::printf("sample %lld presentations %d short %d\n",
                  static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(now - start).count()),
                  presentations, cutShort);
      std::fflush(stdout);
      nextReport += reportEvery;
    }
    std::this_thread::sleep_until(now + kSampleEvery);
  }
  std::printf("done presentations %d short %d\n", presentations, cutShort);
  XCloseDisplay(display);
  return 0;
}
