#include <gtest/gtest.h>

#include "fixtures/RaceWorld.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Player.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

struct ScrollBackgroundTest : ::testing::Test {
  RaceWorld world;
};

TEST_F(ScrollBackgroundTest, CreatedAsTheRaceRoad) {
  ScrollVelocityX = 3;
  auto* road = new TScrollBackground(2, 13, 10, "Tiles");
  EXPECT_EQ(road->Parent, &world.engine);
  EXPECT_EQ(road->Z(), 2);
  EXPECT_EQ(road->MapWidth(), 13);
  EXPECT_EQ(road->MapHeight(), 10);
  EXPECT_EQ(road->TileWidth(), 72);
  EXPECT_EQ(ScrollVelocityX, 0);
  road->Kill();
  road->Kill();  // once only
  EXPECT_EQ(world.engine.DeadList().size(), 1u);
}

// Each case: road position and velocity before a move, the window offsets before, and what the
// move leaves.
TEST_F(ScrollBackgroundTest, WrapsAndShiftsTheWindowByTheVelocitysSign) {
  struct Case {
    const char* what;
    double x, y, vx, vy;
    int column, row;
    double wantX, wantY;
    int wantColumn, wantRow;
  };
  const Case cases[] = {
      {"no wrap", -10, -10, 4, -4, 318, 1488, -8, -12, 318, 1488},
      {"right: column left", -1, -30, 4, 0, 318, 1488, -71, -30, 317, 1488},
      {"left: column right", -71, -30, -4, 0, 318, 1488, -1, -30, 319, 1488},
      {"up the road: row up", -30, -1, 0, 4, 318, 1488, -30, -71, 318, 1487},
      {"down the road: row down", -30, -71, 0, -4, 318, 1488, -30, -1, 318, 1489},
      {"left map edge", -1, -30, 4, 0, 0, 1488, -71, -30, 0, 1488},
      {"right map edge", -71, -30, -4, 0, 637, 1488, -1, -30, 637, 1488},
      {"top of the map", -30, -1, 0, 4, 318, 0, -30, -71, 318, 0},
      {"bottom of the map", -30, -71, 0, -4, 318, 1490, -30, -1, 318, 1490},
      {"zero velocity past an edge", 5, -80, 0, 0, 318, 1488, -67, -8, 318, 1488},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* road = new TScrollBackground(2, 13, 10, "Tiles");
    road->X = c.x;
    road->Y = c.y;
    ScrollVelocityX = c.vx;
    ScrollVelocityY = c.vy;
    MapColumnOffset = c.column;
    MapRowOffset = c.row;
    road->MoveSelf(11);  // moves by half the velocity at SpeedScale 1
    EXPECT_DOUBLE_EQ(road->X, c.wantX);
    EXPECT_DOUBLE_EQ(road->Y, c.wantY);
    EXPECT_EQ(MapColumnOffset, c.wantColumn);
    EXPECT_EQ(MapRowOffset, c.wantRow);
    EXPECT_EQ(road->VelocityX, c.vx);
    delete road;
  }
}

TEST_F(ScrollBackgroundTest, MovementScalesWithTheFrameRate) {
  auto* road = new TScrollBackground(2, 13, 10, "Tiles");
  road->X = road->Y = -36;
  ScrollVelocityY = 8;
  GameState.SpeedScale = 85.0 / 60.0;
  road->MoveSelf(16);
  EXPECT_DOUBLE_EQ(road->Y, -36 + 4 * 85.0 / 60.0);
}

TEST_F(ScrollBackgroundTest, CopiesTheMapWindowIntoTheChips) {
  RaceWorld::FlatMap(0, true);
  RoadMap.Set(1490, 330, 42);
  MapColumnOffset = 318;
  MapRowOffset = 1488;
  RaceRoad = new TScrollBackground(2, 13, 10, "Tiles");
  CopyWindowToChips();
  EXPECT_EQ(RaceRoad->GetChip(3, 0), 1);  // column 321
  EXPECT_EQ(RaceRoad->GetChip(6, 9), 4);  // column 324, row 1497
  EXPECT_EQ(RaceRoad->GetChip(12, 2), 42);
  EXPECT_EQ(RaceRoad->GetChip(0, 0), 0);
}

// A car whose corners form the given screen rectangle, standing still or driving forward.
TPlayer* CarAt(double left, double top, double right, double bottom, double speed) {
  TPlayer* car = TPlayer::Create(365, 400);
  car->Corners = {{{left, top}, {right, top}, {right, bottom}, {left, bottom}}};
  car->Speed = speed;
  car->Velocity = speed / 10;
  return car;
}

TEST_F(ScrollBackgroundTest, WallsKickTheCarBackOrBounceIt) {
  RaceWorld::FlatMap(0, false);
  // A wall corner (42: solid in x 0..64, y 0..64) in window cell (5, 3): screen 360..432 x 216..288.
  RoadMap.Set(1488 + 3, 318 + 5, 42);
  auto* road = new TScrollBackground(2, 13, 10, "Tiles");
  RaceRoad = road;

  // Only the 8-pixel margin at the lower right: no collision.
  RacePlayer = CarAt(425, 281, 440, 300, 50);
  road->MoveSelf(11);
  EXPECT_EQ(RacePlayer->Speed, 50);
  EXPECT_EQ(RacePlayer->HitsLeft, 3);

  // Driving into it: kicked back to -100, one hit taken, "Collision".
  RacePlayer = CarAt(400, 250, 420, 300, 50);
  road->MoveSelf(11);
  EXPECT_EQ(RacePlayer->Speed, -100);
  EXPECT_EQ(RacePlayer->Velocity, -10);
  EXPECT_TRUE(RacePlayer->Bounced);
  EXPECT_EQ(RacePlayer->HitsLeft, 2);
  EXPECT_EQ(world.Count("Collision"), 1);

  // Backing into it: both speeds turned round.
  RacePlayer = CarAt(400, 250, 420, 300, -10);
  road->X = road->Y = 0;
  road->MoveSelf(11);
  EXPECT_EQ(RacePlayer->Speed, 10);
  EXPECT_EQ(RacePlayer->HitsLeft, 2);

  // Off the race screen, walls are not tested.
  GameState.Screen = ScreenMainMenu;
  RacePlayer = CarAt(400, 250, 420, 300, 50);
  road->X = road->Y = 0;
  road->MoveSelf(11);
  EXPECT_EQ(RacePlayer->Speed, 50);
}

TEST_F(ScrollBackgroundTest, TouchingTwoWallsAtOnceCountsAsOneHit) {
  RaceWorld::FlatMap(0, false);
  // The lower-left corner of a walled block: 41 above 42.
  RoadMap.Set(1488 + 3, 318 + 5, 41);
  RoadMap.Set(1488 + 4, 318 + 5, 42);
  auto* road = new TScrollBackground(2, 13, 10, "Tiles");
  RaceRoad = road;
  RacePlayer = CarAt(420, 270, 440, 300, 50);
  road->MoveSelf(11);
  EXPECT_EQ(RacePlayer->Speed, -100);
  EXPECT_EQ(RacePlayer->HitsLeft, 2);
}

}  // namespace
}  // namespace kestrune
