#include <gtest/gtest.h>

#include <set>

#include "fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "race/Pedestrians.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

// A straight road at columns 321..324 with plain paving (24) five cells wide on either side.
struct PedestriansTest : ::testing::Test {
  PedestriansTest() {
    RandomSeed(11);
    RaceWorld::FlatMap(0, true);
    for (int row = 1; row <= TRoadMap::Rows; ++row)
      for (int k = 1; k <= 5; ++k) {
        RoadMap.Set(row, 321 - k, 24);
        RoadMap.Set(row, 324 + k, 24);
      }
    GameState.RoadLength = 300;
    RacePlayer = TPlayer::Create(365, 400);
    men = RaceMen = TMan::Create();
  }
  // A walker in slot n at map point (x, y).
  TPedestrian& Put(int n, double x, double y, std::uint8_t direction, std::uint8_t pace = 4) {
    TPedestrian& p = men->Slot(n);
    p = TPedestrian{};
    p.Active = true;
    p.X = x;
    p.Y = y;
    p.Direction = p.NextDirection = direction;
    p.Pace = pace;
    return p;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) men->MoveSelf(GameState.FrameTimeMs);
  }
  // Map point of a screen point with the window at its start and the road at 0.
  static double MapX(int screenX) { return 72.0 * MapColumnOffset + screenX; }
  static double MapY(int screenY) { return 72.0 * MapRowOffset + screenY; }

  RaceWorld world;
  TMan* men = nullptr;
};

TEST_F(PedestriansTest, ResetPlacesOnePerPavementAndEveryFifthRow) {
  // Level 1: rows 1200, 1205, .., 1490 in two passes.
  EXPECT_EQ(men->SlotsUsed(), 118);
  int placed = 0;
  for (int n = 1; n <= 118; ++n) {
    const TPedestrian& p = men->Slot(n);
    if (!p.Active) continue;  // the range drawn for the row ended right at the kerb
    ++placed;
    const int column = static_cast<int>(p.X) / 72, row = static_cast<int>(p.Y) / 72;
    EXPECT_EQ(p.X, 72 * column + 36);
    EXPECT_EQ(row, 1200 + 5 * ((n - 1) % 59)) << "slot " << n;
    if (n <= 59)
      EXPECT_TRUE(column >= 316 && column <= 320) << column;
    else
      EXPECT_TRUE(column >= 325 && column <= 329) << column;
    EXPECT_TRUE(p.Direction == WalkLeft || p.Direction == WalkRight);  // paving 24
    EXPECT_GE(p.Pace, 3);
    EXPECT_LE(p.Pace, 5);
  }
  EXPECT_GT(placed, 100);
  EXPECT_FALSE(men->Slot(119).Active);

  // A first row without a road edge places no one; the next row without one reuses the range
  // of the row before it.
  for (int row : {1200, 1210})
    for (int c = 321; c <= 324; ++c) RoadMap.Set(row, c, 0);
  RandomSeed(1);
  men->Reset();
  EXPECT_FALSE(men->Slot(1).Active);
  EXPECT_FALSE(men->Slot(60).Active);
  const TPedestrian &before = men->Slot(2), &reused = men->Slot(3);
  EXPECT_EQ(reused.Active, before.Active);
  EXPECT_EQ(reused.X, before.X);
}

// The random draws of a placement come in a fixed order, which fixes who walks where for a
// seed (and so every recorded game): per row and pass the range, then for the pedestrian its
// sex, its direction where the paving leaves a choice, its pace and its animation position.
TEST_F(PedestriansTest, PlacementDrawsInItsDocumentedOrder) {
  // One scanned row (a level of 10 rows scans row 1490 only): paving 25 (any direction) left of
  // the road, 23 (up or down) right of it.
  RaceWorld::FlatMap(0, true);
  for (int k = 1; k <= 20; ++k) {
    RoadMap.Set(1490, 321 - k, 25);
    RoadMap.Set(1490, 324 + k, 23);
  }
  GameState.RoadLength = 10;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    RandomSeed(seed);
    men->Reset();
    ASSERT_EQ(men->SlotsUsed(), 2);
    RandomSeed(seed);
    struct Expected {
      bool active = false, girl = false;
      int column = 0, direction = 0, pace = 0, anim = 0;
    } left, right;
    const int reach = Random(20);  // pass 1: columns 321 - reach .. 320
    if (reach > 0) {
      left = {true, Random(2) == 1, 321 - reach, WalkLeft + Random(4), 3 + Random(3), Random(4)};
    }
    const int far = Random(20);  // pass 2: columns 325 .. 324 + far
    if (far > 0) {
      right = {true, Random(2) == 1, 325, WalkUp + Random(2), 3 + Random(3), Random(4)};
    }
    for (const auto& [n, e] : {std::pair{1, left}, std::pair{2, right}}) {
      const TPedestrian& p = men->Slot(n);
      ASSERT_EQ(p.Active, e.active) << "slot " << n;
      if (!e.active) continue;
      EXPECT_EQ(p.Girl, e.girl) << "slot " << n;
      EXPECT_EQ(p.X, 72.0 * e.column + 36) << "slot " << n;
      EXPECT_EQ(p.Y, 72.0 * 1490) << "slot " << n;
      EXPECT_EQ(p.Direction, e.direction) << "slot " << n;
      EXPECT_EQ(p.NextDirection, e.direction) << "slot " << n;
      EXPECT_EQ(p.Pace, e.pace) << "slot " << n;
      EXPECT_EQ(p.AnimPos, e.anim) << "slot " << n;
    }
    // Nothing else was drawn: the source is where the reset left it.
    const int next = Random(1 << 30);
    RandomSeed(seed);
    men->Reset();
    EXPECT_EQ(Random(1 << 30), next);
  }
}

