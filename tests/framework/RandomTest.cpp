#include <gtest/gtest.h>

#include "framework/Random.h"

namespace kestrune {
namespace {

TEST(Random, SameSeedSameSequenceAndInRange) {
  RandomSeed(1234);
  int first[50];
  for (int& v : first) v = Random(7);
  RandomSeed(1234);
  for (int v : first) {
    EXPECT_EQ(v, Random(7));
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 7);
  }
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(1), 0);
}

}  // namespace
}  // namespace kestrune
