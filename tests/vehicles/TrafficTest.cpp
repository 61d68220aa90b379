#include <gtest/gtest.h>

#include <set>

#include "../fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "vehicles/Player.h"
#include "vehicles/Rocket.h"
#include "vehicles/Traffic.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

constexpr int kCell = TRoadMap::CellSize;

// A straight road at columns 321..324 (codes 1..4), a level of 300 rows with 10 cars, the car at
// its place on the screen and the window at 318 / 1488 (column 321 at screen x 216).
struct TrafficTest : ::testing::Test {
  TrafficTest() {
    RandomSeed(11);
    RaceWorld::FlatMap(0, true);
    GameState.RoadLength = 300;
    GameState.TrafficLevelValue = 10;
    GameState.Lives = 3;
    car = TPlayer::Create(365, 400);
    RacePlayer = car;
    traffic = TCar::Create();
    RaceTraffic = traffic;
  }
  // Puts a car of the kind and direction with its top-left corner at a screen point.
  void Place(int slot, int kind, int dir, int speed, double screenX, double screenY) {
    const auto s = static_cast<std::size_t>(slot);
    traffic->CarKind[s] = static_cast<std::uint8_t>(kind);
    traffic->CarDir[s] = static_cast<std::uint8_t>(dir);
    traffic->CarSpeed[s] = speed;
    traffic->CarX[s] = screenX + MapColumnOffset * kCell;
    traffic->CarY[s] = screenY + MapRowOffset * kCell;
    traffic->CarExploding[s] = false;
  }
  void EmptyAll() {
    for (int slot = 1; slot <= TCar::Slots; ++slot) traffic->RemoveCar(slot);
    traffic->CarContact.fill(false);
  }
  void Move(int frames = 1) {
    for (int i = 0; i < frames; ++i) traffic->MoveSelf(GameState.FrameTimeMs);
  }
  // The up lane's screen x for a kind: left of the right edge piece (column 324).
  static double UpLaneX(int kind) { return TCar::UpLaneOffset(kind) + (324 - 1 - 318) * kCell; }
  static double DownLaneX(int kind) { return TCar::DownLaneOffset(kind) + (321 + 1 - 318) * kCell; }

  RaceWorld world;
  TPlayer* car = nullptr;
  TCar* traffic = nullptr;
};

TEST_F(TrafficTest, ResetPlacesHalfTheCarsInEachLaneOnDistinctRows) {
  EXPECT_EQ(traffic->LaneColumnDown, 321);
  EXPECT_EQ(traffic->LaneColumnUp, 324);
  std::set<double> rows;
  for (int slot = 1; slot <= 10; ++slot) {
    const auto s = static_cast<std::size_t>(slot);
    SCOPED_TRACE(slot);
    const int kind = traffic->CarKind[s];
    ASSERT_GE(kind, 1);
    ASSERT_LE(kind, 5);
    const bool down = slot <= 5;
    EXPECT_EQ(traffic->CarDir[s], down ? TCar::DirDown : TCar::DirUp);
    EXPECT_EQ(traffic->CarSpeed[s], down ? -5 : 6);
    EXPECT_DOUBLE_EQ(traffic->CarX[s], down ? TCar::DownLaneOffset(kind) + 322.0 * kCell
                                            : TCar::UpLaneOffset(kind) + 323.0 * kCell);
    const int row = static_cast<int>(traffic->CarY[s]) / kCell;
    EXPECT_DOUBLE_EQ(traffic->CarY[s], row * kCell);
    EXPECT_EQ(row % 4, 0);
    EXPECT_GE(row, 1536 - 300);
    EXPECT_LE(row, 1489);
    rows.insert(traffic->CarY[s]);
  }
  EXPECT_EQ(rows.size(), 10u);
  for (int slot = 11; slot <= TCar::Slots; ++slot) EXPECT_EQ(traffic->CarDir[static_cast<std::size_t>(slot)], 0);
  EXPECT_EQ(traffic->CarsAlive(), 10);

  // A level asking for all 200 slots fills them too, each on its own row.
  GameState.RoadLength = 1100;
  GameState.TrafficLevelValue = 200;
  traffic->ResetTraffic();
  EXPECT_EQ(traffic->CarsAlive(), 200);
}

TEST_F(TrafficTest, RandomKindFavoursMotorbikes) {
  int counts[6] = {};
  for (int i = 0; i < 20000; ++i) ++counts[TCar::RandomKind()];
  EXPECT_EQ(counts[0], 0);
  for (int kind : {1, 2, 4}) EXPECT_NEAR(counts[kind], 4000, 300);
  EXPECT_NEAR(counts[3], 6000, 300);
  EXPECT_NEAR(counts[5], 2000, 250);
}

