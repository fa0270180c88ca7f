// What the dissolves' waiting alone costs the native saver in processor time,
// with nothing drawn: the floor under its figures for a minute at Speed 8.
// A presentation waits 20 ms before each of 84 steps up and 84 steps down,
// then 500 ms; at Speed 8 there are 7.5 presentations a minute. Each wait
// sleeps 1 ms at a time between looks at the message queue, so what one
// wake-up costs on the machine sets the floor.
//   BM_PacedWaitOfAMinute: the core's own wait on the native desktop, with
//     the toolkit's message loop serviced at every wake-up as in the saver;
//   BM_BareSleepsOfAMinute: the same span slept 1 ms at a time by a bare
//     loop, the machine's price of the wake-ups themselves.
// Both are given per minute of dissolves at Speed 8 (cpu_s_per_min), next to
// the saver's goals: at most 2 s with the X server and no compositing
// manager, at most 1 s of its own under one. Needs a display (scripts/bench
// starts one).
#include <benchmark/benchmark.h>
#include <gtkmm.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <memory>

#include "platform/forms/application.h"
#include "platform/gtk/gtk_desktop.h"
#include "slideshow/paced_wait.h"

namespace {

constexpr int kStepsPerPresentation = 2 * 84;
constexpr int kPresentations = 2;                  // measured; then scaled
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

void BM_PacedWaitOfAMinute(benchmark::State& state) {
  orvanel::platform::gtk::GtkDesktop desktop("/s", orvanel::platform::ScreenHost::kMonitors, 0, "orvanel");
  orvanel::forms::Application app(desktop);
  app.Initialize();
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    for (int p = 0; p < kPresentations; ++p) {
      for (int step = 0; step < kStepsPerPresentation; ++step) orvanel::slideshow::PacedWait(app, 20, false);
      orvanel::slideshow::PacedWait(app, 500, false);
    }
    PerMinute(state, ProcessCpuSeconds() - before);
  }
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
