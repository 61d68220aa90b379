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

TEST(Random, DiscardSkipsTheSameDrawsAsCallingRandom) {
  for (std::uint64_t count : {0ull, 1ull, 2ull, 7ull, 1000ull, 123457ull}) {
    RandomSeed(99);
    for (std::uint64_t i = 0; i < count; ++i) Random(3);
    const int expected = Random(1000);
    RandomSeed(99);
    RandomDiscard(count);
    EXPECT_EQ(Random(1000), expected) << count;
  }
}

}  // namespace
}  // namespace kestrune
