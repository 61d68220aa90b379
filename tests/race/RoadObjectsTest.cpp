#include <gtest/gtest.h>

#include <set>

#include "fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "race/Bonuses.h"
#include "race/Finish.h"
#include "race/Lamps.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Player.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

// An empty map, the car at its place and the window at the level start.
struct RoadObjectsTest : ::testing::Test {
  RoadObjectsTest() {
    RaceWorld::FlatMap(0, false);
    RacePlayer = TPlayer::Create(365, 400);
    GameState.RoadLength = 300;
    GameState.BonusLevelValue = 10;
  }
  // Pixels drawn (not black) in the box.
  int Drawn(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += world.surface.Row(y)[x] != 0;
    return n;
  }
  RaceWorld world;
};

TEST_F(RoadObjectsTest, LampsStandOnEdgeTilesOfEveryFifthRow) {
  TLamp* lamps = TLamp::Create();
  // Right-edge tiles (lamp drawn 28 pixels left of the cell) down window column 5, and a lane
  // tile that carries no lamp in column 8.
  for (int row = 1480; row <= 1500; ++row) {
    RoadMap.Set(row, MapColumnOffset + 5, 4);
    RoadMap.Set(row, MapColumnOffset + 8, 2);
  }
  MapRowOffset = 1488;  // window rows 0..9 are map rows 1488..1497: lamps on 1490 and 1495
  world.surface.Fill(0);
  lamps->DrawSelf();
  for (int i = 0; i < 8; ++i) {  // the rows that fit on the surface
    const bool lampRow = (MapRowOffset + i) % 5 == 0;
    EXPECT_EQ(Drawn(360 - 28, 72 * i, 360 - 28 + 85, 72 * i + 20) > 0, lampRow) << "window row " << i;
  }
  EXPECT_EQ(Drawn(560, 0, 640, 600), 0);

  // A post at window row 6 stands at (360 + 56, 432 + 9), inside the car.
  auto hitOnRow = [&](int mapRowOffset) {
    MapRowOffset = mapRowOffset;
    RacePlayer->Bounced = RacePlayer->ObstacleHitThisPass = false;  // a new move pass
    lamps->MoveSelf(11);
  };
  RacePlayer->Speed = 50;
  hitOnRow(1491);  // window rows 6 and 7 are map rows 1497 and 1498: no lamps
  EXPECT_EQ(RacePlayer->HitsLeft, 3);
  hitOnRow(1489);  // map row 1495
  EXPECT_EQ(RacePlayer->HitsLeft, 2);
  EXPECT_EQ(RacePlayer->Speed, -100);
  EXPECT_EQ(world.Count("Collision"), 1);
  // Reversing into it: bounced forwards, another hit.
  hitOnRow(1489);
  EXPECT_EQ(RacePlayer->Speed, 100);
  EXPECT_EQ(RacePlayer->HitsLeft, 1);
  // Out of hits or crashed, a lamp does nothing.
  for (auto [hits, crashed] : {std::pair{0, false}, std::pair{2, true}}) {
    RacePlayer->HitsLeft = hits;
    RacePlayer->Crashed = crashed;
    hitOnRow(1489);
    EXPECT_EQ(RacePlayer->HitsLeft, hits);
  }
  EXPECT_EQ(world.Count("Collision"), 2);
}

