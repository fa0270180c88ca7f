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
#include <sstream>
#include <string>
#include <thread>

namespace {

double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command's closing parenthesis; utime and stime are the 14th and 15th.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i >= 14) ticks += std::stoull(field);
  }
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

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
    const double before = CpuSeconds(pid);
    std::this_thread::sleep_for(std::chrono::seconds(60));
    state.counters["cpu_s_per_60s"] = CpuSeconds(pid) - before;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  std::filesystem::remove_all(home);
}
BENCHMARK(BM_NativeIdleBetweenPictures)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
