// The native saver's processor time while idle between pictures: started
// full screen with a period of ten minutes, measured over the 60 s after its
// first presentation, from the kernel's count for the process (utime + stime).
// Needs a display (scripts/bench starts one).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/process_figures.h"

namespace {

void BM_NativeIdleBetweenPictures(benchmark::State& state) {
  const auto home = std::filesystem::temp_directory_path() / ("orvanel-idle-" + std::to_string(getpid()));
  std::filesystem::create_directories(home / "vorlanthix");
  std::ofstream(home / "vorlanthix" / "orvanel.ini") << "[Config]\nSpeed=600\n";
  for (auto _ : state) {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_CONFIG_HOME", home.c_str(), 1);
      execl(ORVANEL_NATIVE, ORVANEL_NATIVE, "/s", static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(8));  // the opening fade and the first dissolve
    const double before = orvanel::testing::CpuSeconds(pid);
    std::this_thread::sleep_for(std::chrono::seconds(60));
    state.counters["cpu_s_per_60s"] = orvanel::testing::CpuSeconds(pid) - before;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  std::filesystem::remove_all(home);
}
BENCHMARK(BM_NativeIdleBetweenPictures)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
