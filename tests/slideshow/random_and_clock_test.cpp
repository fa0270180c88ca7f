// The generator and the clock the slideshow relies on.
//   Random: values worked out by hand from the generator's formula; R(0).
//   Randomize: the seed is the milliseconds since midnight, UTC, not local.
//   MillisecondSpan: absolute, truncated, and moved by a change of the wall clock.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_process.h"
#include "slideshow/clock.h"
#include "slideshow/random_numbers.h"

namespace orvanel::slideshow {
namespace {

TEST(Random, FollowsTheGeneratorsDefinition) {
  // seed 0 → 1 → 134775814 → 3698175007 → 870078620 → 1172187917 → 2884733762
  std::uint32_t seed = 0;
  EXPECT_EQ(Random(seed, 54), 0);
  EXPECT_EQ(Random(seed, 54), 1);
  EXPECT_EQ(Random(seed, 54), 46);
  EXPECT_EQ(Random(seed, 100), 20);
  EXPECT_EQ(Random(seed, 0), 0);  // and the seed still moves on
  EXPECT_EQ(seed, 1172187917u);
  EXPECT_EQ(Random(seed, 1000), 671);
  seed = 12345;
  EXPECT_EQ(Random(seed, 54), 20);
  EXPECT_EQ(Random(seed, 53), 15);
  EXPECT_EQ(Random(seed, 52), 4);
  EXPECT_EQ(seed, 342459380u);
}

TEST(Randomize, SeedsWithTheMillisecondsSinceMidnightUtc) {
  platform::sim::SimDesktop desktop;
  // Local time is an hour ahead of UTC.
  desktop.SetStartTime(platform::DateTime{2026, 12, 7, 1, 2, 3, 4}, 3'600'000);
  platform::sim::SimProcess process(desktop, "o.scr");
  std::uint32_t seed = 0;
  Randomize(process, seed);
  EXPECT_EQ(seed, ((0u * 60 + 2) * 60 + 3) * 1000 + 4);
}

TEST(MillisecondSpan, IsTheTruncatedAbsoluteDifference) {
  const double ms = 1.0 / 86'400'000.0;
  const double t = 46'000.25;
  EXPECT_EQ(MillisecondSpan(t + 150 * ms, t), 150);
  EXPECT_EQ(MillisecondSpan(t, t + 150 * ms), 150);
  EXPECT_EQ(MillisecondSpan(t + 99.6 * ms, t), 99);
  EXPECT_EQ(MillisecondSpan(t, t), 0);
}

TEST(Now, FollowsTheWallClock) {
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcess process(desktop, "o.scr");
  const double before = Now(process);
  desktop.Advance(250);
  EXPECT_EQ(MillisecondSpan(Now(process), before), 250);
  desktop.ShiftWallClock(-1000);
  EXPECT_EQ(MillisecondSpan(Now(process), before), 750);
}

}  // namespace
}  // namespace orvanel::slideshow
