#pragma once
// The last stage of the sound output: brings the effects and the music, mixed with headroom,
// back to full loudness and keeps every peak under a ceiling below full scale, so a crash over
// the engine, the gun and the music never clips. Below the ceiling the gain is exactly the
// make-up gain; a peak that would pass it turns the gain down at once (no sample ever exceeds
// the ceiling) and the gain then recovers smoothly, which is heard as a short duck rather than
// as the crackle of clipped waves.

#include <cstdint>

namespace kestrune {

class TMixLimiter {
 public:
  // makeupGain undoes the headroom the mix was made with; ceiling is a fraction of full scale;
  // releaseMs is how long the gain takes to recover most of the way after a loud peak.
  TMixLimiter(double makeupGain, double ceiling, int rate, double releaseMs);

  // Processes interleaved 16-bit stereo frames in place.
  void Process(std::int16_t* stereoFrames, int frameCount);

  // The loudest sample the limiter lets through.
  int CeilingSample() const { return ceilingSample_; }

 private:
  double makeup_;
  int ceilingSample_;
  double release_;  // per frame, the fraction of the gain's shortfall that remains
  double gain_ = 1.0;  // the limiter's own gain, 0..1, on top of the make-up gain
};

}  // namespace kestrune