TEST_F(PedestriansTest, TheLevelOneRoadFillsTheSlotsItsRowsGive) {
  RandomSeed(5);
  GameState.Level = 1;
  SetupLevel(1);
  men->Reset();
  EXPECT_EQ(men->SlotsUsed(), 118);
  const std::set<int> paving = {23, 24, 25, 26, 27, 28, 29, 58, 60};
  int placed = 0;
  for (int n = 1; n <= TMan::Slots; ++n) {
    const TPedestrian& p = men->Slot(n);
    if (!p.Active) continue;
    ++placed;
    const int row = static_cast<int>(p.Y) / 72;
    EXPECT_EQ(row % 5, 0);
    EXPECT_TRUE(paving.count(RoadMap.Get(row, static_cast<int>(p.X) / 72)));
  }
  EXPECT_GT(placed, 59);
}

TEST_F(PedestriansTest, WaysChosenByThePavingUnderfoot) {
  struct Case {
    std::uint8_t direction;
    int tile;
    std::set<int> ways;
  };
  const Case cases[] = {
      {WalkLeft, 26, {WalkDown}},         // side A
      {WalkUp, 60, {WalkUp, WalkRight}},  // ahead or side B
      {WalkRight, 25, {WalkUp, WalkRight, WalkDown}},
      {WalkDown, 24, {WalkUp}},    // no way on: back
      {WalkLeft, 0, {WalkRight}},  // off the paving: back
  };
  for (const Case& c : cases) {
    std::set<int> seen;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
      RandomSeed(seed);
      // Walking into the cell (330, 1400) from its neighbour.
      const int column = 330, row = 1400;
      RoadMap.Set(row, column, c.tile);
      const double dx = c.direction == WalkLeft ? 72 : c.direction == WalkRight ? -72 : 0;
      const double dy = c.direction == WalkUp ? 72 : c.direction == WalkDown ? -72 : 0;
      TPedestrian& p = Put(1, 72 * column + 36 + dx, 72 * row + 36 + dy, c.direction);
      while (static_cast<int>(p.X) / 72 != column || static_cast<int>(p.Y) / 72 != row) Frames(1);
      Frames(1);
      seen.insert(p.Direction);
    }
    EXPECT_EQ(seen, c.ways) << "direction " << int(c.direction) << " on tile " << c.tile;
  }
}

TEST_F(PedestriansTest, RunOverOnceAndLyingStill) {
  men->Slot(1).Active = false;
  // The picture's corner (373, 423) lies on the car.
  TPedestrian& girl = Put(1, MapX(400), MapY(450), WalkUp);
  girl.Girl = true;
  RacePlayer->Speed = 100;
  RacePlayer->Velocity = 10;
  for (int n = 2; n <= TMan::Slots; ++n) men->Slot(n).Active = false;
  Frames(1);
  EXPECT_EQ(girl.Direction, WalkLying);
  EXPECT_EQ(girl.Pace, 0);
  EXPECT_EQ(girl.X, MapX(390));
  EXPECT_EQ(GameState.Score, 5);
  EXPECT_EQ(world.Count("KillW"), 1);
  EXPECT_DOUBLE_EQ(RacePlayer->Speed, 90);
  EXPECT_EQ(BloodCounter, 50);
  EXPECT_EQ(men->CountLying(), 1);

  // Still under the car for a few seconds: no second score, and she does not get up.
  Frames(300);
  EXPECT_EQ(GameState.Score, 5);
  EXPECT_EQ(world.Count("KillW"), 1);
  EXPECT_EQ(girl.Direction, WalkLying);
  EXPECT_EQ(girl.X, MapX(390));

  // A second victim while the blood of the first is still being laid tops the counter up to 30.
  BloodCounter = 12;
  Put(2, MapX(400), MapY(450), WalkLeft);
  Frames(1);
  EXPECT_EQ(BloodCounter, 30);
  EXPECT_EQ(world.Count("Kill"), 1);
}

