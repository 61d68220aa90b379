#include "framework/DXTimer.h"

#include <algorithm>
#include <cmath>

namespace kestrune {

TDXTimer::TDXTimer(Clock clock, ActiveQuery applicationActive)
    : clock_(std::move(clock)), applicationActive_(std::move(applicationActive)) {}

void TDXTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (!loaded_) return;
  if (enabled_) {
    Start();
  } else {
    Stop();
  }
}

void TDXTimer::SetInterval(int interval) { interval_ = static_cast<std::uint32_t>(std::max(interval, 0)); }

void TDXTimer::Loaded() {
  loaded_ = true;
  if (enabled_) Start();
}

void TDXTimer::Start() {
  Stop();
  if (!ActiveOnly || !applicationActive_ || applicationActive_()) Resume();
  running_ = true;
}

void TDXTimer::Stop() {
  Suspend();
  running_ = false;
}

void TDXTimer::Resume() {
  // Counting restarts here, so the first frame after a pause gets a small lag count rather than
  // the length of the pause.
  lastTime_ = clock_();
  sampleTime_ = lastTime_;
  idleInstalled_ = true;
}

void TDXTimer::Suspend() { idleInstalled_ = false; }

void TDXTimer::RestartFrameRate() {
  frameRate_ = 0;
  frames_ = 0;
  sampleTime_ = clock_();
}

void TDXTimer::AppActivate() {
  if (OnActivate) OnActivate(*this);
  if (running_ && ActiveOnly) Resume();
}

void TDXTimer::AppDeactivate() {
  if (OnDeactivate) OnDeactivate(*this);
  if (running_ && ActiveOnly) Suspend();
}

void TDXTimer::DoIdle() {
  if (!idleInstalled_) return;
  const std::uint32_t t = clock_();
  const std::uint32_t elapsed = t - lastTime_;  // unsigned: survives the clock wrapping
  if (elapsed < interval_) return;
  std::uint32_t lagCount = elapsed / std::max<std::uint32_t>(interval_, 1);
  if (lagCount < 1) lagCount = 1;
  lastTime_ = t;
  ++frames_;

  const std::uint32_t sampleSpan = std::max<std::uint32_t>(t - sampleTime_, 1);
  if (sampleSpan >= 1000) {
    // Rounded to nearest with halves to even (the default floating-point rounding mode).
    frameRate_ = static_cast<int>(std::nearbyint(static_cast<double>(frames_) * 1000.0 / sampleSpan));
    frames_ = 0;
    sampleTime_ = t;
  }
  if (OnTimer) OnTimer(*this, lagCount);
}

}  // namespace kestrune
