#pragma once
// Waiting for a frame's deadline without keeping a processor core busy: sleep until the deadline
// less the lateness the system's sleeps have shown, then spin only what is left, a fraction of a
// millisecond. Times are nanoseconds on a steady clock.

#include <cstdint>
#include <functional>

namespace kestrune {

// Nanoseconds to sleep at `now` before spinning to `deadline`, when sleeps wake `wakeLateness`
// late: what remains less that lateness; nothing where too little would be left to be worth a
// sleep (or the deadline has passed).
std::int64_t SleepBeforeDeadline(std::int64_t now, std::int64_t deadline, std::int64_t wakeLateness);

// How late a sleep is expected to wake: a later wake-up than expected counts at once, earlier
// ones lower the expectation slowly, so one quick wake-up does not make the next frame late.
// At most half a millisecond: on a busy machine sleeps wake later still, and spinning through
// that would only take the processor from the programs keeping it busy; the frame then simply
// ends a little after its deadline.
class WakeLateness {
 public:
  static constexpr std::int64_t kStart = 500'000;  // before any sleep was seen: the most
  static constexpr std::int64_t kLeast = 50'000;
  static constexpr std::int64_t kMost = 500'000;

  void Woke(std::int64_t late);
  std::int64_t Expected() const { return expected_; }

 private:
  std::int64_t expected_ = kStart;
};

// Waits for deadlines on a clock and a sleep that tests can replace.
class DeadlineWaiter {
 public:
  using NowFn = std::function<std::int64_t()>;
  using SleepFn = std::function<void(std::int64_t nanoseconds)>;
  DeadlineWaiter(NowFn now, SleepFn sleep) : now_(std::move(now)), sleep_(std::move(sleep)) {}
  // The steady clock and the thread's sleep.
  DeadlineWaiter();

  std::int64_t Now() const { return now_(); }
  // Returns once the clock has reached the deadline (at once when it has already).
  void WaitUntil(std::int64_t deadline);
  std::int64_t ExpectedLateness() const { return lateness_.Expected(); }

 private:
  NowFn now_;
  SleepFn sleep_;
  WakeLateness lateness_;
};

}  // namespace kestrune