TEST_F(PedestriansTest, ARocketBlowsAwayEvenTheFallen) {
  for (int n = 1; n <= TMan::Slots; ++n) men->Slot(n).Active = false;
  TPedestrian& lying = Put(1, MapX(200), MapY(100), WalkLying, 0);
  TPedestrian& next = Put(2, MapX(200) + 20, MapY(100), WalkUp, 0);
  TRocket* rockets[2] = {TRocket::Create(0, -1000), TRocket::Create(0, -1000)};
  RaceRockets = {rockets[0], rockets[1], nullptr, nullptr, nullptr};
  GameState.Score = 5;
  // The rocket's nose in the square from (X - 4, Y - 4) to (X + 30, Y + 30) of both.
  for (TRocket* rocket : rockets) {
    rocket->RocketFlying = true;
    rocket->RocketMapX = lying.X + 25;
    rocket->RocketMapY = lying.Y + 10;
  }
  Frames(1);
  EXPECT_EQ(lying.Direction, WalkGone);
  EXPECT_EQ(lying.X, MapX(190));
  EXPECT_TRUE(rockets[0]->RocketExploding);
  // The second rocket took the one next to her; an exploding one takes no one else.
  EXPECT_EQ(next.Direction, WalkGone);
  EXPECT_TRUE(rockets[1]->RocketExploding);
  EXPECT_EQ(GameState.Score, 15);
  EXPECT_EQ(world.Count("Explosion"), 2);
  TPedestrian& third = Put(3, MapX(200), MapY(100), WalkUp, 0);
  Frames(1);
  EXPECT_EQ(third.Direction, WalkUp);
  EXPECT_EQ(GameState.Score, 15);
  EXPECT_EQ(men->CountLying(), 0);
  RaceRockets.fill(nullptr);
}

TEST_F(PedestriansTest, TheHornScaresVisibleWalkersForASecond) {
  for (int n = 1; n <= TMan::Slots; ++n) men->Slot(n).Active = false;
  for (int row = 1; row <= TRoadMap::Rows; ++row) RoadMap.Set(row, 319, 23);  // a path straight up
  TPedestrian& near = Put(1, MapX(100), MapY(100), WalkUp, 3);
  TPedestrian& far = Put(2, MapX(100), MapY(3000), WalkUp, 3);
  TPedestrian& lying = Put(3, MapX(200), MapY(100), WalkLying, 0);
  Frames(1);  // who is on screen is known after a move
  RacePlayer->KeyHorn = true;
  RacePlayer->MoveSelf(11);
  EXPECT_TRUE(men->Panicking());
  EXPECT_EQ(near.Pace, TMan::PanicPace);
  EXPECT_EQ(far.Pace, 3);
  EXPECT_EQ(lying.Pace, 0);
  EXPECT_EQ(world.Count("Horn"), 1);

  const double startY = near.Y;
  Frames(90);  // 990 ms
  EXPECT_TRUE(men->Panicking());
  EXPECT_EQ(near.Pace, TMan::PanicPace);
  Frames(1);
  EXPECT_FALSE(men->Panicking());
  EXPECT_GE(near.Pace, 3);
  EXPECT_LE(near.Pace, 5);
  EXPECT_EQ(lying.Direction, WalkLying);
  // 8 frames of the animation a second, 16 pixels each.
  EXPECT_NEAR(startY - near.Y, 8 * 16, 16);
}

TEST_F(PedestriansTest, TheGunRayKillsWalkersWithinFiftyPixels) {
  for (int n = 1; n <= TMan::Slots; ++n) men->Slot(n).Active = false;
  TPedestrian& a = Put(1, 50000 + 50, 90000 - 50, WalkUp);
  TPedestrian& b = Put(2, 50000 - 20, 90000, WalkLeft);
  TPedestrian& out = Put(3, 50000 + 51, 90000, WalkUp);
  TPedestrian& down = Put(4, 50000, 90000, WalkLying, 0);
  EXPECT_TRUE(men->ShootAt(50000, 90000));
  EXPECT_EQ(a.Direction, WalkLying);
  EXPECT_EQ(b.Direction, WalkLying);
  EXPECT_EQ(b.X, 50000 - 30);
  EXPECT_EQ(out.Direction, WalkUp);
  EXPECT_EQ(down.X, 50000);
  EXPECT_EQ(GameState.Score, 10);
  EXPECT_FALSE(men->ShootAt(50000, 90000));
  // The machine gun's ray asks the race's pedestrians.
  EXPECT_TRUE(GunRayKillsPedestrians(50000 + 90, 90000));
  EXPECT_EQ(out.Direction, WalkLying);
}

}  // namespace
}  // namespace kestrune