// Every edge tile's lamp: where its picture is drawn and the one point of its post the car
// touches (a car that misses that point by a pixel drives past).
TEST_F(RoadObjectsTest, EachEdgeTilesLampStandsAndIsTouchedAtItsPlace) {
  struct Case {
    int tile, drawX, contactX, contactY;
  };
  const Case cases[] = {
      {1, 12, 12, 9},   {4, -28, 56, 9},   {5, 42, 43, 1},    {8, 0, 73, 41},   {9, 8, 9, 1},
      {12, -36, 37, 41}, {13, -48, 26, 1}, {16, -6, -8, 41}, {17, -12, 62, 1}, {20, 30, 31, 40},
  };
  TLamp* lamps = TLamp::Create();
  MapRowOffset = 1489;  // window row 6 is map row 1495, a lamp row: its cells' tops at y 432
  const int cellX = 360, cellY = 432;  // window column 5
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tile);
    RaceWorld::FlatMap(0, false);
    RoadMap.Set(1495, MapColumnOffset + 5, static_cast<std::uint8_t>(c.tile));
    world.surface.Fill(0);
    lamps->DrawSelf();
    int left = -1;
    for (int x = 0; x < 800 && left < 0; ++x)
      if (world.surface.Row(cellY + 1)[x] != 0) left = x;
    EXPECT_EQ(left, cellX + c.drawX);

    const double px = cellX + c.contactX, py = cellY + c.contactY;
    for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1},
                                 std::pair{0, -1}}) {
      // A car whose outline is a pixel-wide square round the point (dx, dy) off the post.
      const double x = px + dx, y = py + dy;
      RacePlayer->Corners = {{{x - 0.5, y - 0.5}, {x + 0.5, y - 0.5}, {x + 0.5, y + 0.5}, {x - 0.5, y + 0.5}}};
      RacePlayer->HitsLeft = 3;
      RacePlayer->Speed = 0;
      RacePlayer->ObstacleHitThisPass = false;
      lamps->MoveSelf(11);
      EXPECT_EQ(RacePlayer->HitsLeft, dx == 0 && dy == 0 ? 2 : 3) << "off by " << dx << ", " << dy;
    }
  }
}

// Two obstacles touched in one move pass count as one: the car is not bounced off the first and
// then turned round into the second, whichever way it was going.
TEST_F(RoadObjectsTest, TwoObstaclesInOnePassGiveOneHit) {
  struct Case {
    const char* name;
    int secondTile;  // in window column 6, right of a right-edge tile (post at x 416) in column 5
    double speed, speedAfter;
  };
  const Case cases[] = {
      // A left-edge tile beside it: its post stands at x 444, 28 pixels from the other.
      {"two posts, reversing", 1, -10, 10},
      {"two posts, standing", 1, 0, 0},
      {"two posts, forwards", 1, 50, -100},
      // A solid tile (42: x 0..64, y 0..64 of its cell), tested by the road before the lamps.
      {"wall and post, reversing", 42, -10, 10},
      {"wall and post, forwards", 42, 50, -100},
  };
  TLamp* lamps = TLamp::Create();
  auto* road = new TScrollBackground(2, TRoadMap::WindowColumns, TRoadMap::WindowRows, "Tiles");
  RaceRoad = road;
  MapRowOffset = 1489;  // window row 6 is map row 1495, a lamp row, at screen y 432
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RaceWorld::FlatMap(0, false);
    RoadMap.Set(1495, MapColumnOffset + 5, 4);
    RoadMap.Set(1495, MapColumnOffset + 6, c.secondTile);
    road->X = road->Y = 0;
    ScrollVelocityX = ScrollVelocityY = 0;
    RacePlayer->HitsLeft = 3;
    RacePlayer->Speed = c.speed;
    RacePlayer->Velocity = c.speed / 10;
    RacePlayer->Bounced = RacePlayer->ObstacleHitThisPass = false;
    // Corners round both posts (y 441) and over the wall's corner.
    RacePlayer->Corners = {{{400, 400}, {460, 400}, {460, 460}, {400, 460}}};
    world.played.clear();
    road->MoveSelf(11);
    lamps->MoveSelf(11);
    EXPECT_EQ(RacePlayer->HitsLeft, 2);
    EXPECT_EQ(RacePlayer->Speed, c.speedAfter);
    EXPECT_EQ(world.Count("Collision"), 1);
  }
}

