#include <gtest/gtest.h>

#include "shell/FrameTiming.h"

namespace kestrune {
namespace {

TEST(FrameTiming, EffectiveRateTable) {
  const struct {
    int f, r, e;
  } cases[] = {
      {0, 60, 60},                                              // before the first measurement
      {57, 60, 60}, {58, 60, 60},  {59, 60, 60}, {60, 60, 60},  // up to 3 below: the refresh rate
      {56, 60, 56}, {45, 60, 45},                               // clearly slower: the measured rate
      {61, 60, 61}, {62, 60, 62},                               // just above: the measured rate
      {63, 60, 60}, {300, 60, 60},                              // well above: the refresh rate
      {85, 85, 85}, {0, 85, 85},
  };
  for (const auto& c : cases) {
    const TFrameTiming t = ComputeFrameTiming(c.f, c.r);
    EXPECT_EQ(t.EffectiveRate, c.e) << "F=" << c.f << " R=" << c.r;
    EXPECT_DOUBLE_EQ(t.SpeedScale, 85.0 / c.e) << "F=" << c.f << " R=" << c.r;
    EXPECT_EQ(t.FrameTimeMs, 1000 / c.e) << "F=" << c.f << " R=" << c.r;
  }
  EXPECT_EQ(ComputeFrameTiming(59, 60).FrameTimeMs, 16);
  EXPECT_EQ(ComputeFrameTiming(0, 85).FrameTimeMs, 11);
  EXPECT_EQ(ComputeFrameTiming(45, 60).FrameTimeMs, 22);
  EXPECT_NEAR(ComputeFrameTiming(45, 60).SpeedScale, 1.8889, 1e-4);
}

TEST(FrameTiming, UnknownRefreshRateFallsBackTo60) {
  EXPECT_EQ(UsableRefreshRate(0), 60);
  EXPECT_EQ(UsableRefreshRate(1), 60);
  EXPECT_EQ(UsableRefreshRate(75), 75);
  // Even an unguarded zero rate does not divide by zero.
  EXPECT_EQ(ComputeFrameTiming(0, 0).FrameTimeMs, 16);
}

}  // namespace
}  // namespace kestrune
