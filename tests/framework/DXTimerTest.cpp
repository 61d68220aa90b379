#include <gtest/gtest.h>

#include <vector>

#include "framework/DXTimer.h"

namespace kestrune {
namespace {

// A timer on a hand-driven clock that records every lag count it reports.
struct TimerRig {
  std::uint32_t now = 5000;
  bool active = true;
  std::vector<std::uint32_t> lags;
  TDXTimer timer{[this] { return now; }, [this] { return active; }};
  TimerRig() {
    timer.OnTimer = [this](TDXTimer&, std::uint32_t lag) { lags.push_back(lag); };
    timer.Loaded();
  }
  void FrameAfter(std::uint32_t ms) {
    now += ms;
    timer.DoIdle();
  }
};

TEST(DXTimer, LagCountIsMillisecondsSincePreviousFrameAtLeastOne) {
  TimerRig rig;
  rig.FrameAfter(16);
  rig.FrameAfter(0);  // same millisecond
  rig.FrameAfter(33);
  EXPECT_EQ(rig.lags, (std::vector<std::uint32_t>{16, 1, 33}));
}

TEST(DXTimer, IntervalDividesLagAndHoldsBackEarlyFrames) {
  TimerRig rig;
  rig.timer.SetInterval(10);
  rig.FrameAfter(9);   // too early: no frame, "last" stays
  rig.FrameAfter(16);  // 25 ms since last frame -> 2 intervals
  EXPECT_EQ(rig.lags, (std::vector<std::uint32_t>{2}));
  rig.timer.SetInterval(-5);
  EXPECT_EQ(rig.timer.Interval(), 0u);
}

TEST(DXTimer, FrameRateIsSampledOncePerSecondAtLeast) {
  TimerRig rig;
  // 85 frames spread over exactly 1000 ms: 84 gaps of 11 ms then one of 1000 - 84 * 11 = 76 ms.
  for (int i = 0; i < 84; ++i) rig.FrameAfter(11);
  EXPECT_EQ(rig.timer.FrameRate(), 0) << "no sample before a full second";
  rig.FrameAfter(76);
  EXPECT_EQ(rig.timer.FrameRate(), 85);
  // The value holds until another second has passed since that sample.
  for (int i = 0; i < 30; ++i) rig.FrameAfter(33);
  EXPECT_EQ(rig.timer.FrameRate(), 85);
  rig.FrameAfter(10);  // 1000 ms after the sample, 31 frames
  EXPECT_EQ(rig.timer.FrameRate(), 31);
}

TEST(DXTimer, FrameRateRoundsHalvesToEven) {
  // 5 frames in 2000 ms = 2.5 fps -> 2; 7 frames in 2000 ms = 3.5 -> 4.
  for (auto [frames, expected] : {std::pair{5, 2}, std::pair{7, 4}}) {
    TimerRig rig;
    for (int i = 0; i < frames - 1; ++i) rig.FrameAfter(1);
    rig.FrameAfter(2000 - (frames - 1));
    EXPECT_EQ(rig.timer.FrameRate(), expected) << frames << " frames";
  }
}

TEST(DXTimer, ResumingAfterDeactivationCountsFromReactivation) {
  TimerRig rig;
  rig.FrameAfter(16);
  rig.active = false;
  rig.timer.AppDeactivate();
  EXPECT_FALSE(rig.timer.IdleInstalled());
  rig.FrameAfter(10000);  // suspended: no frame
  EXPECT_EQ(rig.lags.size(), 1u);
  rig.active = true;
  rig.timer.AppActivate();
  rig.FrameAfter(3);
  EXPECT_EQ(rig.lags.back(), 3u);
}

TEST(DXTimer, StartsOnlyWhenEnabledAndActive) {
  std::uint32_t now = 0;
  bool active = false;
  int frames = 0;
  TDXTimer timer([&] { return now; }, [&] { return active; });
  timer.OnTimer = [&](TDXTimer&, std::uint32_t) { ++frames; };
  timer.Loaded();  // enabled but the application is inactive: running, suspended
  EXPECT_TRUE(timer.Running());
  timer.DoIdle();
  EXPECT_EQ(frames, 0);
  timer.ActiveOnly = false;
  timer.SetEnabled(false);
  timer.SetEnabled(true);  // restart: no longer tied to activation
  timer.DoIdle();
  EXPECT_EQ(frames, 1);
  timer.SetEnabled(false);
  timer.DoIdle();
  EXPECT_EQ(frames, 1);
}

}  // namespace
}  // namespace kestrune
