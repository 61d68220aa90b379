#include <gtest/gtest.h>

#include "race/LevelValues.h"

namespace kestrune {
namespace {

TEST(LevelValues, FollowTheLevelNumber) {
  struct Case {
    int level, length, timeMs, bonus, traffic;
  };
  const Case cases[] = {
      {1, 300, 54000, 10, 10},      {2, 500, 90000, 20, 40},     {5, 1100, 198000, 50, 200},
      {6, 1300, 234000, 60, 200},   {7, 1300, 234000, 70, 200},  {8, 1300, 224000, 80, 200},
      {20, 1300, 104000, 200, 200}, {21, 1300, 94000, 400, 200}, {24, 1300, 64000, 400, 200},
      {25, 1300, 60000, 400, 200},  {40, 1300, 60000, 400, 200}, {100000, 1300, 60000, 400, 200},
      // Where 32-bit products would overflow.
      {214756, 1300, 60000, 400, 200}, {1000000, 1300, 60000, 400, 200},
      {2147483647, 1300, 60000, 400, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    const TLevelValues v = ComputeLevelValues(c.level);
    EXPECT_EQ(v.Level, c.level);
    EXPECT_EQ(v.RoadLength, c.length);
    EXPECT_EQ(v.TimeLeft, c.timeMs);
    EXPECT_EQ(v.BonusLevelValue, c.bonus);
    EXPECT_EQ(v.TrafficLevelValue, c.traffic);
  }
}

}  // namespace
}  // namespace kestrune
