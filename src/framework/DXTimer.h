#pragma once
// The frame timer: while it runs, the message loop's idle step calls OnTimer as often as it can
// with the milliseconds since the previous frame (the lag count), and measures the frame rate
// about once a second. It is suspended while the application is inactive (ActiveOnly).

#include <cstdint>
#include <functional>

namespace kestrune {

class TDXTimer;
using TDXTimerEvent = std::function<void(TDXTimer& sender, std::uint32_t lagCount)>;
using TNotifyEvent = std::function<void(TDXTimer& sender)>;

class TDXTimer {
 public:
  using Clock = std::function<std::uint32_t()>;
  using ActiveQuery = std::function<bool()>;

  // clock: the system millisecond clock; applicationActive: whether the application is in the
  // foreground (null means always active).
  TDXTimer(Clock clock, ActiveQuery applicationActive);

  bool ActiveOnly = true;
  TDXTimerEvent OnTimer;
  TNotifyEvent OnActivate, OnDeactivate;

  bool Enabled() const { return enabled_; }
  // Starting restarts the timer (counting from now); stopping removes the idle step.
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  // Negative values become 0.
  void SetInterval(int interval);
  // Frames per second, re-measured about once a second; 0 until the first measurement.
  int FrameRate() const { return frameRate_; }
  // Forgets the measured rate (FrameRate reads 0 again) and starts a new measurement from now:
  // after the display's refresh rate changed, the old measurement no longer describes the frames.
  void RestartFrameRate();

  // Called once the owning form has loaded its components: starts the timer when Enabled.
  void Loaded();
  // True while the idle step is installed (running and not suspended).
  bool IdleInstalled() const { return idleInstalled_; }
  bool Running() const { return running_; }

  // The idle step. Always reports "not done" to the message loop, which therefore calls it again
  // at once; presenting the frame is what limits the rate. Does nothing while suspended.
  void DoIdle();

  // Application activation and deactivation (focus gained or lost).
  void AppActivate();
  void AppDeactivate();

 private:
  void Start();
  void Stop();
  void Resume();
  void Suspend();

  Clock clock_;
  ActiveQuery applicationActive_;
  bool enabled_ = true;
  bool loaded_ = false;
  bool running_ = false;
  bool idleInstalled_ = false;
  std::uint32_t interval_ = 0;
  std::uint32_t lastTime_ = 0;
  std::uint32_t sampleTime_ = 0;
  std::uint32_t frames_ = 0;
  int frameRate_ = 0;
};

}  // namespace kestrune
