#pragma once
// Builds a level's road map from the bottom upwards: a four-lane road that wanders left and
// right, forks and joins, widens with a median or an extra lane and narrows again, then
// pavements, scenery, walled blocks, kiosks and small pieces on the open land around it.
// Every choice is drawn from Random(n), in a fixed order, so a seed fixes the map.

#include <cstdint>

#include "race/RoadMap.h"

namespace kestrune {

class TRoadGenerator {
 public:
  TRoadGenerator(TRoadMap& map, int roadLength) : map_(map), cells_(map.RowData(1)), length_(roadLength) {}

  // All stages in order. Sets MapColumnOffset and MapRowOffset to the start window.
  void Generate();

  // The stages, public so that tests can look at the map between them.
  void FillAndSeed();
  void GenerateRoadRows();
  void AddPavementsAndScenery();
  void AddBlocks();
  void AddSmallPieces();
  void CleanUp();

  // The kind of road stretch being generated (1 straight, 2 shift left, 3 shift right, 4 fork,
  // 5 join, 6 median, 7 narrow the median, 8 extra lane, 9 drop it, 10 left lane, 11 drop it)
  // and the rows left in it.
  int SegmentKind = 1;
  int SegmentRowsLeft = 0;
  void SetSegment(int kind, int rows);
  void SelectSegment(int kind);

 private:
  int Get(int row, int column) const { return map_.Get(row, column); }
  // Unchecked access for the decoration passes, whose loop bounds keep every cell they touch
  // inside the map; the edge-crossing paving strips go through the checked FillRow.
  std::uint8_t& Cell(int row, int column) const {
    return cells_[static_cast<std::size_t>(row - 1) * TRoadMap::Columns +
                  static_cast<std::size_t>(column - 1)];
  }
  void Set(int row, int column, int code) {
    map_.Set(row, column, code);
    if (unfilledPair_ && (row == pairTop_ || row == pairTop_ + 1) && column >= 1 &&
        column <= TRoadMap::Columns)
      unfilledPair_[column] = 0;
  }
  template <std::size_t N>
  void WriteRow(int row, int firstColumn, const int (&codes)[N]) {
    for (std::size_t k = 0; k < N; ++k) Set(row, firstColumn + static_cast<int>(k), codes[k]);
  }
  void FillRow(int row, int firstColumn, int lastColumn, int code) {
    for (int c = firstColumn; c <= lastColumn; ++c) Set(row, c, code);
  }
  bool AreaFree(int row, int column, int height, int width) const;

  void ChooseNextKind();
  void ForceClosingKind();
  void LaneAutomaton(int t, int& left, int& above, int& right) const;
  void PatternRules(int kind, int column, int& r);

  void PavementCell(int i, int j);
  void SceneryCell(int i, int j);
  // Calls place(j) for each column j = 1..645 whose area rows i+1..i+height, columns
  // j..j+width-1 is all unfilled at that moment; place returns whether it wrote anything.
  template <typename Place>
  void ForEachFreeArea(int i, int height, int width, Place&& place);
  bool PavementAt(int i, int column) const;

  TRoadMap& map_;
  std::uint8_t* cells_;
  int length_;
  std::uint8_t* unfilledPair_ = nullptr;  // see AddPavementsAndScenery
  int pairTop_ = 0;
};

// Generates the race's map for a road of the given length (rows): RoadMap, window offsets.
void GenerateRoadMap(int roadLength);

}  // namespace kestrune
