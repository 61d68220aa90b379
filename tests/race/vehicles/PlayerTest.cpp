#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fixtures/RaceWorld.h"
#include "race/vehicles/Player.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

struct PlayerTest : ::testing::Test {
  PlayerTest() {
    RaceWorld::FlatMap(0, true);
    car = TPlayer::Create(365, 400);
    RacePlayer = car;
  }
  void Drive(int frames) {
    for (int i = 0; i < frames; ++i) car->MoveSelf(GameState.FrameTimeMs);
  }
  RaceWorld world;
  TPlayer* car = nullptr;
};

TEST_F(PlayerTest, CreatedFromTheCarPicture) {
  EXPECT_EQ(car->Parent, &world.engine);
  EXPECT_EQ(car->Z(), 9);
  EXPECT_EQ(car->HitsLeft, 3);
  EXPECT_EQ(car->WeaponStage, 1);
  EXPECT_DOUBLE_EQ(car->PivotX, 365 + 32);
  EXPECT_DOUBLE_EQ(car->PivotY, 400 + 64);
  EXPECT_NEAR(car->WheelRadius, std::sqrt(64.0 * 64 + 32 * 32) - 25, 1e-9);
  // Corners of car 1 (G = 65) straight up: symmetric about the pivot, front ones above it.
  EXPECT_NEAR(car->Corners[0].x + car->Corners[1].x, 2 * car->PivotX, 1e-9);
  EXPECT_LT(car->Corners[0].y, car->PivotY);
  EXPECT_GT(car->Corners[2].y, car->PivotY);
  EXPECT_NEAR(car->Corners[1].x - car->Corners[0].x,
              2 * 0.95 * 32.5 * car->CornerRadius / std::hypot(64, 32.5), 0.3);
  EXPECT_EQ(car->LeftFlame->X, 373);
  EXPECT_EQ(car->RightFlame->X, 365 + 64 - 24);
  EXPECT_FALSE(car->LeftFlame->Visible);
  EXPECT_FALSE(car->WeaponSprite->Visible);
  EXPECT_EQ(LastMarkSlot, 1);
}

TEST(PlayerModel, AccelerationAndCoastingCurves) {
  EXPECT_DOUBLE_EQ(TPlayer::Acceleration(0), 0.3);
  EXPECT_DOUBLE_EQ(TPlayer::Acceleration(-5), 0.3);
  EXPECT_DOUBLE_EQ(TPlayer::Acceleration(38), 0.3);
  EXPECT_LT(TPlayer::Acceleration(38.5), 0.3);
  EXPECT_NEAR(TPlayer::Acceleration(100), 0.0707, 1e-4);
  EXPECT_NEAR(TPlayer::Acceleration(160), 0.0349, 1e-4);
  EXPECT_NEAR(TPlayer::CoastingDeceleration(100), 0.1146, 1e-4);
  EXPECT_DOUBLE_EQ(TPlayer::CoastingDeceleration(30), 0.05);
  EXPECT_DOUBLE_EQ(TPlayer::CoastingDeceleration(-10), 0);
}

TEST_F(PlayerTest, UpReachesTopSpeedAndNoFurther) {
  car->KeyUp = true;
  Drive(1);
  EXPECT_DOUBLE_EQ(car->Speed, 0.3);
  EXPECT_DOUBLE_EQ(car->Velocity, 0.03);
  Drive(2500);
  // Past 160 the coasting deceleration takes over, so the speed saws just around 160.
  double highest = 0, lowest = 1000;
  for (int i = 0; i < 100; ++i) {
    Drive(1);
    highest = std::max(highest, car->Speed);
    lowest = std::min(lowest, car->Speed);
  }
  EXPECT_GT(highest, 160);
  EXPECT_LE(highest, 160.035);
  EXPECT_GT(lowest, 159.8);
  EXPECT_EQ(car->Heading, 0);
}

TEST_F(PlayerTest, CoastingSlowsForwardButNotBackward) {
  car->Speed = 100;
  Drive(1);
  EXPECT_NEAR(car->Speed, 100 - 0.1146, 1e-4);
  car->Speed = -10;
  Drive(5);
  EXPECT_DOUBLE_EQ(car->Speed, -10);
}

