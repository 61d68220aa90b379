#pragma once
// The outline of the goodbye window, cut from its artwork: pixels of the artwork's key colour
// (the colour at (1, 1)) in the outer 8-pixel frame become holes, so rounded or cut corners
// drawn in that colour show the desktop through them. The inside is always kept.

#include <cstdint>
#include <vector>

#include "framework/ArchiveTypes.h"
#include "framework/Surface.h"

namespace kestrune {

struct TWindowShape {
  int Width = 0, Height = 0;
  // Runs of the key colour cut out of the window, one row high each, strip by strip (top, left,
  // right, bottom) and left to right within a row.
  std::vector<TRect> RemovedRuns;
  // The rectangle that always stays, whatever the frame holds.
  TRect Inner;
  // Width x Height bytes, row by row: 1 where the window shows, 0 for a hole.
  std::vector<std::uint8_t> Mask() const;
};

// The frame depth scanned for holes.
inline constexpr int kShapeFrame = 8;

TWindowShape ComputeWindowShape(const TPictureData& artwork);

}  // namespace kestrune
