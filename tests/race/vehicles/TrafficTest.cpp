#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "race/vehicles/CarOnRoad.h"

namespace kestrune {
namespace {

struct TrafficTest : testing_support::CarOnRoad {
  TrafficTest() : CarOnRoad(11) {}
  void Move(int frames = 1) {
    for (int i = 0; i < frames; ++i) traffic->MoveSelf(GameState.FrameTimeMs);
  }
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
  for (int slot = 11; slot <= TCar::Slots; ++slot)
    EXPECT_EQ(traffic->CarDir[static_cast<std::size_t>(slot)], 0);
  EXPECT_EQ(traffic->CarsAlive(), 10);

  // A level asking for all 200 slots fills them too, each on its own row.
  GameState.RoadLength = 1100;
  GameState.TrafficLevelValue = 200;
  traffic->ResetTraffic();
  EXPECT_EQ(traffic->CarsAlive(), 200);
}

// Several corner tables run round the car crosswise; the angle-sum test then also takes points a
// few pixels outside the car's box as inside. The traffic skips the full test for points further
// outside the box than its margin, which must never change an answer.
TEST(TrafficShapes, NoPointFarOutsideACarsBoxCountsAsInside) {
  for (int kind = 1; kind <= 5; ++kind) {
    for (int dir = 1; dir <= 6; ++dir) {
      const auto& c = TCar::CornerOffsets(kind, dir);
      double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
      for (const TPointD& p : c) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
      }
      int accepted = 0;
      for (double x = left - 200; x <= right + 200; x += 2)
        for (double y = top - 200; y <= bottom + 200; y += 2) {
          const double m = TCar::BoxMargin;
          const bool far = x < left - m || x > right + m || y < top - m || y > bottom + m;
          if (far) accepted += PointInQuad({x, y}, c[0], c[1], c[2], c[3]);
        }
      EXPECT_EQ(accepted, 0) << "kind " << kind << ", direction " << dir;
    }
  }
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
  EmptyTraffic();
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), -1000);
  Place(6, 1, TCar::DirDown, -5, DownLaneX(1), -1000);
  Move(10);
  EXPECT_DOUBLE_EQ(traffic->ScreenY(1), -1000 - 30);
  EXPECT_DOUBLE_EQ(traffic->ScreenY(6), -1000 + 25);
  EXPECT_FALSE(traffic->CarOnScreen[1]);
}

// A car is on the screen (drawn, hit by the player and by rockets) while its top-left corner,
// rounded, lies within -170..870 across and -240..601 down: the last position inside each bound
// and the first outside it. A car reaching up from the bottom edge is drawn there.
TEST_F(TrafficTest, ACarIsOnTheScreenWithinItsBoundsAndDrawnAtTheBottomEdge) {
  struct Case {
    double x, y;
    bool onScreen;
  };
  const Case cases[] = {
      {-170, 100, true}, {-170.6, 100, false}, {870, 100, true}, {871, 100, false},
      {100, -240, true}, {100, -241, false},   {100, 601, true}, {100, 601.6, false}, {100, 602, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "at (" << c.x << ", " << c.y << ")");
    EmptyTraffic();
    Place(1, 1, TCar::DirUp, 0, c.x, c.y);
    traffic->CarOnScreen[1] = !c.onScreen;
    Move();
    EXPECT_EQ(traffic->CarOnScreen[1], c.onScreen);
  }
  // The first kind is 134 pixels long: from 560 down its nose shows on the last rows.
  EmptyTraffic();
  Place(1, 1, TCar::DirUp, 0, 100, 560);
  Move();
  world.surface.Fill(0);
  traffic->DrawCars();
  EXPECT_NE(world.surface.Row(599)[150], 0);
  EXPECT_EQ(world.surface.Row(559)[150], 0);
}

