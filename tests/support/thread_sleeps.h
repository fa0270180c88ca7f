#pragma once
// How often a process's main thread, the saver's user-interface thread, has
// gone to sleep: a wait that wakes every millisecond shows there whatever
// the machine's speed. Linux's own figures, shared by the native and the
// Wine suites.
#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace orvanel::testing {

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