TEST_F(PlayerTest, DownBrakesThenReversesToMinus15AndSteeringTurnsRound) {
  car->KeyDown = true;
  Drive(200);
  EXPECT_DOUBLE_EQ(car->Speed, -15);
  car->KeyLeft = true;
  Drive(10);
  EXPECT_GT(car->SteerAngle, 0);  // reversing: Left turns the other way
  car->KeyDown = car->KeyLeft = false;
  car->Speed = 50;
  car->SteerAngle = 0;
  car->Velocity = 5;
  car->KeyLeft = true;
  Drive(2);
  EXPECT_LT(car->SteerAngle, 0);
}

TEST_F(PlayerTest, CannotReversePastTheBottomOfTheMap) {
  MapRowOffset = TRoadMap::MaxRowOffset;
  car->KeyDown = true;
  Drive(20);
  EXPECT_EQ(car->Speed, 0);
  EXPECT_EQ(car->Velocity, 0);
}

TEST_F(PlayerTest, HandbrakeStopsSteeringAndSnapsToZero) {
  car->Speed = 100;
  car->Velocity = 10;
  car->KeyHandbrake = true;
  car->KeyLeft = true;
  Drive(1);
  EXPECT_DOUBLE_EQ(car->Speed, 100 - 0.6);
  EXPECT_EQ(car->SteerAngle, 0);
  car->Speed = 0.8;
  Drive(1);
  EXPECT_EQ(car->Speed, 0);
  car->Speed = -0.9;
  Drive(1);
  EXPECT_EQ(car->Speed, 0);
}

TEST_F(PlayerTest, OffRoadDragAbove80) {
  RaceWorld::FlatMap(0, false);
  car->Speed = 120;
  car->KeyUp = true;
  Drive(1);
  EXPECT_FALSE(car->OnRoad);
  EXPECT_NEAR(car->Speed, 120 + TPlayer::Acceleration(120) - 0.5, 1e-9);
  Drive(200);
  EXPECT_LE(car->Speed, 80);
  EXPECT_GT(car->Speed, 79);
}

TEST_F(PlayerTest, RoadTilesByMapPixel) {
  EXPECT_TRUE(TPlayer::IsOnRoadTile(321 * 72, 1490 * 72));
  EXPECT_TRUE(TPlayer::IsOnRoadTile(324 * 72 + 71, 1490 * 72 + 71));
  EXPECT_FALSE(TPlayer::IsOnRoadTile(325 * 72, 1490 * 72));
  EXPECT_FALSE(TPlayer::IsOnRoadTile(-5, -5));
}

TEST_F(PlayerTest, HornOncePerKeyPress) {
  car->KeyHorn = true;
  Drive(30);
  EXPECT_EQ(world.Count("Horn"), 1);
  car->KeyHorn = false;
  Drive(1);
  EXPECT_EQ(world.playing.count("Horn"), 0u);
  car->KeyHorn = true;
  Drive(5);
  EXPECT_EQ(world.Count("Horn"), 2);
}

TEST_F(PlayerTest, EngineSoundsClimbThroughTheGears) {
  car->KeyUp = true;
  Drive(3000);
  const std::vector<std::string> expected = {"Accel1", "Shift", "Accel2", "Shift", "Accel3", "Shift",
                                             "Accel4", "Shift", "Accel4", "Shift", "Accel4", "Maxed"};
  EXPECT_EQ(world.played, expected);
  EXPECT_TRUE(car->EngineSound.Maxed);
  EXPECT_EQ(world.playing, std::set<std::string>{"Maxed"});  // each switch stops the others

  world.played.clear();
  car->KeyUp = false;
  Drive(1);
  EXPECT_EQ(world.played, std::vector<std::string>{"Slowed"});
  car->KeyHandbrake = true;
  Drive(1);
  EXPECT_TRUE(car->EngineSound.Brake);
  Drive(400);
  EXPECT_EQ(car->Speed, 0);
  EXPECT_TRUE(car->EngineSound.Neutral);

  // Off the road the engine idles.
  car->KeyHandbrake = false;
  RaceWorld::FlatMap(0, false);
  car->KeyUp = true;
  world.played.clear();
  Drive(3);
  EXPECT_EQ(world.played, std::vector<std::string>{});  // already Neutral
  EXPECT_TRUE(car->EngineSound.Neutral);
}

