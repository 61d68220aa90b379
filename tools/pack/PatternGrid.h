#pragma once
// How an item's picture is cut into patterns: the same rule the image library builds by, for
// listing and drawing archives outside the game.

#include <cstdint>
#include <vector>

#include "framework/ArchiveTypes.h"

namespace kestrune::pack {

struct PatternRect {
  int Left, Top, Right, Bottom;
};

// Number of patterns the item's picture is cut into (0 for an empty picture or a grid whose
// cell is not positive).
std::int64_t PatternCount(const PictureItemRecord& item);
// The patterns' source rectangles, numbered row by row; empty when there are more than `limit`.
std::vector<PatternRect> PatternRects(const PictureItemRecord& item, std::int64_t limit = 1 << 16);

}  // namespace kestrune::pack