// Contacts with the player: the kind of collision follows from the car's speed and where it is.
TEST_F(TrafficTest, OneHitPerContactAndTheRightReaction) {
  struct Case {
    const char* name;
    int dir, speed;
    double screenY;
    double speedAfter;  // the player's speed after the contact, from 50
    bool explodes;
    double shiftX;  // sideways from the middle of the player's lane
  };
  const Case cases[] = {
      // The player runs into an up-lane car ahead: both speeds x 0.2.
      {"rear-end", TCar::DirUp, 6, 300, 10, false, 0},
      // An up-lane car behind runs into the player and shoves it to 90.
      {"shoved", TCar::DirUp, 6, 450, 90, false, 0},
      // Tops level (the car moves 3 up before the test): still the player's fault; one lower, not.
      // (Half a car to the side, so that a corner of the player lies inside the car.)
      {"tops level", TCar::DirUp, 6, 403, 10, false, 30},
      {"a pixel lower", TCar::DirUp, 6, 404, 90, false, 30},
      // Head-on with a down-lane car: the player bounces back and the car explodes.
      {"head-on", TCar::DirDown, -5, 300, -10, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyTraffic();
    car->HitsLeft = 3;
    car->Speed = 50;
    world.played.clear();
    // In the player's lane, whichever way the car drives.
    const double x = UpLaneX(1) + c.shiftX;
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
  EmptyTraffic();
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

// A shove from behind that is the car's third hit leaves a standing wreck, not one driving on
// at the shove's speed.
TEST_F(TrafficTest, AShoveThatCrashesTheCarLeavesTheWreckStanding) {
  EmptyTraffic();
  car->HitsLeft = 1;
  car->Speed = 50;
  Place(1, 1, TCar::DirUp, 6, UpLaneX(1), 450);
  Move();
  EXPECT_TRUE(car->Crashed);
  EXPECT_EQ(car->Speed, 0);
}

TEST_F(TrafficTest, ACarOnTheRestartPointVanishesHarmlessly) {
  EmptyTraffic();
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
  EmptyTraffic();
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

// A shift between map rows 1400 and 1399: below it the road lies at columns 321..324, above it
// one column to the right (322..325) or to the left (320..323). Cars slant across it and
// straighten in the same lane of the shifted road.
TEST_F(TrafficTest, CarsFollowAShiftEitherWay) {
  struct Case {
    const char* name;
    int shift;                             // columns the road moves over going up
    std::array<int, 4> lower, upper;       // the shift's two rows, left to right
    std::uint8_t upSlant, downSlant;       // the slant each lane's car takes across it
  };
  const Case cases[] = {
      {"right", +1, {5, 6, 7, 8}, {9, 10, 11, 12}, TCar::DirUpRight, TCar::DirDownLeft},
      {"left", -1, {16, 15, 14, 13}, {20, 19, 18, 17}, TCar::DirUpLeft, TCar::DirDownRight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RoadMap.Fill(0);
    const int above = 321 + c.shift;  // the left edge above the shift
    for (int row = 1; row <= TRoadMap::Rows; ++row)
      if (row < 1399 || row > 1400)
        for (int k = 0; k < 4; ++k) RoadMap.Set(row, (row < 1399 ? above : 321) + k, 1 + k);
    for (int k = 0; k < 4; ++k) {
      RoadMap.Set(1400, 321 + k, static_cast<std::uint8_t>(c.lower[static_cast<std::size_t>(k)]));
      RoadMap.Set(1399, above + k, static_cast<std::uint8_t>(c.upper[static_cast<std::size_t>(k)]));
    }
    EmptyTraffic();
    MapRowOffset = 1300;  // keep the cars away from the player
    const double upX = TCar::UpLaneOffset(1) + 323.0 * kCell;                  // below the shift
    const double downX = TCar::DownLaneOffset(1) + (above + 1.0) * kCell;      // above it
    auto place = [&](int slot, int dir, int speed, double x, double y) {
      Place(slot, 1, dir, speed, x - MapColumnOffset * kCell, y - MapRowOffset * kCell);
    };
    place(1, TCar::DirUp, 6, upX, 1402.0 * kCell);
    place(2, TCar::DirDown, -5, downX, 1394.0 * kCell);
    bool slanted[3] = {};
    for (int i = 0; i < 300; ++i) {
      Move();
      slanted[1] = slanted[1] || traffic->CarDir[1] == c.upSlant;
      slanted[2] = slanted[2] || traffic->CarDir[2] == c.downSlant;
    }
    EXPECT_TRUE(slanted[1]);
    EXPECT_TRUE(slanted[2]);
    EXPECT_EQ(traffic->CarDir[1], TCar::DirUp);
    EXPECT_EQ(traffic->CarDir[2], TCar::DirDown);
    EXPECT_LT(traffic->CarY[1], 1397.0 * kCell);
    EXPECT_GT(traffic->CarY[2], 1402.0 * kCell);
    // Each car ends up about one column over, in the same lane of the shifted road.
    EXPECT_NEAR(traffic->CarX[1], upX + c.shift * kCell, 12);
    EXPECT_NEAR(traffic->CarX[2], downX - c.shift * kCell, 12);
  }
}

TEST_F(TrafficTest, CarsLeavingTheMapComeBackInTheOtherLane) {
  EmptyTraffic();
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
  EmptyTraffic();
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
