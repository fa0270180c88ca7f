// Watches the screen from outside, as a viewer would: runs a program on the
// display and time-stamps every change the X server reports on the root
// window (the Damage extension, which counts drawing in any window). Changes
// less than 2 ms apart are one update of the screen.
//   orvanel_update_watch SECONDS PROGRAM [ARGUMENT ...]
// prints the time from the program's start to its first update, and the
// intervals between updates during its dissolves (intervals under 100 ms;
// longer ones are the pauses between presentations).
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: orvanel_update_watch SECONDS PROGRAM [ARGUMENT ...]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  Display* display = XOpenDisplay(nullptr);
  int eventBase = 0, errorBase = 0;
  if (display == nullptr || !XDamageQueryExtension(display, &eventBase, &errorBase)) {
    std::fprintf(stderr, "orvanel_update_watch: no display with the Damage extension\n");
    return 1;
  }
  const Damage damage = XDamageCreate(display, DefaultRootWindow(display), XDamageReportRawRectangles);
  // The extension reports the whole window once when watching begins.
  XSync(display, False);
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
  }

  const double start = NowMs();
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  std::vector<double> updates;
  const double end = start + seconds * 1000.0;
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (NowMs() < end) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != eventBase + XDamageNotify) continue;
      const double at = NowMs();
      if (updates.empty() || at - updates.back() >= 2.0) updates.push_back(at);
    }
    poll(&connection, 1, 5);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  XDamageDestroy(display, damage);
  XCloseDisplay(display);

  if (updates.empty()) {
    std::printf("no update in %.0f s\n", seconds);
    return 1;
  }
  std::vector<double> intervals;
  for (std::size_t i = 1; i < updates.size(); ++i) {
    const double gap = updates[i] - updates[i - 1];
    if (gap < 100.0) intervals.push_back(gap);
  }
  std::printf("first update %.0f ms after the start\n", updates.front() - start);
  if (intervals.empty()) return 0;
  double sum = 0;
  for (double gap : intervals) sum += gap;
  std::sort(intervals.begin(), intervals.end());
  const double p95 = intervals[std::min(intervals.size() - 1, intervals.size() * 95 / 100)];
  std::printf("%zu intervals during dissolves: mean %.2f ms, 95th percentile %.2f ms\n", intervals.size(),
              sum / static_cast<double>(intervals.size()), p95);
  return 0;
}
