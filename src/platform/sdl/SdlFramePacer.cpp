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
  const Uint64 freq = SDL_GetPerformanceFrequency();
  Uint64 now = SDL_GetPerformanceCounter();
  if (vsyncReported_ && probeFrames_ <= kVsyncProbeFrames) {
    if (probeFrames_ == 0) probeStart_ = now;
    if (probeFrames_ == kVsyncProbeFrames) {
      const double mean = static_cast<double>(now - probeStart_) / freq / kVsyncProbeFrames;
      ownPacing_ = mean < 0.8 * period;
    }
    ++probeFrames_;
    if (!ownPacing_) return;
  }
  if (!ownPacing_) return;
  const auto periodTicks = static_cast<Uint64>(period * static_cast<double>(freq));
  if (nextDeadline_ == 0 || now >= nextDeadline_ + periodTicks / 2) {
    // First frame, or this frame came late: count periods from now rather than rushing the
    // next frames out to catch up, which would make the game stutter.
    nextDeadline_ = now + periodTicks;
    return;
  }
  if (now < nextDeadline_) {
    const double waitMs = static_cast<double>(nextDeadline_ - now) * 1000.0 / freq;
    if (waitMs > 2.0) SDL_Delay(static_cast<Uint32>(waitMs - 1.5));
    while (SDL_GetPerformanceCounter() < nextDeadline_) {
    }
  }
  nextDeadline_ += periodTicks;
}

}  // namespace kestrune