TEST_F(TrafficTest, LanesMoveAtTheirSpeeds) {
  EmptyAll();
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), -1000);
  Place(6, 1, TCar::DirDown, -5, DownLaneX(1), -1000);
  Move(10);
  EXPECT_DOUBLE_EQ(traffic->ScreenY(1), -1000 - 30);
  EXPECT_DOUBLE_EQ(traffic->ScreenY(6), -1000 + 25);
  EXPECT_FALSE(traffic->CarOnScreen[1]);
}

// Contacts with the player: the kind of collision follows from the car's speed and where it is.
TEST_F(TrafficTest, OneHitPerContactAndTheRightReaction) {
  struct Case {
    const char* name;
    int dir, speed;
    double screenY;
    double speedAfter;  // the player's speed after the contact, from 50
    bool explodes;
  };
  const Case cases[] = {
      // The player runs into an up-lane car ahead: both speeds x 0.2.
      {"rear-end", TCar::DirUp, 6, 300, 10, false},
      // An up-lane car behind runs into the player and shoves it to 90.
      {"shoved", TCar::DirUp, 6, 450, 90, false},
      // Head-on with a down-lane car: the player bounces back and the car explodes.
      {"head-on", TCar::DirDown, -5, 300, -10, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyAll();
    car->HitsLeft = 3;
    car->Speed = 50;
    world.played.clear();
    // In the player's lane, whichever way the car drives.
    const double x = UpLaneX(1);
    // Ten frames in touch count once.
    for (int i = 0; i < 10; ++i) {
      if (!traffic->CarExploding[1]) Place(1, 1, c.dir, c.speed, x, c.screenY);
      Move();
    }
    EXPECT_EQ(car->HitsLeft, 2);
    EXPECT_DOUBLE_EQ(car->Speed, c.speedAfter);
    EXPECT_EQ(traffic->CarExploding[1], c.explodes);
    EXPECT_EQ(world.Count("Explosion"), c.explodes ? 1 : 0);
    // A frame apart (in view, not touching), then a new touch: a second hit.
    Place(1, 1, c.dir, c.speed, x, -200);
    Move();
    Place(1, 1, c.dir, c.speed, x, c.screenY);
    Move();
    EXPECT_EQ(car->HitsLeft, 1);
  }

  // No harm once the finish is crossed or the time is over, and none to a wreck.
  EmptyAll();
  car->HitsLeft = 3;
  car->TimeOver = true;
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), 300);
  Move();
  EXPECT_EQ(car->HitsLeft, 3);
  car->TimeOver = false;
  car->Crashed = true;
  Place(2, 1, TCar::DirDown, -5, UpLaneX(1), 300);
  Move();
  EXPECT_EQ(car->HitsLeft, 3);
  EXPECT_FALSE(traffic->CarExploding[2]);
}

TEST_F(TrafficTest, ACarOnTheRestartPointVanishesHarmlessly) {
  EmptyAll();
  car->JustRestarted = true;
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), 300);
  Place(2, 1, TCar::DirUp, 6, UpLaneX(1), 450);
  Move();
  // The first car touched goes; the protection ends with it, so the second one hits.
  EXPECT_EQ(traffic->CarDir[1], 0);
  EXPECT_FALSE(car->JustRestarted);
  EXPECT_EQ(car->HitsLeft, 2);
  EXPECT_DOUBLE_EQ(car->Speed, 90);

  // The car's own move after a restart clears every car within 720 pixels of it.
  EmptyAll();
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), 400 - 715);
  Place(2, 1, TCar::DirUp, 6, UpLaneX(1), 400 + 725);
  Place(3, 1, TCar::DirDown, -5, DownLaneX(1), 400 + 700);
  car->JustRestarted = true;
  car->MoveSelf(GameState.FrameTimeMs);
  EXPECT_EQ(traffic->CarDir[1], 0);
  EXPECT_EQ(traffic->CarDir[2], TCar::DirUp);
  EXPECT_EQ(traffic->CarDir[3], 0);
  EXPECT_FALSE(car->JustRestarted);
}

