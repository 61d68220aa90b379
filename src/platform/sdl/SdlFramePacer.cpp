#include "platform/sdl/SdlFramePacer.h"

namespace kestrune {
namespace {

// Frames measured after each mode switch to tell whether presenting really waits for the
// vertical blank.
constexpr int kVsyncProbeFrames = 30;

}  // namespace

void SdlFramePacer::Restart(bool vsyncReported) {
  vsyncReported_ = vsyncReported;
  probeFrames_ = 0;
  probeStart_ = 0;
  ownPacing_ = !vsyncReported_;
  nextDeadline_ = 0;
}

void SdlFramePacer::FramePresented(double period) {
  const std::int64_t now = waiter_.Now();
  if (vsyncReported_ && probeFrames_ <= kVsyncProbeFrames) {
    if (probeFrames_ == 0) probeStart_ = now;
    if (probeFrames_ == kVsyncProbeFrames) {
      const double mean = static_cast<double>(now - probeStart_) / 1e9 / kVsyncProbeFrames;
      ownPacing_ = mean < 0.8 * period;
    }
    ++probeFrames_;
    if (!ownPacing_) return;
  }
  if (!ownPacing_) return;
  const auto periodNs = static_cast<std::int64_t>(period * 1e9);
  if (nextDeadline_ == 0 || now >= nextDeadline_ + periodNs / 2) {
    // First frame, or this frame came late: count periods from now rather than rushing the
    // next frames out to catch up, which would make the game stutter.
    nextDeadline_ = now + periodNs;
    return;
  }
  waiter_.WaitUntil(nextDeadline_);
  nextDeadline_ += periodNs;
}

}  // namespace kestrune
