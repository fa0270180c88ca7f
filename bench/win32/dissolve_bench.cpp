// The dissolve on the Windows drawing path, for a full-screen saver on the
// display it runs on (scripts/bench gives it one of 1920 x 1080).
//   FadeStepWork: one fade step's own work, everything but its 20 ms wait:
//                 the opacity change of a monitor-sized overlay and the clock reads.
//   PacedWait20:  the wait before each step alone, on the local clock's
//                 millisecond steps.
//   Dissolve:     one whole presentation with the dissolve, wall time against
//                 its ideal of 168 steps of 20.0448 ms and the 501.12 ms wait,
//                 and its processor time as a minute of them at Speed 8.
//   Idle:         the processor time the saver takes between presentations.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/win32/win32_desktop.h"
#include "instance/saver.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "slideshow/clock.h"
#include "slideshow/paced_wait.h"
#include "slideshow/scheduler.h"
#include "slideshow/showimg.h"

namespace {

using orvanel::platform::win32::Win32Desktop;

// The desktop as a full-screen start sees it.
class FullScreenDesktop : public Win32Desktop {
 public:
  FullScreenDesktop() : Win32Desktop(GetModuleHandleA(nullptr)) {}
  std::string CommandLine() override { return "orvanel.scr /s"; }
};

struct Run {
  FullScreenDesktop desktop;
  orvanel::instance::Saver saver{desktop};
  // The benchmarks call the presenter themselves: no ticks, and the start's
  // direct job taken out of the queue.
  Run() {
    orvanel::shell::CreateSaverWindows(saver);
    static_cast<orvanel::shell::TfrmSAVER&>(*saver.frmSAVER).tmrVISUAL.SetEnabled(false);
    MSG job;
    while (PeekMessageA(&job, nullptr, orvanel::slideshow::WM_DOJOB, orvanel::slideshow::WM_DOJOB, PM_REMOVE)) {
    }
  }

  bool ShowOnMonitorZero() {
    auto& main = *saver.frmSAVER;
    return orvanel::slideshow::ShowPicture(saver, main.GetCanvas(), main.ClientRect(),
                                           saver.picturePool, orvanel::slideshow::PictureCount,
                                           saver.pictureIndex, 0);
  }
};

Run& SharedRun() {
  static Run run;
  return run;
}

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
}

void BM_FadeStepWork(benchmark::State& state) {
  auto& run = SharedRun();
  auto& desktop = run.desktop;
  auto& overlay = *run.saver.Overlay(0);
  int direction = 3;
  for (auto _ : state) {
    const double t0 = orvanel::slideshow::Now(desktop);
    const int next = overlay.AlphaBlendValue() + direction;
    overlay.SetAlphaBlendValue(static_cast<std::uint8_t>(next));
    benchmark::DoNotOptimize(orvanel::slideshow::MillisecondSpan(orvanel::slideshow::Now(desktop), t0));
    if (next >= 252 || next <= 3) direction = -direction;
  }
  overlay.SetAlphaBlendValue(0);
}
BENCHMARK(BM_FadeStepWork)->Unit(benchmark::kMicrosecond);

void BM_PacedWait20(benchmark::State& state) {
  auto& run = SharedRun();
  for (auto _ : state) orvanel::slideshow::PacedWait(run.saver.app, 20, false);
}
BENCHMARK(BM_PacedWait20)->Iterations(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Dissolve(benchmark::State& state) {
  auto& run = SharedRun();
  run.ShowOnMonitorZero();  // the opening fade comes once, before the measured ones
  constexpr double kIdealMs = 168 * 20.0448 + 501.12;
  double worst = 0;
  double cpuMs = 0;
  for (auto _ : state) {
    const auto start = GetTickCount64();
    const double cpuBefore = ProcessCpuMs();
    benchmark::DoNotOptimize(run.ShowOnMonitorZero());
    cpuMs += ProcessCpuMs() - cpuBefore;
    worst = std::max(worst, static_cast<double>(GetTickCount64() - start) / kIdealMs);
  }
  state.counters["worst_to_ideal"] = worst;
  // At Speed 8: 7.5 presentations a minute.
  state.counters["cpu_s_per_min_at_speed_8"] = cpuMs / 1000.0 / static_cast<double>(state.iterations()) * 7.5;
}
BENCHMARK(BM_Dissolve)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IdleBetweenPresentations(benchmark::State& state) {
  SharedRun();  // the saver's windows exist, its timer stopped
  for (auto _ : state) {
    // Ten seconds of the message loop with nothing to present.
    const double before = ProcessCpuMs();
    const UINT_PTR stop = SetTimer(nullptr, 0, 10'000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == stop) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    KillTimer(nullptr, stop);
    state.counters["cpu_ms_per_10s"] = ProcessCpuMs() - before;
  }
}
BENCHMARK(BM_IdleBetweenPresentations)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
