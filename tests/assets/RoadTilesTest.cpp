// The road tile set ("Tiles"): cells that the road generator puts next to each other continue
// each other's lane lines, kerbs and road surface, and the solid cells show their obstacle on
// exactly the rectangle the car collides with.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <tuple>

#include "framework/ArchiveIO.h"
#include "framework/Random.h"
#include "race/RoadGenerator.h"
#include "race/RoadMap.h"

namespace kestrune {
namespace {

constexpr int kCell = 72;

const PictureItemRecord& Tiles() {
  static const PictureArchive archive = ReadPictureArchive(KESTRUNE_BUILD_DIR "/Data/Res/Res2.dxg");
  static const PictureItemRecord* tiles = [] {
    for (const auto& item : archive.Items)
      if (item.Name == "Tiles") return &item;
    return static_cast<const PictureItemRecord*>(nullptr);
  }();
  if (!tiles) throw std::runtime_error("no Tiles picture");
  return *tiles;
}

std::uint32_t TilePixel(int code, int x, int y) {
  const int columns = Tiles().Picture.Width / kCell;
  return Tiles().Picture.At((code % columns) * kCell + x, (code / columns) * kCell + y) & 0xFFFFFF;
}

// What a pixel shows, coarsely: enough to tell a lane line, the road surface and what lies
// beside the road apart, and robust to texture and antialiasing shades.
enum class Look { Yellow, White, Dark, Green, Light };

Look Classify(std::uint32_t rgb) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  if (r > 170 && g > 130 && b < 120 && r - b > 80) return Look::Yellow;
  if (std::min({r, g, b}) > 228) return Look::White;
  if (g > r + 25 && g > b + 40) return Look::Green;
  if (std::max({r, g, b}) < 110) return Look::Dark;
  return Look::Light;
}

bool IsRoad(int code) { return (code >= 1 && code <= 22) || (code >= 33 && code <= 35); }
bool IsPaving(int code) { return (code >= 23 && code <= 29) || code == 58 || code == 60; }

// Border pixels of two neighbours that show different things, allowing a one-pixel shift along
// the border (diagonal lines cross a row border half a pixel further on). Positions from..to
// (exclusive) along the border are left out.
int BorderMismatches(int first, int second, bool stacked, int from = 0, int to = 0) {
  auto look = [&](int code, int along, bool firstSide) {
    along = std::clamp(along, 0, kCell - 1);
    if (stacked) return Classify(TilePixel(code, along, firstSide ? kCell - 1 : 0));
    return Classify(TilePixel(code, firstSide ? kCell - 1 : 0, along));
  };
  int mismatches = 0;
  for (int k = 0; k < kCell; ++k) {
    if (k >= from && k < to) continue;
    const Look a = look(first, k, true), b = look(second, k, false);
    if (a == b) continue;
    const bool aMatched = a == look(second, k - 1, false) || a == look(second, k + 1, false);
    const bool bMatched = b == look(first, k - 1, true) || b == look(first, k + 1, true);
    if (!aMatched && !bMatched) ++mismatches;
  }
  return mismatches;
}

struct Pair {
  int first, second;  // upper/left, lower/right
  bool stacked;
  bool operator<(const Pair& o) const {
    return std::tie(first, second, stacked) < std::tie(o.first, o.second, o.stacked);
  }
};

// Every neighbour pair the generator produces around the road, over several levels.
std::set<Pair> GeneratedRoadNeighbours() {
  std::set<Pair> pairs;
  for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    RandomSeed(seed);
    TRoadMap map;
    TRoadGenerator generator(map, 300 + 100 * static_cast<int>(seed));
    generator.Generate();
    for (int row = 1; row < TRoadMap::Rows; ++row)
      for (int column = 1; column < TRoadMap::Columns; ++column) {
        const int here = map.Get(row, column), right = map.Get(row, column + 1), below = map.Get(row + 1, column);
        auto consider = [&](int a, int b, bool stacked) {
          if ((IsRoad(a) || IsRoad(b)) && (IsRoad(a) || IsPaving(a)) && (IsRoad(b) || IsPaving(b)))
            pairs.insert({a, b, stacked});
        };
        consider(here, right, false);
        consider(here, below, true);
      }
  }
  return pairs;
}

TEST(RoadTiles, NeighboursTheGeneratorProducesContinueEachOther) {
  const std::set<Pair> pairs = GeneratedRoadNeighbours();
  ASSERT_GT(pairs.size(), 60u);
  std::ostringstream failures;
  for (const Pair& p : pairs) {
    // Where a straight lane (33) runs beside lanes that turn away, the line on their shared
    // border splits in two: it goes straight on in 33 and diagonally in the neighbour.
    if (!p.stacked && (p.first == 33 || p.second == 33)) continue;
    // The hatched median (21, 22) starts and ends at a row border: there only its outer lines
    // have to run on.
    int from = 0, to = 0;
    if (p.stacked && (p.first == 21 || p.second == 21) && p.first != p.second) from = 3, to = kCell;
    if (p.stacked && (p.first == 22 || p.second == 22) && p.first != p.second) from = 0, to = kCell - 3;
    const int mismatches = BorderMismatches(p.first, p.second, p.stacked, from, to);
    if (mismatches > 1)
      failures << p.first << (p.stacked ? " above " : " left of ") << p.second << ": " << mismatches << "\n";
  }
  EXPECT_EQ(failures.str(), "");
}

TEST(RoadTiles, SolidCellsShowTheirObstacleOnExactlyTheCollisionRectangle) {
  struct Solid {
    int code, x0, y0, x1, y1;
  };
  const Solid solids[] = {{59, 0, 0, 35, 72},  {39, 37, 0, 72, 72},  {40, 0, 58, 72, 72}, {41, 65, 0, 72, 68},
                          {42, 0, 0, 64, 64},  {43, 0, 0, 64, 64},   {44, 0, 0, 64, 64}};
  for (const Solid& s : solids) {
    SCOPED_TRACE(s.code);
    int outsideChanged = 0, insideGround = 0;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) {
        const bool inside = x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1;
        const std::uint32_t pixel = TilePixel(s.code, x, y);
        if (!inside) outsideChanged += pixel != TilePixel(0, x, y);
        else insideGround += pixel == TilePixel(0, x, y) || Classify(pixel) == Look::Green;
      }
    // Outside the rectangle the cell is open ground; inside, nothing of the ground shows.
    EXPECT_EQ(outsideChanged, 0);
    EXPECT_EQ(insideGround, 0);
  }
}

TEST(RoadTiles, EveryRoadCodeLooksLikeRoadAndNoOtherCodeDoes) {
  // Road cells are mostly dark surface; pavements, scenery and buildings are not.
  for (int code = 0; code < 64; ++code) {
    int dark = 0;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) dark += Classify(TilePixel(code, x, y)) == Look::Dark;
    const double share = dark / double(kCell * kCell);
    SCOPED_TRACE(code);
    if (IsRoad(code)) EXPECT_GT(share, 0.4);
    else EXPECT_LT(share, 0.4);
  }
}

}  // namespace
}  // namespace kestrune
