#pragma once
// Waiting on a condition in the end-to-end tests: the condition is asked
// again and again until it holds or the time is up, never once after a fixed
// sleep. Shared by the Wine and the native suites.
#include <chrono>
#include <thread>

namespace orvanel::testing {

// True as soon as `holds()` is; false when it still is not after `timeout`.
template <typename Condition>
bool Eventually(Condition&& holds, std::chrono::milliseconds timeout,
                std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!holds()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll);
  }
  return true;
}

}  // namespace orvanel::testing
