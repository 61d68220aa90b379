#include <gtest/gtest.h>

#include <set>

#include "../fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "race/Bonuses.h"
#include "race/Finish.h"
#include "race/Lamps.h"
#include "vehicles/Player.h"

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
    RacePlayer->Bounced = false;
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
  // A car that already bounced off a wall in this pass is not turned round into the lamp again.
  MapRowOffset = 1489;
  RacePlayer->Bounced = true;
  lamps->MoveSelf(11);
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