TEST_F(RoadObjectsTest, BonusesLieOnTheMiddleLanesOfTheRightMostRoad) {
  RaceWorld::FlatMap(0, true);  // road at columns 321..324
  RandomSeed(3);
  TBonus* bonuses = TBonus::Create();
  EXPECT_EQ(bonuses->UsedSlots(), 10);
  for (int n = 1; n <= 10; ++n) {
    const TBonusSlot& slot = bonuses->Slot(n);
    EXPECT_TRUE(slot.Active);
    EXPECT_GE(slot.Row, 1249);
    EXPECT_LE(slot.Row, 1494);
    EXPECT_TRUE(slot.Column == 322 || slot.Column == 323);
    EXPECT_GE(slot.Kind, 1);
    EXPECT_LE(slot.Kind, 8);
  }
  EXPECT_FALSE(bonuses->Slot(11).Active);

  // A second road further right takes every slot over; a map without roads leaves them all empty.
  for (int row = 1; row <= TRoadMap::Rows; ++row) RoadMap.Set(row, 400, 1);
  bonuses->Reset();
  for (int n = 1; n <= 10; ++n) EXPECT_GE(bonuses->Slot(n).Column, 401);
  RaceWorld::FlatMap(0, false);
  bonuses->Reset();
  for (int n = 1; n <= 10; ++n) EXPECT_FALSE(bonuses->Slot(n).Active);
}

// The random draws of the bonus placement come in a fixed order, which fixes the bonuses of a
// seed (and so every recorded game): per slot its row, then on the road its lane and its kind,
// a third extra life being drawn again.
TEST_F(RoadObjectsTest, BonusPlacementDrawsInItsDocumentedOrder) {
  RaceWorld::FlatMap(0, true);  // one left edge (column 321) in every row
  GameState.BonusLevelValue = 40;
  TBonus* bonuses = TBonus::Create();
  for (std::uint32_t seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE(seed);
    RandomSeed(seed);
    bonuses->Reset();
    RandomSeed(seed);
    int lives = 0;
    for (int n = 1; n <= 40; ++n) {
      const int row = 1249 + Random(246);
      const int column = 322 + Random(2);
      int kind = 1 + Random(8);
      while (lives >= 2 && kind == 5) kind = 1 + Random(8);
      lives += kind == 5;
      const TBonusSlot& slot = bonuses->Slot(n);
      ASSERT_TRUE(slot.Active);
      EXPECT_EQ(slot.Row, row) << "slot " << n;
      EXPECT_EQ(slot.Column, column) << "slot " << n;
      EXPECT_EQ(slot.Kind, kind) << "slot " << n;
    }
    const int next = Random(1 << 30);
    RandomSeed(seed);
    bonuses->Reset();
    EXPECT_EQ(Random(1 << 30), next);  // nothing else was drawn
  }
}

// What each of the eight kinds is worth when the car drives over it.
TEST_F(RoadObjectsTest, EachBonusKindGivesItsPointsAndItsGift) {
  struct Case {
    int kind, points;
    const char* sound;
    int lives, weapon, ammo;
    bool nitro;
  };
  const Case cases[] = {
      {1, 10, "Score", 3, 0, 0, false},   {2, 20, "Score", 3, 0, 0, false},
      {3, 50, "Score", 3, 0, 0, false},   {4, 100, "Score", 3, 0, 0, false},
      {5, 50, "Bonus", 4, 0, 0, false},   {6, 30, "Bonus", 3, 0, 0, true},
      {7, 20, "Bonus", 3, 3, 25, false},  {8, 20, "Bonus", 3, 4, 20, false},
  };
  TBonus* bonuses = TBonus::Create();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    GameState.Score = 0;
    GameState.Lives = 3;
    RacePlayer->DropAll();
    world.played.clear();
    // Window cell (5, 6) lies under the car.
    bonuses->Slot(1) = {true, MapColumnOffset + 5, MapRowOffset + 6, static_cast<std::uint8_t>(c.kind)};
    bonuses->MoveSelf(11);
    EXPECT_FALSE(bonuses->Slot(1).Active);
    EXPECT_EQ(GameState.Score, c.points);
    EXPECT_EQ(world.played, std::vector<std::string>{c.sound});
    EXPECT_EQ(GameState.Lives, c.lives);
    EXPECT_EQ(RacePlayer->HasNitro, c.nitro);
    EXPECT_EQ(RacePlayer->Nitro, c.nitro ? 100 : 0);
    EXPECT_EQ(RacePlayer->Weapon, c.weapon);
    EXPECT_EQ(RacePlayer->Ammo, c.ammo);
  }
}

