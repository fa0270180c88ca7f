// What the dissolves' waiting alone costs the native saver in processor time,
// with nothing drawn: the floor under its figures for a minute at Speed 8.
// A presentation waits 20 ms before each of 84 steps up and 84 steps down,
// then 500 ms; at Speed 8 there are 7.5 presentations a minute. A wait
// sleeps until the clock's millisecond at its deadline unless a message
// comes first: a fade step's wait wakes about once, the 500 ms one every
// 50 ms, when it reads the clock again.
//   BM_PacedWaitOfAMinute: the core's own wait on the native desktop, with
//     the toolkit's message loop serviced as in the saver; also how late each
//     wait ends after the local clock has reached its deadline
//     (late_ms_mean, late_ms_p99, late_ms_max; the clock reads whole
//     milliseconds, so the deadline is reached on the millisecond at or
//     after it);
//   BM_BareSleepsOfAMinute: the same span slept 1 ms at a time by a bare
//     loop, the machine's price of waking every millisecond, for comparison.
// Both are given per minute of dissolves at Speed 8 (cpu_s_per_min), next to
// the saver's goals: at most 2 s with the X server and no compositing
// manager, at most 1 s of its own under one; the waits alone at most 0.1 s.
// Needs a display (scripts/bench starts one).
#include <benchmark/benchmark.h>
#include <gtkmm.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/forms/application.h"
#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/x11/x11_window_system.h"
#include "slideshow/paced_wait.h"

namespace {

constexpr int kStepsPerPresentation = 2 * 84;
constexpr int kPresentations = 6;                  // measured; then scaled
constexpr double kPresentationsPerMinute = 7.5;    // at Speed 8

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void PerMinute(benchmark::State& state, double cpuSeconds) {
  state.counters["cpu_s_per_min"] = cpuSeconds * kPresentationsPerMinute / kPresentations;
}

std::int64_t RealTimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The native desktop, noting the millisecond of the first clock reading it
// is asked for once armed: the reading a wait takes its deadline from.
class ClockWatch : public orvanel::platform::gtk::GtkDesktop {
 public:
  ClockWatch() : GtkDesktop("/s", orvanel::platform::ScreenHost::kMonitors, 0, {}, "orvanel",
                               orvanel::platform::gtk::X11WindowSystem()) {}
  void Arm() { armed_ = true; }
  std::int64_t ReadingMs() const { return readingMs_; }
  orvanel::platform::DateTime LocalTime() override {
    const auto reading = GtkDesktop::LocalTime();
    if (armed_) {
      armed_ = false;
      readingMs_ = RealTimeNs() / 1'000'000;
      // A millisecond may have begun between the reading and this look.
      if (readingMs_ % 1000 != reading.millisecond) --readingMs_;
    }
    return reading;
  }

 private:
  bool armed_ = false;
  std::int64_t readingMs_ = 0;
};

void BM_PacedWaitOfAMinute(benchmark::State& state) {
  ClockWatch desktop;
  orvanel::forms::Application app(desktop);
  app.Initialize();
  std::vector<double> lateMs;
  const auto wait = [&](std::int32_t milliseconds) {
    desktop.Arm();
    orvanel::slideshow::PacedWait(app, milliseconds, false);
    const std::int64_t end = RealTimeNs();
    const auto span = static_cast<double>(milliseconds * orvanel::slideshow::kWaitUnitDays * 86'400'000.0L);
    const std::int64_t reachedNs = (desktop.ReadingMs() + static_cast<std::int64_t>(std::ceil(span))) * 1'000'000;
    lateMs.push_back(static_cast<double>(end - reachedNs) / 1e6);
  };
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    for (int p = 0; p < kPresentations; ++p) {
      for (int step = 0; step < kStepsPerPresentation; ++step) wait(20);
      wait(500);
    }
    PerMinute(state, ProcessCpuSeconds() - before);
  }
  std::sort(lateMs.begin(), lateMs.end());
  double sum = 0;
  for (const double late : lateMs) sum += late;
  state.counters["late_ms_mean"] = sum / static_cast<double>(lateMs.size());
  state.counters["late_ms_p99"] = lateMs[lateMs.size() * 99 / 100];
  state.counters["late_ms_max"] = lateMs.back();
}
BENCHMARK(BM_PacedWaitOfAMinute)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_BareSleepsOfAMinute(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  // As long as the paced waits last: milliseconds in the wait's own unit.
  const std::chrono::duration<double, std::milli> unit(
      static_cast<double>(orvanel::slideshow::kWaitUnitDays * 86'400'000.0L));
  const auto span = std::chrono::duration_cast<Clock::duration>(
      kPresentations * (kStepsPerPresentation * 20 + 500) * unit);
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    const auto end = Clock::now() + span;
    const timespec oneMillisecond{0, 1'000'000};
    while (Clock::now() < end) nanosleep(&oneMillisecond, nullptr);
    PerMinute(state, ProcessCpuSeconds() - before);
  }
}
BENCHMARK(BM_BareSleepsOfAMinute)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  Gtk::Main gtk(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
