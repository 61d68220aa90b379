#pragma once
// The last stage of the sound output: brings the effects and the music, mixed with headroom,
// back to full loudness and keeps every peak under a ceiling below full scale, so a crash over
// the engine, the gun and the music never clips. Below the ceiling the gain is exactly the
// make-up gain. The sound passes a couple of milliseconds late, so the limiter sees a loud peak
// coming and turns the gain down smoothly before it arrives, instead of flattening the wave's
// first swing; after the peak the gain recovers smoothly. No sample ever passes the ceiling.

#include <cstdint>
#include <vector>

namespace kestrune {

class TMixLimiter {
 public:
  // makeupGain undoes the headroom the mix was made with; ceiling is a fraction of full scale;
  // lookaheadMs is the delay the sound passes with; releaseMs is how long the gain takes to
  // recover most of the way after a loud peak.
  TMixLimiter(double makeupGain, double ceiling, int rate, double lookaheadMs, double releaseMs);

  // Processes interleaved 16-bit stereo frames in place (the output lags the input by the
  // look-ahead).
  void Process(std::int16_t* stereoFrames, int frameCount);

  // The loudest sample the limiter lets through, and the delay in frames.
  int CeilingSample() const { return ceilingSample_; }
  int LookaheadFrames() const { return static_cast<int>(delayed_.size()); }

 private:
  struct Frame {
    std::int16_t Left = 0, Right = 0;
    double Allowed = 1.0;  // the largest gain that keeps this frame under the ceiling
  };
  double makeup_;
  int ceilingSample_;
  double attack_;   // per frame, the fraction of the way down to the target gain
  double release_;  // per frame, the fraction of the gain's shortfall that remains
  double gain_ = 1.0;  // the limiter's own gain, 0..1, on top of the make-up gain
  std::vector<Frame> delayed_;  // the look-ahead, a ring
  std::size_t next_ = 0;        // the oldest frame of the ring, replaced next
};

}  // namespace kestrune