TEST_F(RoadObjectsTest, NoLevelHoldsMoreThanTwoExtraLives) {
  RaceWorld::FlatMap(0, true);
  GameState.RoadLength = 1300;
  GameState.BonusLevelValue = 400;
  TBonus* bonuses = TBonus::Create();
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    RandomSeed(seed);
    bonuses->Reset();
    int lives = 0;
    std::set<int> kinds;
    for (int n = 1; n <= 400; ++n) {
      lives += bonuses->Slot(n).Kind == 5;
      kinds.insert(bonuses->Slot(n).Kind);
    }
    EXPECT_LE(lives, 2) << "seed " << seed;
    EXPECT_EQ(kinds.size(), 8u);
  }
}

TEST_F(RoadObjectsTest, ABonusUnderTheCarIsCollectedOnce) {
  TBonus* bonuses = TBonus::Create();
  GameState.Lives = 3;
  // Window cell (5, 6) lies under the car: its picture spans (379..414, 451..485).
  TBonusSlot& life = bonuses->Slot(1);
  life = {true, MapColumnOffset + 5, MapRowOffset + 6, 5};
  TBonusSlot& points = bonuses->Slot(2);
  points = {true, MapColumnOffset + 5, MapRowOffset + 2, 4};  // ahead of the car
  bonuses->MoveSelf(11);
  bonuses->MoveSelf(11);
  EXPECT_FALSE(life.Active);
  EXPECT_EQ(GameState.Score, 50);
  EXPECT_EQ(GameState.Lives, 4);
  EXPECT_EQ(world.Count("Bonus"), 1);
  EXPECT_TRUE(points.Active);

  // Drawn while in the window, at 19 pixels into the cell; gone once collected.
  world.surface.Fill(0);
  bonuses->DrawSelf();
  EXPECT_GT(Drawn(360 + 19, 144 + 19, 360 + 54, 144 + 53), 0);
  EXPECT_EQ(Drawn(360 + 19, 432 + 19, 360 + 54, 432 + 53), 0);
}

TEST_F(RoadObjectsTest, TheFinishLineIsReachedOnceTheCarHasPassedIt) {
  RaceWorld::FlatMap(0, true);
  TFinish* finish = TFinish::Create();
  EXPECT_EQ(finish->LinePosition, 90000);  // map row 1250
  // The line's screen y is 90000 - 72 * row offset + road y; the car's top edge is at 400.
  MapRowOffset = 1245;
  RaceRoad = nullptr;
  finish->MoveSelf(11);
  EXPECT_DOUBLE_EQ(finish->Y, 360);
  EXPECT_FALSE(finish->Reached);
  MapRowOffset = 1244;
  finish->MoveSelf(11);
  EXPECT_TRUE(finish->Reached);
  MapRowOffset = 1250;  // reversing back below it changes nothing
  finish->MoveSelf(11);
  EXPECT_TRUE(finish->Reached);

  // Drawn on the two middle lanes only: between the left edge (column 321) and the right (324).
  world.surface.Fill(0);
  MapColumnOffset = 318;
  MapRowOffset = 1245;
  finish->DrawSelf();
  EXPECT_EQ(Drawn(0, 360, 800, 384), 2 * 72 * 24);
  EXPECT_EQ(Drawn(4 * 72, 360, 6 * 72, 384), 2 * 72 * 24);

  GameState.RoadLength = 500;
  finish->Reset();
  EXPECT_FALSE(finish->Reached);
  EXPECT_EQ(finish->LinePosition, 111600 - 72 * 500);
}

}  // namespace
}  // namespace kestrune
