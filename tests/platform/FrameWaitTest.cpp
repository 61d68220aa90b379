#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/FrameWait.h"

namespace kestrune {
namespace {

constexpr std::int64_t kUs = 1'000, kMs = 1'000'000;

TEST(FrameWait, SleepsToTheDeadlineLessTheExpectedLateness) {
  struct Case {
    std::int64_t now, deadline, late, sleep;
  };
  const Case cases[] = {
      {0, 16'667 * kUs, 1 * kMs, 15'667 * kUs},
      {5 * kMs, 16'667 * kUs, 80 * kUs, 11'587 * kUs},
      {0, 1'100 * kUs, 1 * kMs, 100 * kUs},  // just long enough to be worth a sleep
      {0, 1'099 * kUs, 1 * kMs, 0},          // too short: spin
      {0, 500 * kUs, 1 * kMs, 0},            // within the lateness
      {20 * kMs, 10 * kMs, 0, 0},            // deadline passed
  };
  for (const Case& c : cases)
    EXPECT_EQ(SleepBeforeDeadline(c.now, c.deadline, c.late), c.sleep)
        << c.now << " " << c.deadline << " " << c.late;
}

// A later wake-up than expected counts at once; earlier ones lower the expectation a little each
// time; the expectation stays within its bounds.
TEST(FrameWait, LatenessRisesAtOnceFallsSlowlyAndStaysBounded) {
  WakeLateness lateness;
  EXPECT_EQ(lateness.Expected(), WakeLateness::kStart);
  lateness.Woke(60 * kUs);
  EXPECT_LT(lateness.Expected(), WakeLateness::kStart);
  EXPECT_GT(lateness.Expected(), WakeLateness::kStart - 20 * kUs);
  for (int i = 0; i < 400; ++i) lateness.Woke(60 * kUs);
  EXPECT_LT(lateness.Expected(), 65 * kUs);
  EXPECT_GE(lateness.Expected(), 60 * kUs);
  lateness.Woke(400 * kUs);
  EXPECT_EQ(lateness.Expected(), 400 * kUs);
  lateness.Woke(0);
  for (int i = 0; i < 400; ++i) lateness.Woke(0);
  EXPECT_EQ(lateness.Expected(), WakeLateness::kLeast);
  lateness.Woke(50 * kMs);  // the machine stalled once: the wait spins no more than the most
  EXPECT_EQ(lateness.Expected(), WakeLateness::kMost);
}

// A clock whose sleeps wake late by a pattern of amounts and whose every look costs a
// microsecond, as a spin loop does: each wait ends on its deadline (a few tens of microseconds after it
// where a sleep wakes later than the expectation has come down to), and once the lateness is
// learned, only a fraction of a millisecond per frame is spent spinning.
TEST(FrameWait, WaitsEndOnTheDeadlineSpinningOnlyTheLastFractionOfAMillisecond) {
  std::int64_t now = 3 * kMs;
  std::int64_t spun = 0;
  bool spinning = false;
  std::size_t sleeps = 0;
  const std::vector<std::int64_t> wakeLate = {60 * kUs, 75 * kUs, 55 * kUs, 180 * kUs, 70 * kUs};
  DeadlineWaiter waiter(
      [&] {
        if (spinning) spun += kUs;
        now += kUs;
        return now;
      },
      [&](std::int64_t ns) {
        now += ns + wakeLate[sleeps++ % wakeLate.size()];
        spinning = true;
      });
  const std::int64_t period = 16'667 * kUs;
  std::int64_t deadline = now + period;
  std::int64_t spunLater = 0;
  for (int frame = 0; frame < 600; ++frame) {
    now += 4 * kMs;  // the frame's own work
    spinning = false;
    spun = 0;
    waiter.WaitUntil(deadline);
    ASSERT_GE(now, deadline) << frame;
    ASSERT_LE(now, deadline + 25 * kUs) << frame;
    if (frame >= 120) spunLater += spun;
    ASSERT_LE(spun, frame < 120 ? 600 * kUs : 200 * kUs) << frame;
    deadline += period;
  }
  EXPECT_EQ(sleeps, 600u);
  EXPECT_LT(spunLater / 480, 150 * kUs);
}

}  // namespace
}  // namespace kestrune