// A shift to the right between map rows 1400 and 1399: below it the road lies at columns
// 321..324, above it at 322..325. Cars slant across it and straighten in the new lane.
TEST_F(TrafficTest, CarsFollowAShift) {
  for (int row = 1; row <= 1398; ++row) {
    RoadMap.Set(row, 321, 0);
    for (int k = 0; k < 4; ++k) RoadMap.Set(row, 322 + k, 1 + k);
  }
  for (int k = 0; k < 4; ++k) {
    RoadMap.Set(1400, 321 + k, 5 + k);
    RoadMap.Set(1399, 322 + k, 9 + k);
  }
  RoadMap.Set(1399, 321, 0);
  EmptyAll();
  MapRowOffset = 1300;  // keep the cars away from the player
  const double upX = TCar::UpLaneOffset(1) + 323.0 * kCell;
  const double downX = TCar::DownLaneOffset(1) + 323.0 * kCell;  // the down lane above the shift
  auto place = [&](int slot, int dir, int speed, double x, double y) {
    Place(slot, 1, dir, speed, x - MapColumnOffset * kCell, y - MapRowOffset * kCell);
  };
  place(1, TCar::DirUp, 6, upX, 1402.0 * kCell);
  place(2, TCar::DirDown, -5, downX, 1394.0 * kCell);
  bool slanted[3] = {};
  for (int i = 0; i < 300; ++i) {
    Move();
    slanted[1] = slanted[1] || traffic->CarDir[1] == TCar::DirUpRight;
    slanted[2] = slanted[2] || traffic->CarDir[2] == TCar::DirDownLeft;
  }
  EXPECT_TRUE(slanted[1]);
  EXPECT_TRUE(slanted[2]);
  EXPECT_EQ(traffic->CarDir[1], TCar::DirUp);
  EXPECT_EQ(traffic->CarDir[2], TCar::DirDown);
  EXPECT_LT(traffic->CarY[1], 1397.0 * kCell);
  EXPECT_GT(traffic->CarY[2], 1402.0 * kCell);
  // Each car ends up about one column over, in the same lane of the shifted road.
  EXPECT_NEAR(traffic->CarX[1], upX + kCell, 12);
  EXPECT_NEAR(traffic->CarX[2], downX - kCell, 12);
}

TEST_F(TrafficTest, CarsLeavingTheMapComeBackInTheOtherLane) {
  EmptyAll();
  MapRowOffset = 1000;
  // A down-lane car leaving at the bottom returns in the up lane at row 1498; the car standing
  // there is removed. An up-lane car leaving at the top returns in the down lane at the top.
  Place(1, 1, TCar::DirDown, -5, 0, 107856.0 - MapRowOffset * kCell);
  Place(2, 2, TCar::DirUp, 6, 0, (1535.0 - 300) * kCell + 1 - MapRowOffset * kCell);
  Place(3, 5, TCar::DirUp, 0, TCar::UpLaneOffset(5) + 323.0 * kCell - MapColumnOffset * kCell,
        107856.0 - 60 - MapRowOffset * kCell);
  Place(4, 1, TCar::DirUp, 0, 0, 107000.0 - MapRowOffset * kCell);
  Move();
  EXPECT_EQ(traffic->CarDir[1], TCar::DirUp);
  EXPECT_EQ(traffic->CarSpeed[1], 6);
  EXPECT_DOUBLE_EQ(traffic->CarY[1], 107856);
  EXPECT_DOUBLE_EQ(traffic->CarX[1], TCar::UpLaneOffset(traffic->CarKind[1]) + 323.0 * kCell);
  EXPECT_EQ(traffic->CarDir[2], TCar::DirDown);
  EXPECT_DOUBLE_EQ(traffic->CarY[2], (1536.0 - 300) * kCell);
  EXPECT_DOUBLE_EQ(traffic->CarX[2], TCar::DownLaneOffset(traffic->CarKind[2]) + 322.0 * kCell);
  EXPECT_EQ(traffic->CarDir[3], 0);
  EXPECT_EQ(traffic->CarDir[4], TCar::DirUp);
  EXPECT_EQ(traffic->CarsAlive(), 3);
}

TEST_F(TrafficTest, ARocketBlowsUpTheCarItHitsAndTheWreckClearsAway) {
  for (TRocket*& rocket : RaceRockets) rocket = TRocket::Create(0, -1000);
  GameState.FrameTimeMs = 8;
  EmptyAll();
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), 100);
  RaceRockets[2]->LaunchRocket(UpLaneX(1) + 45, 100 + 60 + 3, 18, 0);
  Move();
  EXPECT_TRUE(traffic->CarExploding[1]);
  EXPECT_EQ(traffic->CarSpeed[1], 0);
  EXPECT_EQ(GameState.Score, 10);
  EXPECT_FALSE(RaceRockets[2]->RocketFlying);
  EXPECT_EQ(world.Count("Explosion"), 1);
  // 20 patterns a second, 0.16 a frame: past pattern 13 after 82 frames the slot is empty.
  Move(80);
  EXPECT_EQ(traffic->CarDir[1], TCar::DirUp);
  EXPECT_TRUE(traffic->CarExploding[1]);
  Move(1);
  EXPECT_EQ(traffic->CarDir[1], 0);
}

}  // namespace
}  // namespace kestrune
