#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "framework/Rounding.h"

namespace kestrune {
namespace {

// Round half to even from its definition, by floor and parity: what every rounded position in
// the race must keep equal to, bit for bit.
std::int32_t ReferenceRound(double v) {
  if (std::isnan(v)) return 0;
  const double f = std::floor(v), d = v - f;
  const double r = d > 0.5 ? f + 1 : d < 0.5 ? f : (std::fmod(f, 2.0) == 0.0 ? f : f + 1);
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndTheRangeIsClamped) {
  const double inf = std::numeric_limits<double>::infinity();
  const double belowHalf = std::nextafter(0.5, 0.0);  // 0.49999999999999994
  struct Case {
    double v;
    std::int32_t rounded;
  };
  const Case cases[] = {
      {0.0, 0},           {-0.0, 0},         {0.5, 0},           {1.5, 2},
      {2.5, 2},           {3.5, 4},          {-0.5, 0},          {-1.5, -2},
      {-2.5, -2},         {belowHalf, 0},    {-belowHalf, 0},    {2.5000000000000004, 3},
      {1e-300, 0},        {-1e-300, 0},      {0.7, 1},           {-0.7, -1},
      {1234567.5, 1234568}, {-1234566.5, -1234566}, {36.49999999999999, 36},
      // Beyond 2^52 every double is whole; beyond the 32-bit range the result is clamped.
      {4503599627370495.5, 2147483647}, {4503599627370497.0, 2147483647},
      {-4503599627370495.5, -2147483647 - 1}, {2147483646.5, 2147483646},
      {2147483647.5, 2147483647}, {-2147483648.5, -2147483647 - 1},
      {inf, 2147483647},  {-inf, -2147483647 - 1},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.v);
    EXPECT_EQ(Round(c.v), c.rounded);
    EXPECT_EQ(Round(c.v), ReferenceRound(c.v));
  }
}

// Every quarter and the doubles on either side of it, over the range the race's map positions
// and screen offsets take, agree with the definition.
TEST(Rounding, AgreesWithTheDefinitionAroundEveryQuarter) {
  int disagreements = 0;
  for (int q = -4 * 120000; q <= 4 * 120000; ++q) {
    const double v = q / 4.0;
    for (double x : {std::nextafter(v, -1e9), v, std::nextafter(v, 1e9)})
      disagreements += Round(x) != ReferenceRound(x);
  }
  EXPECT_EQ(disagreements, 0);
}

}  // namespace
}  // namespace kestrune
