// The day count the saver measures spans with.
#include "platform/date_time.h"

#include <gtest/gtest.h>

namespace orvanel::platform {
namespace {

TEST(DaysSince1899, CountsFromTheEpochInMillisecondSteps) {
  EXPECT_DOUBLE_EQ(DaysSince1899(DateTime{1899, 12, 30, 0, 0, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(DaysSince1899(DateTime{1900, 1, 1, 12, 0, 0, 0}), 2.5);
  EXPECT_DOUBLE_EQ(DaysSince1899(DateTime{2000, 1, 1, 0, 0, 0, 0}), 36526.0);
  // One millisecond is about 1.1574e-8 days; a day count near 36526 resolves
  // it to about 1e-11.
  EXPECT_NEAR(DaysSince1899(DateTime{2000, 1, 1, 0, 0, 0, 1}) - 36526.0, 1.0 / 86'400'000.0,
              1e-11);
}

TEST(AddMilliseconds, CrossesDaysMonthsAndLeapYears) {
  EXPECT_EQ(AddMilliseconds(DateTime{2024, 2, 28, 23, 59, 59, 999}, 1),
            (DateTime{2024, 2, 29, 0, 0, 0, 0}));
  EXPECT_EQ(AddMilliseconds(DateTime{2024, 3, 1, 0, 0, 0, 0}, -1),
            (DateTime{2024, 2, 29, 23, 59, 59, 999}));
}

}  // namespace
}  // namespace orvanel::platform
