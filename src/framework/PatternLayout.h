#pragma once
// How a picture item is cut into patterns: cells of the pattern size, a skip apart (a negative
// skip overlaps them), as many whole cells as fit. The picture collection lays its patterns out
// by this, and the archive reader budgets them by it before any is built.

#include <cstdint>
#include <string>

namespace kestrune {

struct TPatternGrid {
  long long Columns = 0, Rows = 0;
  int Width = 0, Height = 0;  // of one pattern
  long long Count() const { return Columns * Rows; }
  // Pixels and rows over all patterns: what building their run tables scans and keeps.
  long long Area() const { return Count() * Width * Height; }
  long long PatternRows() const { return Count() * Height; }
};

// patternWidth / patternHeight of 0 or less mean the whole picture. A cell of no size (from a
// negative skip) gives no patterns.
inline TPatternGrid LayPatterns(int width, int height, int patternWidth, int patternHeight, int skipWidth,
                                int skipHeight) {
  TPatternGrid grid;
  grid.Width = patternWidth > 0 ? patternWidth : width;
  grid.Height = patternHeight > 0 ? patternHeight : height;
  if (width <= 0 || height <= 0) return grid;
  if (grid.Width == width && grid.Height == height) {
    grid.Columns = grid.Rows = 1;
    return grid;
  }
  const long long a = static_cast<long long>(grid.Width) + skipWidth;
  const long long c = static_cast<long long>(grid.Height) + skipHeight;
  if (a <= 0 || c <= 0) return grid;
  const long long cols = (width + static_cast<long long>(skipWidth)) / a;
  const long long rows = (height + static_cast<long long>(skipHeight)) / c;
  if (cols > 0 && rows > 0) {
    grid.Columns = cols;
    grid.Rows = rows;
  }
  return grid;
}

// What the patterns of one picture archive may add up to. Tiny or heavily overlapping patterns
// cost far more than their picture (a record and run tables each, every one scanned whole), so
// they are bounded like the pixels: a player's big archive (a few 4096 x 4096 pictures in
// 64 x 64 patterns: 4096 patterns, 16 M pixels and 262144 rows each) still loads.
inline constexpr long long kMaxArchivePatterns = 1ll << 18;
inline constexpr long long kMaxArchivePatternArea = 64ll << 20;
inline constexpr long long kMaxArchivePatternRows = 8ll << 20;

// The patterns of one archive counted against those budgets, item by item: the archive reader
// refuses an archive by it, and the pack tool refuses to build one.
struct TPatternBudget {
  long long Patterns = 0, Area = 0, Rows = 0;

  // Counts one item's patterns; what the archive now exceeds, as the reader reports it, or ""
  // while it is within the budgets.
  std::string Add(const TPatternGrid& grid) {
    Patterns += grid.Count();
    Area += grid.Area();
    Rows += grid.PatternRows();
    if (Patterns > kMaxArchivePatterns)
      return "Too many patterns (at most " + std::to_string(kMaxArchivePatterns) + " in an archive)";
    if (Area > kMaxArchivePatternArea || Rows > kMaxArchivePatternRows)
      return "Patterns too large (at most " + std::to_string(kMaxArchivePatternArea) + " pixels and " +
             std::to_string(kMaxArchivePatternRows) + " rows in an archive)";
    return {};
  }
};

}  // namespace kestrune
