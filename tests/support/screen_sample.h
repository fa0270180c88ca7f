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
