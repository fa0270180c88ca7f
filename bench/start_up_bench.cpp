// Start-up cost of the saver on the simulated desktop: the command line, the
// form framework and the creation of every window for four monitors. It is
// the framework's own overhead, without a desktop's.
#include <benchmark/benchmark.h>

#include "platform/geometry.h"
#include "shell/command_line.h"
#include "support/sim_saver.h"

namespace {

using orvanel::platform::Rect;

void BM_SplitCommandLine(benchmark::State& state) {
  const std::string line = "\"C:\\Program Files\\Orvanel\\orvanel.scr\" /p 1311842 \"\" extra";
  for (auto _ : state) {
    benchmark::DoNotOptimize(orvanel::shell::SplitCommandLine(line));
  }
}
BENCHMARK(BM_SplitCommandLine);

void BM_StartFourMonitors(benchmark::State& state) {
  orvanel::platform::sim::SimDesktop desktop;
  desktop.SetMonitors({Rect::FromBounds(0, 0, 1920, 1080), Rect::FromBounds(1920, 0, 1280, 1024),
                       Rect::FromBounds(-1024, 0, 1024, 768), Rect::FromBounds(0, 1080, 1920, 1080)});
  for (auto _ : state) {
    orvanel::testing::SimSaver instance(desktop, "/s");
    benchmark::DoNotOptimize(instance.Start());
  }
}
BENCHMARK(BM_StartFourMonitors);

}  // namespace
