#pragma once
// The level's tile map and the window the road sprite shows of it.
//
// 1500 rows x 650 columns of tile codes, both numbered from 1; row 1500 is the bottom of the
// map, where a level starts, and smaller row numbers lie further up the road. A cell is 72 x 72
// map pixels and its code is also the pattern drawn from the picture "Tiles". The window shows
// map row MapRowOffset + m, column MapColumnOffset + k at screen (roadX + 72 k, roadY + 72 m).

#include <cstdint>
#include <vector>

namespace kestrune {

class TRoadMap {
 public:
  static constexpr int Rows = 1500;
  static constexpr int Columns = 650;
  static constexpr int CellSize = 72;
  static constexpr int WindowColumns = 13;
  static constexpr int WindowRows = 10;
  static constexpr int MaxColumnOffset = Columns - WindowColumns;  // 637
  static constexpr int MaxRowOffset = Rows - WindowRows;           // 1490
  static constexpr std::uint8_t Unfilled = 255;

  TRoadMap() : cells_(static_cast<std::size_t>(Rows) * Columns, 0) {}

  static bool Contains(int row, int column) {
    return row >= 1 && row <= Rows && column >= 1 && column <= Columns;
  }
  // Cells outside the map read as open ground and writes to them are dropped, so shapes drawn
  // near an edge never spill into a neighbouring row.
  std::uint8_t Get(int row, int column) const {
    return Contains(row, column) ? cells_[Index(row, column)] : 0;
  }
  void Set(int row, int column, int code) {
    if (Contains(row, column)) cells_[Index(row, column)] = static_cast<std::uint8_t>(code);
  }
  void Fill(std::uint8_t code) { cells_.assign(cells_.size(), code); }
  void Replace(std::uint8_t from, std::uint8_t to) {
    for (std::uint8_t& cell : cells_) cell = cell == from ? to : cell;
  }
  // Pointer to column 1 of a row (1 <= row <= Rows); the row's 650 cells follow contiguously.
  std::uint8_t* RowData(int row) { return cells_.data() + Index(row, 1); }
  const std::uint8_t* RowData(int row) const { return cells_.data() + Index(row, 1); }
  const std::vector<std::uint8_t>& Cells() const { return cells_; }
  // FNV-1a over all cells: a fingerprint of a generated level.
  std::uint64_t Hash() const;

 private:
  static std::size_t Index(int row, int column) {
    return static_cast<std::size_t>(row - 1) * Columns + static_cast<std::size_t>(column - 1);
  }
  std::vector<std::uint8_t> cells_;
};

// The race's map, its window and the road velocity (pixels per unit move at 85 frames per
// second, written by the race frame from the player's heading and speed).
extern TRoadMap RoadMap;
extern int MapColumnOffset;
extern int MapRowOffset;
extern double ScrollVelocityX;
extern double ScrollVelocityY;

// Tile codes a car may drive on: the lanes, shifts, medians and extra-lane pieces.
constexpr bool IsRoadCode(int code) { return (code >= 1 && code <= 22) || (code >= 33 && code <= 35); }

}  // namespace kestrune
