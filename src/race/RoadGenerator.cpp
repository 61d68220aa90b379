#include "race/RoadGenerator.h"

#include <array>
#include <cstring>

#include "framework/Random.h"

namespace kestrune {

namespace {
constexpr int kStartColumnOffset = 318;
constexpr int kStartRowOffset = 1488;
constexpr int kUnfilled = TRoadMap::Unfilled;
}  // namespace

void TRoadGenerator::SetSegment(int kind, int rows) {
  SegmentKind = kind;
  SegmentRowsLeft = rows;
}

void TRoadGenerator::SelectSegment(int kind) {
  if (kind >= 1 && kind <= 3)
    SetSegment(kind, 6);
  else if (kind >= 4 && kind <= 11)
    SetSegment(kind, 20);
}

bool TRoadGenerator::AreaFree(int row, int column, int height, int width) const {
  for (int i = row + 1; i <= row + height; ++i) {
    const std::uint8_t* cells = &Cell(i, column);
    for (int k = 0; k < width; ++k)
      if (cells[k] != kUnfilled) return false;
  }
  return true;
}

void TRoadGenerator::Generate() {
  FillAndSeed();
  GenerateRoadRows();
  AddPavementsAndScenery();
  AddBlocks();
  AddSmallPieces();
  CleanUp();
}

void TRoadGenerator::FillAndSeed() {
  MapColumnOffset = kStartColumnOffset;
  MapRowOffset = kStartRowOffset;
  map_.Fill(TRoadMap::Unfilled);
  for (int row = 1480; row <= 1499; ++row) WriteRow(row, 321, {1, 2, 3, 4});
}

void TRoadGenerator::ChooseNextKind() {
  switch (SegmentKind) {
    case 1: {
      static constexpr int kNext[7] = {1, 2, 3, 4, 6, 8, 10};
      SelectSegment(kNext[Random(7)]);
      break;
    }
    case 2:
    case 3:
    case 4:
    case 6:
    case 8:
    case 10: {
      const int kind = SegmentKind;
      if (Random(2) == 0)
        SelectSegment(kind);
      else if (kind == 2 || kind == 3)
        SelectSegment(1);
      else
        SelectSegment(kind + 1);
      break;
    }
    default:
      // Joins and narrowings end themselves once their closing rule fires.
      break;
  }
}

void TRoadGenerator::ForceClosingKind() {
  switch (SegmentKind) {
    case 1:
    case 2:
    case 3:
      SelectSegment(1);
      break;
    case 4:
    case 6:
    case 8:
    case 10:
      SelectSegment(SegmentKind + 1);
      break;
    default:
      break;
  }
}

// Straight, shift-left and shift-right stretches: what each lane code puts in the row above.
// Values stay -1 when nothing is written there.
void TRoadGenerator::LaneAutomaton(int t, int& left, int& above, int& right) const {
  switch (SegmentKind) {
    case 1:
      if (t >= 1 && t <= 4)
        above = t;
      else if (t >= 5 && t <= 8)
        right = t + 4;
      else if (t >= 9 && t <= 12)
        above = t - 8;
      else if (t >= 13 && t <= 16)
        left = t + 4;
      else if (t >= 17 && t <= 20)
        above = 21 - t;
      break;
    case 2:
      if (t >= 1 && t <= 4)
        above = 17 - t;
      else if (t >= 13 && t <= 16)
        left = t + 4;
      else if (t >= 17 && t <= 20)
        above = t - 4;
      break;
    case 3:
      if (t >= 1 && t <= 4)
        above = t + 4;
      else if (t >= 5 && t <= 8)
        right = t + 4;
      else if (t >= 9 && t <= 12)
        above = t - 4;
      break;
    default:
      break;
  }
}

// Forks, joins, medians and extra lanes: whole shapes written from the left edge piece (code 1)
// of a lane set. A shape spanning several rows moves r up, and the rest of the row's columns
// carry on at the new r. Each rule tests the map at the current r.
void TRoadGenerator::PatternRules(int kind, int c, int& r) {
  auto edge = [&] { return Get(r, c) == 1; };
  switch (kind) {
    case 4:
      if (edge() && Get(r, c + 4) != 1 && Get(r, c - 4) != 1) {
        WriteRow(r - 1, c, {16, 15, 7, 8});
        WriteRow(r - 2, c - 1, {20, 19, 18, 10, 11, 12});
        WriteRow(r - 3, c - 1, {16, 15, 14, 6, 7, 8});
        WriteRow(r - 4, c - 2, {20, 19, 18, 17, 9, 10, 11, 12});
        WriteRow(r - 5, c - 2, {1, 2, 3, 4, 1, 2, 3, 4});
        r -= 4;
      }
      if (edge() && Get(r, c + 4) == 1) WriteRow(r - 1, c, {1, 2, 3, 4, 1, 2, 3, 4});
      break;
    case 5:
      if (edge() && Get(r, c + 4) == 1) {
        WriteRow(r - 1, c, {5, 6, 7, 8, 16, 15, 14, 13});
        WriteRow(r - 2, c + 1, {9, 10, 11, 19, 18, 17});
        WriteRow(r - 3, c + 1, {5, 6, 7, 15, 14, 13});
        WriteRow(r - 4, c + 2, {9, 10, 18, 17});
        WriteRow(r - 5, c + 2, {1, 2, 3, 4});
        r -= 4;
      }
      if (edge() && Get(r, c + 4) != 1 && Get(r, c - 4) != 1) {
        WriteRow(r - 1, c, {1, 2, 3, 4});
        SelectSegment(1);
      }
      break;
    case 6:
      if (edge() && Get(r, c + 2) == 21) WriteRow(r - 1, c, {1, 2, 21, 22, 3, 4});
      if (edge() && Get(r, c + 2) != 21) {
        WriteRow(r - 1, c, {16, 15, 7, 8});
        WriteRow(r - 2, c - 1, {20, 19, 18, 10, 11, 12});
        WriteRow(r - 3, c - 1, {1, 2, 21, 22, 3, 4});
        r -= 2;
      }
      break;
    case 7:
      if (edge() && Get(r, c + 2) != 21) {
        WriteRow(r - 1, c, {1, 2, 3, 4});
        SelectSegment(1);
      }
      if (edge() && Get(r, c + 2) == 21) {
        WriteRow(r - 1, c, {5, 6, 7, 15, 14, 13});
        WriteRow(r - 2, c + 1, {9, 10, 18, 17});
        WriteRow(r - 3, c + 1, {1, 2, 3, 4});
        r -= 2;
      }
      break;
    case 8:
      if (edge() && Get(r, c + 2) == 22) WriteRow(r - 1, c, {1, 34, 22, 3, 4});
      if (edge() && Get(r, c + 2) == 3) {
        WriteRow(r - 1, c, {1, 33, 7, 8});
        WriteRow(r - 2, c, {1, 33, 10, 11, 12});
        WriteRow(r - 3, c, {1, 34, 22, 3, 4});
        r -= 2;
      }
      break;
    case 9:
      if (edge() && Get(r, c + 2) == 3) {
        WriteRow(r - 1, c, {1, 2, 3, 4});
        SelectSegment(1);
      }
      if (edge() && Get(r, c + 2) == 22) {
        WriteRow(r - 1, c, {1, 33, 15, 14, 13});
        WriteRow(r - 2, c, {1, 33, 18, 17});
        WriteRow(r - 3, c, {1, 2, 3, 4});
        r -= 2;
      }
      break;
    case 10:
      if (edge() && Get(r, c + 2) == 21) WriteRow(r - 1, c, {1, 2, 21, 35, 4});
      if (edge() && Get(r, c + 2) == 3) {
        WriteRow(r - 1, c, {16, 15, 33, 4});
        WriteRow(r - 2, c - 1, {20, 19, 18, 33, 4});
        WriteRow(r - 3, c - 1, {1, 2, 21, 35, 4});
        r -= 2;
      }
      break;
    case 11:
      if (edge() && Get(r, c + 2) == 3) {
        WriteRow(r - 1, c, {1, 2, 3, 4});
        SelectSegment(1);
      }
      if (edge() && Get(r, c + 2) == 21) {
        WriteRow(r - 1, c, {5, 6, 7, 33, 4});
        WriteRow(r - 2, c + 1, {9, 10, 33, 4});
        WriteRow(r - 3, c + 1, {1, 2, 3, 4});
        r -= 2;
      }
      break;
    default:
      break;
  }
}

void TRoadGenerator::GenerateRoadRows() {
  SelectSegment(1);
  const int top = TRoadMap::Rows - length_;  // the road reaches this row
  int r = 1480;
  while (r > top) {
    if (SegmentRowsLeft == 0) ChooseNextKind();
    // In the last 99 rows every stretch is steered to its closing kind, so the level ends on a
    // plain straight road.
    if (r < 1600 - length_) ForceClosingKind();
    for (int c = 1; c <= TRoadMap::Columns; ++c) {
      const int kind = SegmentKind;
      int left = -1, above = -1, right = -1;
      if (kind <= 3) {
        const int t = Cell(r, c);
        // Most of a row is still unfilled; only lane codes lead anywhere.
        if (t == kUnfilled) continue;
        LaneAutomaton(t, left, above, right);
      } else {
        // Every pattern rule starts from a left edge piece at the current r.
        if (Cell(r, c) != 1) continue;
        PatternRules(kind, c, r);
      }
      if (left >= 0) Set(r - 1, c - 1, left);
      if (above >= 0) Set(r - 1, c, above);
      if (right >= 0) Set(r - 1, c + 1, right);
    }
    --r;
    --SegmentRowsLeft;
  }
}

bool TRoadGenerator::PavementAt(int i, int column) const {
  for (int row = i + 1; row <= i + 4; ++row)
    if (Cell(row, column) != 23) return false;
  return true;
}

void TRoadGenerator::PavementCell(int i, int j) {
  if (Cell(i, j - 1) != kUnfilled) return;
  const int here = Cell(i, j);
  const int twoLeft = Cell(i, j - 2);
  if (here == kUnfilled && twoLeft == kUnfilled) return;  // open land: no rule applies
  const int s = j > 25 ? j - 10 : 1;
  const int e = j < 625 ? j + 10 : TRoadMap::Columns;
  if (here == 1) Set(i, j - 1, 23);
  if (here == 9) {
    Set(i, j - 1, 28);
    Set(i, j - 2, 26);
  }
  if (here == 20) Set(i, j - 1, 23);
  if (here == 5) {
    Set(i, j - 1, 25);
    FillRow(i, s, j - 2, 24);
  }
  if (here == 16) {
    Set(i, j - 1, 27);
    Set(i, j - 2, 25);
    FillRow(i, s, j - 3, 24);
  }
  if (twoLeft == 4) Set(i, j - 1, 23);
  if (twoLeft == 12) Set(i, j - 1, 25);
  if (twoLeft == 8) {
    Set(i, j - 1, 26);
    Set(i, j, 28);
  }
  if (twoLeft == 17) {
    Set(i, j - 1, 29);
    Set(i, j, 27);
  }
  if (twoLeft == 13) {
    Set(i, j - 1, 25);
    FillRow(i, j, e, 24);
  }
  if (twoLeft == 12) FillRow(i, j, e, 24);
}

void TRoadGenerator::SceneryCell(int i, int j) {
  auto paving = [&](int row, int column) {
    const int code = Cell(row, column);
    return code == 24 || code == 25;
  };
  auto unfilled = [&](int row, int column) { return Cell(row, column) == kUnfilled; };

  if (i < 1497) {
    if (paving(i + 1, j) && unfilled(i + 2, j) && paving(i + 3, j)) Set(i + 2, j, 30 + Random(3));
    if (Cell(i + 1, j + 1) == 24 && unfilled(i + 1, j) && unfilled(i + 2, j) && unfilled(i + 2, j + 1)) {
      Set(i + 1, j, 36);
      Set(i + 2, j, 37);
      Set(i + 2, j + 1, 38);
    }
    if (Cell(i + 1, j - 1) == 24 && unfilled(i + 1, j) && unfilled(i + 2, j) && unfilled(i + 2, j + 1)) {
      Set(i, j, 36);
      Set(i + 1, j, 37);
      Set(i + 1, j + 1, 38);
    }
  }

  if (i < 1495) {
    const int choice = Random(3);
    // Blocks and kiosks stand only against a pavement; most cells have none beside them.
    if (Cell(i + 1, j - 1) != 23 && Cell(i + 1, j + 1) != 23 && Cell(i + 1, j + 4) != 23) return;
    switch (choice) {
      case 0:
        if ((PavementAt(i, j + 4) || PavementAt(i, j - 1)) && AreaFree(i, j, 4, 4)) {
          WriteRow(i + 1, j, {0, 40, 40, 40});
          WriteRow(i + 2, j, {41, 45, 46, 44});
          WriteRow(i + 3, j, {41, 47, 48, 44});
          WriteRow(i + 4, j, {41, 42, 42, 43});
        }
        break;
      case 1:
        if ((PavementAt(i, j + 4) || PavementAt(i, j - 1)) && AreaFree(i, j, 4, 4)) {
          WriteRow(i + 2, j + 1, {49, 50, 51});
          WriteRow(i + 3, j + 1, {52, 53, 54});
          WriteRow(i + 4, j + 1, {55, 56, 57});
          if (PavementAt(i, j + 4) && Random(2) == 0) {
            Set(i + 1, j + 4, 58);
            FillRow(i + 1, j - 17, j + 3, 24);
          }
          if (PavementAt(i, j - 1) && Random(2) == 0) {
            Set(i + 1, j - 1, 60);
            FillRow(i + 1, j, j + 20, 24);
          }
        }
        break;
      default:
        if ((PavementAt(i, j + 1) || PavementAt(i, j - 1)) && AreaFree(i, j, 5, 1)) {
          // A kiosk: its solid end pieces face the pavement it stands against.
          static constexpr int kKioskRight[5] = {0, 39, 32, 39, 0};
          static constexpr int kKioskLeft[5] = {0, 59, 32, 59, 0};
          if (PavementAt(i, j + 1))
            for (int k = 0; k < 5; ++k) Set(i + 1 + k, j, kKioskRight[k]);
          if (PavementAt(i, j - 1))
            for (int k = 0; k < 5; ++k) Set(i + 1 + k, j, kKioskLeft[k]);
        }
        break;
    }
  }
}

void TRoadGenerator::AddPavementsAndScenery() {
  // Away from the road a cell's rules find only unfilled cells in its own row and the one below
  // (columns j-2..j+4) and do nothing but draw their Random(3). unfilledPair_[c] is the AND of
  // column c in those two rows (255 while both are unfilled), kept up to date by Set, so such
  // cells take a short cut that draws the same numbers.
  constexpr int kWords = TRoadMap::Columns / 8;
  std::array<std::uint8_t, TRoadMap::Columns + 16> pair;
  unfilledPair_ = pair.data();
  for (int i = 1498; i >= TRoadMap::Rows - length_; --i) {
    pairTop_ = i;
    pair.fill(0);
    const std::uint8_t* upper = &Cell(i, 1);
    const std::uint8_t* lower = &Cell(i + 1, 1);
    for (int w = 0; w < kWords; ++w) {
      std::uint64_t a, b;
      std::memcpy(&a, upper + 8 * w, 8);
      std::memcpy(&b, lower + 8 * w, 8);
      a &= b;
      std::memcpy(pair.data() + 1 + 8 * w, &a, 8);
    }
    for (int c = 8 * kWords; c < TRoadMap::Columns; ++c)
      pair[static_cast<std::size_t>(c + 1)] = upper[c] & lower[c];
    // The draws of skipped cells are discarded in one go before the next cell that works.
    std::uint64_t skippedDraws = 0;
    for (int j = 3; j <= 645; ++j) {
      std::uint64_t nearby;
      std::memcpy(&nearby, pair.data() + j - 2, 8);
      if (nearby == ~std::uint64_t{0}) {
        if (i < 1495) ++skippedDraws;
        continue;
      }
      RandomDiscard(skippedDraws);
      skippedDraws = 0;
      PavementCell(i, j);
      SceneryCell(i, j);
    }
    RandomDiscard(skippedDraws);
  }
  unfilledPair_ = nullptr;
}

template <typename Place>
void TRoadGenerator::ForEachFreeArea(int i, int height, int width, Place&& place) {
  // combined[c - 1] is the AND of rows i+1..i+height of column c, so it is 255 exactly when all
  // those cells are unfilled. Rows are combined eight cells at a time: this runs over the whole
  // map twice per level.
  constexpr int kWords = TRoadMap::Columns / 8;
  std::array<std::uint8_t, TRoadMap::Columns> combined;
  combined.fill(kUnfilled);
  for (int row = i + 1; row <= i + height; ++row) {
    const std::uint8_t* cells = &Cell(row, 1);
    for (int w = 0; w < kWords; ++w) {
      std::uint64_t a, b;
      std::memcpy(&a, combined.data() + 8 * w, 8);
      std::memcpy(&b, cells + 8 * w, 8);
      a &= b;
      std::memcpy(combined.data() + 8 * w, &a, 8);
    }
    for (int c = 8 * kWords; c < TRoadMap::Columns; ++c) combined[static_cast<std::size_t>(c)] &= cells[c];
  }
  auto blocked = [&](int c) { return combined[static_cast<std::size_t>(c - 1)] != kUnfilled; };
  for (int j = 1; j <= 645;) {
    // A filled column at j + k rules out every area starting at j..j+k: skip past it.
    int k = width - 1;
    while (k >= 0 && !blocked(j + k)) --k;
    if (k >= 0) {
      j += k + 1;
      continue;
    }
    if (place(j)) {
      for (int c = j; c < j + width; ++c) {
        std::uint8_t value = kUnfilled;
        for (int row = i + 1; row <= i + height; ++row) value &= Cell(row, c);
        combined[static_cast<std::size_t>(c - 1)] = value;
      }
    }
    ++j;
  }
}

void TRoadGenerator::AddBlocks() {
  for (int i = TRoadMap::Rows - 1 - length_; i <= 1495; ++i) {
    ForEachFreeArea(i, 5, 5, [&](int j) {
      if (Random(4) != 0) return false;
      // A free area lies inside the map, so the cells are written directly.
      static constexpr std::uint8_t kTop[5] = {26, 24, 24, 24, 27};
      static constexpr std::uint8_t kBottom[5] = {29, 24, 24, 24, 28};
      std::memcpy(&Cell(i + 1, j), kTop, 5);
      for (int row = i + 2; row <= i + 4; ++row) {
        std::uint8_t* cells = &Cell(row, j);
        cells[0] = 23;
        for (int k = 1; k <= 3; ++k) cells[k] = static_cast<std::uint8_t>(30 + Random(3));
        cells[4] = 23;
      }
      std::memcpy(&Cell(i + 5, j), kBottom, 5);
      return true;
    });
  }
}

void TRoadGenerator::AddSmallPieces() {
  for (int i = TRoadMap::Rows - 1 - length_; i <= 1495; ++i) {
    ForEachFreeArea(i, 4, 4, [&](int j) {
      if (Random(2) == 0) {
        WriteRow(i + 1, j, {45, 46});
        WriteRow(i + 2, j, {47, 48});
      } else {
        Set(i + 1, j, 36);
        Set(i + 1, j + 1, 31 + Random(2));
        WriteRow(i + 2, j, {37, 38});
      }
      return true;
    });
  }
}

void TRoadGenerator::CleanUp() { map_.Replace(TRoadMap::Unfilled, 0); }

void GenerateRoadMap(int roadLength) { TRoadGenerator(RoadMap, roadLength).Generate(); }

}  // namespace kestrune
