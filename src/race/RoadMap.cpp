#include "race/RoadMap.h"

namespace kestrune {

TRoadMap RoadMap;
int MapColumnOffset = 318;
int MapRowOffset = 1488;
double ScrollVelocityX = 0.0;
double ScrollVelocityY = 0.0;

std::uint64_t TRoadMap::Hash() const {
  std::uint64_t hash = 1469598103934665603ull;
  for (std::uint8_t cell : cells_) {
    hash ^= cell;
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace kestrune
