#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/Random.h"
#include "race/RoadGenerator.h"

namespace kestrune {
namespace {

bool IsSolidCode(int code) { return code == 39 || code == 59 || (code >= 40 && code <= 44); }

std::vector<int> RoadColumns(const TRoadMap& map, int row) {
  std::vector<int> columns;
  for (int c = 1; c <= TRoadMap::Columns; ++c)
    if (IsRoadCode(map.Get(row, c))) columns.push_back(c);
  return columns;
}

struct GeneratedLevel {
  int seed, length;
};

class RoadGeneratorInvariants : public testing::TestWithParam<GeneratedLevel> {};

TEST_P(RoadGeneratorInvariants, Hold) {
  const auto [seed, length] = GetParam();
  const int top = TRoadMap::Rows - length;
  RandomSeed(static_cast<std::uint32_t>(seed));
  MapColumnOffset = MapRowOffset = -1;
  TRoadMap& map = RoadMap;
  TRoadGenerator generator(map, length);
  generator.FillAndSeed();
  generator.GenerateRoadRows();
  const std::vector<std::uint8_t> roadOnly = map.Cells();
  generator.AddPavementsAndScenery();
  generator.AddBlocks();
  generator.AddSmallPieces();
  generator.CleanUp();

  EXPECT_EQ(MapColumnOffset, 318);
  EXPECT_EQ(MapRowOffset, 1488);

  // Nothing is left unfilled, the decoration never touches the road and never makes new road.
  std::size_t roadChanged = 0, unfilled = 0;
  for (std::size_t k = 0; k < roadOnly.size(); ++k) {
    const std::uint8_t cell = map.Cells()[k];
    unfilled += cell == TRoadMap::Unfilled;
    if (IsRoadCode(roadOnly[k]) != IsRoadCode(cell) || (IsRoadCode(cell) && cell != roadOnly[k]))
      ++roadChanged;
  }
  EXPECT_EQ(unfilled, 0u);
  EXPECT_EQ(roadChanged, 0u);

  // The road runs unbroken from the start row up to row 1500 - L and no further.
  for (int row = 1; row < top; ++row) ASSERT_TRUE(RoadColumns(map, row).empty()) << "row " << row;
  for (int row = top; row <= 1499; ++row) {
    const std::vector<int> here = RoadColumns(map, row);
    ASSERT_GE(here.size(), 4u) << "row " << row;
    const std::vector<int> below = RoadColumns(map, row + 1);
    if (row < 1499) {
      // Continuous: some lane of this row lies on or diagonally next to a lane of the row below.
      bool touches = false;
      for (int c : here)
        for (int d : below) touches = touches || (c - d >= -1 && c - d <= 1);
      ASSERT_TRUE(touches) << "row " << row;
    }
  }

  // The last stretch is one plain straight four-lane road: forks, medians and extra lanes are
  // closed in time.
  for (int row = top; row < top + 90; ++row) {
    const std::vector<int> lanes = RoadColumns(map, row);
    ASSERT_EQ(lanes.size(), 4u) << "row " << row;
    EXPECT_EQ(lanes[3] - lanes[0], 3) << "row " << row;
    for (int c : lanes) EXPECT_LT(map.Get(row, c), 21) << "row " << row;
  }
  const std::vector<int> lastRow = RoadColumns(map, top);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(map.Get(top, lastRow[0] + k), k + 1);

  // Walls and kiosks stand beside pavements, never straight against a lane.
  for (int row = top; row <= 1500; ++row)
    for (int c = 1; c <= TRoadMap::Columns; ++c)
      if (IsSolidCode(map.Get(row, c))) {
        ASSERT_FALSE(IsRoadCode(map.Get(row, c - 1))) << row << "," << c;
        ASSERT_FALSE(IsRoadCode(map.Get(row, c + 1))) << row << "," << c;
      }
}

INSTANTIATE_TEST_SUITE_P(SeedsAndLevels, RoadGeneratorInvariants,
                         testing::Values(GeneratedLevel{1, 300}, GeneratedLevel{2, 300},
                                         GeneratedLevel{3, 700}, GeneratedLevel{4, 1100},
                                         GeneratedLevel{5, 1300}, GeneratedLevel{6, 1300},
                                         GeneratedLevel{77, 1300}));

TEST(RoadGenerator, EveryKindOfStretchAppears) {
  // Over a handful of long levels the road forks, widens with a median, with an extra lane on
  // either side, and shifts both ways.
  std::set<int> codes;
  bool forked = false;
  for (std::uint32_t seed = 1; seed <= 5; ++seed) {
    RandomSeed(seed);
    GenerateRoadMap(1300);
    for (int row = 200; row <= 1500; ++row) {
      int edges = 0;
      for (int c = 1; c <= TRoadMap::Columns; ++c) {
        codes.insert(RoadMap.Get(row, c));
        edges += RoadMap.Get(row, c) == 1;
      }
      forked = forked || edges == 2;
    }
  }
  EXPECT_TRUE(forked);
  for (int code : {5, 9, 13, 17, 21, 22, 33, 34, 35, 39, 40, 45, 49, 58, 59, 60})
    EXPECT_TRUE(codes.count(code)) << code;
}

TEST(RoadGenerator, SeedFixesTheMap) {
  // Recorded fingerprints: a change here means the generator (or the random source) no longer
  // produces the same levels.
  struct Case {
    std::uint32_t seed;
    int length;
    std::uint64_t hash;
  };
  const Case cases[] = {
      {1, 300, 0x1fdd8127cbcabfafull},
      {1, 1300, 0x3ee7c9dca35ea7bfull},
  };
  for (const Case& c : cases) {
    RandomSeed(c.seed);
    GenerateRoadMap(c.length);
    EXPECT_EQ(RoadMap.Hash(), c.hash) << c.seed << " " << c.length;
  }
}

TEST(RoadGenerator, SegmentSelection) {
  TRoadMap map;
  TRoadGenerator generator(map, 300);
  generator.SelectSegment(3);
  EXPECT_EQ(generator.SegmentKind, 3);
  EXPECT_EQ(generator.SegmentRowsLeft, 6);
  generator.SelectSegment(11);
  EXPECT_EQ(generator.SegmentKind, 11);
  EXPECT_EQ(generator.SegmentRowsLeft, 20);
  generator.SelectSegment(12);  // not a kind: nothing changes
  generator.SelectSegment(0);
  EXPECT_EQ(generator.SegmentKind, 11);
  EXPECT_EQ(generator.SegmentRowsLeft, 20);
}

}  // namespace
}  // namespace kestrune
