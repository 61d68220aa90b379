#include <gtest/gtest.h>

#include "race/Collision.h"

namespace kestrune {
namespace {

const TQuad kSquare = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};

TEST(PointInQuad, InsideOutsideAndCorners) {
  struct Case {
    TPointD p;
    bool inside;
  };
  const Case cases[] = {
      {{5, 5}, true},
      {{0.5, 9.5}, true},
      {{11, 5}, false},
      {{-1, 5}, false},
      {{5, 20}, false},
      // The 355-degree threshold lets a point a hair outside the middle of an edge count.
      {{-0.1, 5}, true},
      {{0, 0}, true},
      {{10, 10}, true},  // exactly on a corner: inside, and no division by zero
      {{5, 0}, true},
      {{10, 3}, true},  // on an edge the angles add up to 360
      {{15, 15}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
    EXPECT_EQ(PointInQuad(c.p, kSquare), c.inside);
  }
  // A rotated quad, corners in the other direction.
  const TQuad diamond = {{{0, -10}, {-10, 0}, {0, 10}, {10, 0}}};
  EXPECT_TRUE(PointInQuad({4, 4}, diamond));
  EXPECT_FALSE(PointInQuad({6, 6}, diamond));
}

TEST(QuadsOverlap, EitherWay) {
  const TQuad inner = {{{2, 2}, {4, 2}, {4, 4}, {2, 4}}};
  const TQuad crossing = {{{8, 8}, {20, 8}, {20, 20}, {8, 20}}};
  const TQuad apart = {{{11, 0}, {20, 0}, {20, 10}, {11, 10}}};
  // A long thin bar crossing the square with no corner inside it, nor the square's in it.
  const TQuad bar = {{{-5, 4}, {15, 4}, {15, 6}, {-5, 6}}};
  EXPECT_TRUE(QuadsOverlap(kSquare, inner));
  EXPECT_TRUE(QuadsOverlap(inner, kSquare));
  EXPECT_TRUE(QuadsOverlap(kSquare, crossing));
  EXPECT_FALSE(QuadsOverlap(kSquare, apart));
  EXPECT_FALSE(QuadsOverlap(kSquare, bar));
}

}  // namespace
}  // namespace kestrune
