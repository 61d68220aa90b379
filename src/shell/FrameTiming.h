#pragma once
// How long one frame stands for. Motion is written for 85 frames per second and scaled by
// SpeedScale; countdowns subtract FrameTimeMs once per frame.

#include <cstdint>

namespace kestrune {

struct TFrameTiming {
  int EffectiveRate = 0;
  std::int32_t FrameTimeMs = 0;
  double SpeedScale = 1.0;
};

// frameRate: the timer's measured rate (0 before the first measurement); refreshRate: the
// display's. A measured rate just under the refresh rate (up to 3 below) or clearly above it
// counts as the refresh rate, so measuring noise does not make the game speed wobble.
TFrameTiming ComputeFrameTiming(int frameRate, int refreshRate);

// The refresh rate to use for one a display reports: 0 and 1 are the system's "unknown".
int UsableRefreshRate(int reported);

}  // namespace kestrune