TEST_F(PlayerTest, BumpAndReboundResumeTheEngineSound) {
  car->Speed = 100;
  car->Velocity = 10;
  car->SwitchEngineSound("Accel2");
  world.played.clear();
  car->Bump(-0.2);
  EXPECT_DOUBLE_EQ(car->Speed, -20);
  EXPECT_DOUBLE_EQ(car->Velocity, -2);
  EXPECT_EQ(world.played, (std::vector<std::string>{"Accel4", "Collision"}));

  car->Rebound(-100);
  EXPECT_DOUBLE_EQ(car->Speed, 100);  // against its (negative) sign
  EXPECT_TRUE(car->Bounced);
  const double steer = car->SteerAngle;
  car->KeyLeft = true;
  Drive(1);  // the move after a rebound only clears the flag
  EXPECT_FALSE(car->Bounced);
  EXPECT_EQ(car->SteerAngle, steer);
  EXPECT_DOUBLE_EQ(car->Speed, 100);
}

TEST_F(PlayerTest, HandbrakeLaysMarksUntilAllHundredAreUsed) {
  car->Speed = 60;
  car->Velocity = 6;
  car->KeyHandbrake = true;
  Drive(1);
  int used = 0;
  for (const TSkidMark& m : SkidMarks) used += m.Used;
  EXPECT_EQ(used, 2);
  EXPECT_FALSE(SkidMarks[1].Blood);
  EXPECT_TRUE(SkidMarks[1].Shown);

  // Fill the table with marks on screen: nothing more is laid.
  for (int slot = 1; slot <= SkidMarkSlots; ++slot)
    SkidMarks[static_cast<std::size_t>(slot)] = {10.0 * (slot % 60), 300, 0, true, false, true};
  LastMarkSlot = 1;
  car->Speed = 60;
  Drive(1);
  for (const TSkidMark& m : SkidMarks) EXPECT_TRUE(&m == &SkidMarks[0] || m.Used);
  EXPECT_DOUBLE_EQ(SkidMarks[100].X, 10.0 * 40);
  // Marks leaving the 700 x 600 area are freed and the slots used again.
  SkidMarks[5].X = 701;
  car->Speed = 60;
  Drive(1);
  Drive(1);
  EXPECT_TRUE(SkidMarks[5].Used);
  EXPECT_NE(SkidMarks[5].X, 701);
}

TEST_F(PlayerTest, BloodMarksStayHiddenAtFirst) {
  BloodCounter = 32;
  car->Speed = 20;
  car->Velocity = 2;
  Drive(1);
  EXPECT_EQ(BloodCounter, 30);
  EXPECT_TRUE(SkidMarks[1].Blood);
  EXPECT_FALSE(SkidMarks[1].Shown);
  EXPECT_FALSE(SkidMarks[2].Shown);
}

TEST_F(PlayerTest, TimeOverRollsOutAndPaysOutTheTime) {
  GameState.Lives = 2;
  GameState.TimeLeft = 2000;
  car->Speed = 8;
  car->TimeOver = true;
  Drive(1);
  EXPECT_TRUE(car->EndingStarted);
  EXPECT_TRUE(car->EngineSound.Neutral);
  EXPECT_DOUBLE_EQ(car->Speed, 7.2);
  EXPECT_EQ(GameState.TimeLeft, 2000);  // nothing paid while rolling
  while (car->Speed > 0) Drive(1);
  EXPECT_EQ(GameState.TimeLeft, 2000 - 110);  // the frame it stopped in already pays
  EXPECT_EQ(car->Speed, 0);                   // stops, does not creep backwards
  EXPECT_EQ(car->Velocity, 0);
  EXPECT_EQ(GameState.Score, 5);
  Drive(18);                       // 2000 ms at 110 ms a frame, the last step taking it below 0
  EXPECT_EQ(GameState.Score, 10);  // 5 points a whole second: 2000 -> 1890 and 1010 -> 900
  EXPECT_EQ(GameState.Lives, 1);
  EXPECT_EQ(world.overlays, std::vector<int>{OverlayTimeOver});

  // On the last life it is game over instead, and the car disappears.
  world.overlays.clear();
  GameState.TimeLeft = -1;
  Drive(1);
  EXPECT_EQ(GameState.Lives, 0);
  EXPECT_EQ(world.overlays, std::vector<int>{OverlayGameOver});
  EXPECT_FALSE(car->Visible);
}

}  // namespace
}  // namespace kestrune
