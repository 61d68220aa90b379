#include "race/LevelValues.h"

#include <algorithm>

namespace kestrune {

TLevelValues ComputeLevelValues(int level) {
  TLevelValues v;
  v.Level = level;
  v.RoadLength = level <= 5 ? 200 * level + 100 : 1300;
  v.TimeLeft = (v.RoadLength / 100) * 18000;
  // From level 8 on the time shrinks by 10 s a level, down to a floor of one minute.
  if (level > 7) v.TimeLeft = std::max(60000, v.TimeLeft - (level - 7) * 10000);
  v.BonusLevelValue = 10 * level;
  // Past 200 the bonus value jumps straight to 400.
  if (v.BonusLevelValue > 200) v.BonusLevelValue = 400;
  // Computed in 64 bits: the square of a large level number would overflow.
  v.TrafficLevelValue = static_cast<int>(std::min<long long>(200, 10LL * level * level));
  return v;
}

}  // namespace kestrune
