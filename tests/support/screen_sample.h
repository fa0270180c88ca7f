#pragma once
// What the end-to-end tests see of the screen: a rectangle sampled every
// fourth pixel each way, and the waiting for a sample to show something.
// Shared by the Wine and the native suites; each takes its samples its own way.
#include <chrono>

#include "support/await.h"

namespace orvanel::testing {

struct Sample {
  long lit = 0;  // pixels not black
  long total = 0;
  unsigned long long sum = 0;  // a weighted sum of the channels, to see a change
  bool MostlyLit() const { return lit * 2 > total; }
};

// A condition on successive samples: the screen has shown no change for
// `span`. Held() tells whether it did at the last sample.
class KeptStill {
 public:
  explicit KeptStill(std::chrono::milliseconds span) : span_(span) {}
  bool operator()(const Sample& sample) {
    const auto now = std::chrono::steady_clock::now();
    if (!seen_ || sample.sum != last_) {
      seen_ = true;
      last_ = sample.sum;
      changed_ = now;
    }
    held_ = now - changed_ >= span_;
    return held_;
  }
  bool Held() const { return held_; }

 private:
  std::chrono::milliseconds span_;
  bool seen_ = false;
  bool held_ = false;
  unsigned long long last_ = 0;
  std::chrono::steady_clock::time_point changed_;
};

// Takes samples until `done` holds for one or the time is up; returns the last.
template <typename Take, typename Done>
Sample SampleUntil(Take&& take, Done&& done, std::chrono::milliseconds timeout,
                   std::chrono::milliseconds poll) {
  Sample sample;
  Eventually(
      [&] {
        sample = take();
        return done(sample);
      },
      timeout, poll);
  return sample;
}

}  // namespace orvanel::testing
