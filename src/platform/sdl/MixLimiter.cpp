#include "platform/sdl/MixLimiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrune {

TMixLimiter::TMixLimiter(double makeupGain, double ceiling, int rate, double lookaheadMs, double releaseMs)
    : makeup_(makeupGain),
      ceilingSample_(static_cast<int>(std::floor(std::clamp(ceiling, 0.0, 1.0) * 32767.0))),
      release_(std::exp(-1000.0 / (std::max(releaseMs, 1.0) * std::max(rate, 1)))) {
  const int lookahead = std::max(1, static_cast<int>(std::lround(lookaheadMs * rate / 1000.0)));
  delayed_.resize(static_cast<std::size_t>(lookahead));
  // Most of the way down within the look-ahead.
  attack_ = 1.0 - std::exp(-4.0 / lookahead);
}

void TMixLimiter::Process(std::int16_t* frames, int frameCount) {
  const double ceiling = ceilingSample_;
  for (int i = 0; i < frameCount; ++i) {
    std::int16_t* frame = frames + 2 * i;
    // Both sides share one gain, so a loud sound does not wander across the stereo image.
    const double peak = makeup_ * std::max(std::abs(static_cast<int>(frame[0])), std::abs(static_cast<int>(frame[1])));
    const Frame incoming{frame[0], frame[1], peak > ceiling ? ceiling / peak : 1.0};
    const Frame out = delayed_[next_];
    delayed_[next_] = incoming;
    next_ = (next_ + 1) % delayed_.size();

    // The gain heads for the lowest any frame of the look-ahead allows: down smoothly before a
    // peak, back up slowly after it.
    double target = 1.0;
    for (const Frame& f : delayed_) target = std::min(target, f.Allowed);
    if (target < gain_)
      gain_ += (target - gain_) * attack_;
    else
      gain_ = target - (target - gain_) * release_;
    // The frame leaving now never passes the ceiling, however fast its peak came.
    const double gain = makeup_ * std::min(gain_, out.Allowed);
    const std::int16_t sides[2] = {out.Left, out.Right};
    for (int side = 0; side < 2; ++side) {
      // Truncation towards zero keeps the result at or under the ceiling.
      frame[side] = static_cast<std::int16_t>(std::clamp(std::trunc(sides[side] * gain), -ceiling, ceiling));
    }
  }
}

}  // namespace kestrune
