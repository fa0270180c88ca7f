#pragma once
// A running process as Linux counts it, for the native and Wine suites and
// the benchmarks: its processor time and its main thread's, how often its main thread (the saver's
// user-interface thread) has gone to sleep, and the process by its command
// line. A wait that wakes every millisecond shows in the sleeps whatever the
// machine's speed.
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace orvanel::testing {

// The processor time so far, user and system, in seconds, of what a stat
// file of /proc counts: a process or one of its threads; -1 when it cannot
// be read.
inline double CpuSecondsIn(const std::string& statFile) {
  std::ifstream stat(statFile);
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto nameEnd = text.rfind(')');
  if (nameEnd == std::string::npos) return -1;
  // The fields after the command's name, which may hold spaces: the state is
  // the 3rd field, utime and stime the 14th and 15th.
  std::istringstream fields(text.substr(nameEnd + 2));
  std::string field;
  unsigned long long ticks = 0;
  int i = 3;
  for (; i <= 15 && fields >> field; ++i) {
    if (i >= 14) ticks += std::stoull(field);
  }
  if (i <= 15) return -1;
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A process's processor time, its threads' together.
inline double CpuSeconds(pid_t pid) { return CpuSecondsIn("/proc/" + std::to_string(pid) + "/stat"); }

// Its main thread's alone: the saver's user-interface thread.
inline double MainThreadCpuSeconds(pid_t pid) {
  return CpuSecondsIn("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat");
}

// Its voluntary context switches so far; -1 when they cannot be read.
inline long long MainThreadSleeps(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stoll(line.substr(line.find(':') + 1));
  }
  return -1;
}

// The process whose command line holds `text` (its arguments joined by
// spaces); 0 when none does.
inline pid_t ProcessWithCommandLine(const std::string& text) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream file(entry.path() / "cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (auto& c : line) c = c == '\0' ? ' ' : c;
    if (line.find(text) != std::string::npos) return static_cast<pid_t>(std::stol(name));
  }
  return 0;
}

}  // namespace orvanel::testing
