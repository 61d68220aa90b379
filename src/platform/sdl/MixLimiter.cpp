#include "platform/sdl/MixLimiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrune {

TMixLimiter::TMixLimiter(double makeupGain, double ceiling, int rate, double releaseMs)
    : makeup_(makeupGain),
      ceilingSample_(static_cast<int>(std::floor(std::clamp(ceiling, 0.0, 1.0) * 32767.0))),
      release_(std::exp(-1000.0 / (std::max(releaseMs, 1.0) * std::max(rate, 1)))) {}

void TMixLimiter::Process(std::int16_t* frames, int frameCount) {
  const double ceiling = ceilingSample_;
  for (int i = 0; i < frameCount; ++i) {
    std::int16_t* frame = frames + 2 * i;
    // Both sides share one gain, so a loud sound does not wander across the stereo image.
    const double peak = makeup_ * std::max(std::abs(static_cast<int>(frame[0])), std::abs(static_cast<int>(frame[1])));
    gain_ = 1.0 - (1.0 - gain_) * release_;
    if (peak * gain_ > ceiling) gain_ = ceiling / peak;
    for (int side = 0; side < 2; ++side) {
      // Truncation towards zero keeps the result at or under the ceiling.
      const double out = frame[side] * makeup_ * gain_;
      frame[side] = static_cast<std::int16_t>(std::clamp(std::trunc(out), -ceiling, ceiling));
    }
  }
}

}  // namespace kestrune
