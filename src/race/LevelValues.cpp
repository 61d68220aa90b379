#include "race/LevelValues.h"

#include <algorithm>
#include <cstdint>

namespace kestrune {

TLevelValues ComputeLevelValues(int level) {
  // Products are formed in 64 bits: for very high levels 10 s per level, 10 * level and the
  // square of the level would overflow 32 bits. Every result fits 32 bits again.
  const std::int64_t n = level;
  TLevelValues v;
  v.Level = level;
  v.RoadLength = n <= 5 ? static_cast<int>(200 * n + 100) : 1300;
  std::int64_t time = (v.RoadLength / 100) * 18000LL;
  // From level 8 on the time shrinks by 10 s a level, down to a floor of one minute.
  if (n > 7) time = std::max<std::int64_t>(60000, time - (n - 7) * 10000);
  v.TimeLeft = static_cast<int>(time);
  // Past 200 the bonus value jumps straight to 400.
  v.BonusLevelValue = 10 * n > 200 ? 400 : static_cast<int>(10 * n);
  // From level 5 on the square is past the cap of 200; the level is bounded first, as 10 times
  // the square of the highest levels would overflow even 64 bits.
  const std::int64_t m = std::clamp<std::int64_t>(n, -5, 5);
  v.TrafficLevelValue = static_cast<int>(std::min<std::int64_t>(200, 10 * m * m));
  return v;
}

}  // namespace kestrune
