#pragma once
// Frame pacing. The game expects presenting to wait for the vertical blank. After each mode
// switch the first frames are measured; when they come much faster than the display refreshes
// (a software renderer, a virtual display), presenting waits for the next refresh period itself.
// Without vsync at all it always paces itself. It waits by sleeping to just before the next
// refresh and spinning only the last fraction of a millisecond.

#include <cstdint>

#include "platform/FrameWait.h"

namespace kestrune {

class SdlFramePacer {
 public:
  // Measures again from the next frame; vsyncReported: the renderer says it waits.
  void Restart(bool vsyncReported);
  // Called after each picture is presented; periodSeconds: the display's refresh period.
  void FramePresented(double periodSeconds);

 private:
  bool vsyncReported_ = false;
  bool ownPacing_ = true;
  int probeFrames_ = 0;
  std::int64_t probeStart_ = 0;
  std::int64_t nextDeadline_ = 0;  // nanoseconds on the waiter's clock; 0: none yet
  DeadlineWaiter waiter_;
};

}  // namespace kestrune
