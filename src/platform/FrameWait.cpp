#include "platform/FrameWait.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kestrune {
namespace {

// Shorter sleeps than this cost about as much as spinning through them.
constexpr std::int64_t kShortestSleep = 100'000;

}  // namespace

std::int64_t SleepBeforeDeadline(std::int64_t now, std::int64_t deadline, std::int64_t wakeLateness) {
  const std::int64_t sleep = deadline - now - wakeLateness;
  return sleep >= kShortestSleep ? sleep : 0;
}

void WakeLateness::Woke(std::int64_t late) {
  if (late > expected_) {
    expected_ = late;
  } else {
    expected_ -= (expected_ - late) / 32;
  }
  expected_ = std::clamp(expected_, kLeast, kMost);
}

DeadlineWaiter::DeadlineWaiter()
    : DeadlineWaiter(
          [] {
            return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                 std::chrono::steady_clock::now().time_since_epoch())
                                                 .count());
          },
          [](std::int64_t ns) { std::this_thread::sleep_for(std::chrono::nanoseconds(ns)); }) {}

void DeadlineWaiter::WaitUntil(std::int64_t deadline) {
  std::int64_t now = now_();
  if (const std::int64_t sleep = SleepBeforeDeadline(now, deadline, lateness_.Expected()); sleep > 0) {
    sleep_(sleep);
    const std::int64_t woke = now_();
    lateness_.Woke(woke - (now + sleep));
    now = woke;
  }
  while (now < deadline) now = now_();
}

}  // namespace kestrune
