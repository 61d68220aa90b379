#include "shell/FrameTiming.h"

namespace kestrune {

int UsableRefreshRate(int reported) { return reported <= 1 ? 60 : reported; }

TFrameTiming ComputeFrameTiming(int f, int r) {
  int e = r;
  if (f == 0) e = r;
  if (f > 0) e = f;
  if (r - 3 <= f && f <= r) e = r;
  if (f > r + 2) e = r;
  // A display that never reported a usable rate must not make the game divide by zero.
  if (e <= 0) e = 60;
  TFrameTiming t;
  t.EffectiveRate = e;
  t.SpeedScale = 85.0 / e;
  t.FrameTimeMs = 1000 / e;
  return t;
}

}  // namespace kestrune
