#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "race/Bonuses.h"
#include "race/Finish.h"
#include "race/Hud.h"
#include "race/Lamps.h"
#include "race/Pedestrians.h"
#include "race/RoadGenerator.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Player.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

struct RaceTest : ::testing::Test {
  RaceTest() {
    RandomSeed(2024);
    StartRace();
  }
  ~RaceTest() override {
    if (RaceRoad) EndRace();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RaceFrame(static_cast<std::uint32_t>(GameState.FrameTimeMs));
  }
  // How far up the road the window has travelled since the start, in pixels.
  static double Travelled() { return (1488 - MapRowOffset) * 72.0 + RaceRoad->Y; }
  RaceWorld world;
};

TEST_F(RaceTest, StartsAtLevelOneWithAFreshRoad) {
  EXPECT_EQ(GameState.Screen, ScreenRace);
  EXPECT_EQ(GameState.Level, 1);
  EXPECT_EQ(GameState.RoadLength, 300);
  EXPECT_EQ(GameState.TimeLeft, 54000);
  EXPECT_EQ(GameState.Lives, 3);
  EXPECT_EQ(GameState.Score, 0);
  ASSERT_NE(RaceRoad, nullptr);
  ASSERT_NE(RacePlayer, nullptr);
  EXPECT_EQ(RacePlayer->X, 365);
  EXPECT_EQ(RacePlayer->Y, 400);
  EXPECT_EQ(RaceRoad->GetChip(5, 5), RoadMap.Get(1493, 323));
  EXPECT_EQ(world.overlays, std::vector<int>{OverlayLevel});
  // The road sprite moves first, the player after it.
  EXPECT_EQ((*world.engine.Children())[0], RaceRoad);

  const std::uint64_t first = RoadMap.Hash();
  SetupLevel(3);
  EXPECT_NE(RoadMap.Hash(), first);
  EXPECT_EQ(GameState.RoadLength, 700);
  EXPECT_EQ(MapRowOffset, 1488);
}

TEST_F(RaceTest, AStartAtALevelGeneratesOnlyThatLevelsRoad) {
  RandomSeed(99);
  StartRaceAt(3, 2);
  EXPECT_EQ(GameState.Level, 3);
  EXPECT_EQ(GameState.CarModel, 2);
  EXPECT_EQ(GameState.RoadLength, 700);
  const std::uint64_t started = RoadMap.Hash();
  RandomSeed(99);
  GenerateRoadMap(700);
  EXPECT_EQ(RoadMap.Hash(), started);
}

TEST_F(RaceTest, HoldingUpForTwoSecondsDrivesUpTheRoad) {
  world.held = {0};  // Up
  GameState.FrameTimeMs = 11;
  GameState.SpeedScale = 1.0;
  Frames(170);
  // Each frame the road moves first, by the velocity of the frame before; the car reacts to the
  // keys copied after the previous frame's moves.
  double speed = 0, distance = 0;
  bool up = false;
  for (int i = 0; i < 170; ++i) {
    distance += 0.5 * speed / 10;
    if (up) speed += TPlayer::Acceleration(speed);
    up = true;
  }
  EXPECT_NEAR(RacePlayer->Speed, speed, 1e-9);
  EXPECT_GT(speed, 40);
  EXPECT_EQ(RacePlayer->Heading, 0);
  EXPECT_NEAR(ScrollVelocityY, speed / 10, 1e-9);
  EXPECT_EQ(ScrollVelocityX, 0);
  EXPECT_NEAR(Travelled(), distance, 1e-6);
  EXPECT_LT(MapRowOffset, 1488);
  EXPECT_EQ(GameState.TimeLeft, 54000 - 170 * 11);
}

TEST_F(RaceTest, ASecondCoversTheSameRoadAt60And85Hertz) {
  world.held = {0};
  auto drive = [&](int rate) {
    EndRace();
    RandomSeed(2024);
    StartRace();
    GameState.SpeedScale = 85.0 / rate;
    GameState.FrameTimeMs = 1000 / rate;
    Frames(rate * 3);
    return std::pair(Travelled(), RacePlayer->Speed);
  };
  const auto [at60, speed60] = drive(60);
  const auto [at85, speed85] = drive(85);
  EXPECT_GT(at85, 300);
  EXPECT_NEAR(at60, at85, 4.0);
  EXPECT_NEAR(speed60, speed85, 0.5);
}

TEST_F(RaceTest, CountdownTicksThroughTheLastTenSeconds) {
  GameState.TimeLeft = 12000;
  Frames(100);  // down to 10900
  EXPECT_EQ(world.Count("Tick"), 0);
  EXPECT_EQ(GameState.TimeLeft, 10900);
  Frames(200);  // down to 8700, past 10 and 9 s
  EXPECT_EQ(world.Count("Tick"), 2);

  // With the finish reached the countdown stands still (the car still rolls, so nothing is paid
  // out yet either).
  RaceFinish->Reached = true;
  RacePlayer->Speed = 50;
  Frames(3);
  EXPECT_EQ(GameState.TimeLeft, 8700);
  RaceFinish->Reached = false;

  // The time runs out: the car's TimeOver is set.
  RacePlayer->Speed = 0;
  RacePlayer->EndingStarted = false;
  GameState.TimeLeft = 30;
  Frames(1);
  EXPECT_EQ(GameState.TimeLeft, 19);
  EXPECT_FALSE(RacePlayer->TimeOver);
  Frames(1);
  EXPECT_EQ(GameState.TimeLeft, 8);
  EXPECT_TRUE(RacePlayer->TimeOver);
}

TEST_F(RaceTest, CrossingTheFinishPaysOutTheTimeAndStartsTheNextLevel) {
  // Managers move in creation order after the road, the dashboard after them, the car last.
  const std::vector<TSprite*>& order = *world.engine.Children();
  auto at = [&](const TSprite* sprite) {
    return std::find(order.begin(), order.end(), sprite) - order.begin();
  };
  EXPECT_EQ(at(RaceRoad), 0);
  EXPECT_LT(at(RaceLamps), at(RaceMen));
  EXPECT_LT(at(RaceMen), at(RaceBonuses));
  EXPECT_LT(at(RaceBonuses), at(RaceFinish));
  EXPECT_LT(at(RaceFinish), at(RaceHud.Panel));
  EXPECT_LT(at(RaceHud.WeaponIcon), at(RacePlayer));

  // The window just past the line of level 1 (map row 1250), the car standing.
  for (int n = 1; n <= TBonus::Slots; ++n) RaceBonuses->Slot(n).Active = false;
  EXPECT_EQ(RaceFinish->LinePosition, 90000);
  MapRowOffset = 1244;
  GameState.TimeLeft = 3000;
  Frames(1);
  EXPECT_TRUE(RaceFinish->Reached);
  // The countdown stands; the pay-out runs at ten times the speed, 5 points a whole second.
  EXPECT_EQ(GameState.TimeLeft, 3000 - 110);
  EXPECT_EQ(GameState.Score, 5);
  Frames(26);  // down to 30 ms
  EXPECT_EQ(GameState.Score, 15);
  EXPECT_EQ(GameState.Level, 1);
  Frames(1);
  EXPECT_EQ(GameState.Level, 2);
  EXPECT_EQ(GameState.Score, 15);
  EXPECT_EQ(GameState.TimeLeft, 90000 - 11);  // the new level's clock runs from the same frame
  EXPECT_FALSE(RaceFinish->Reached);
  EXPECT_EQ(RaceFinish->LinePosition, 111600 - 72 * 500);
  EXPECT_EQ(RaceBonuses->UsedSlots(), 20);
  EXPECT_EQ(RaceMen->SlotsUsed(), 2 * 99);
  EXPECT_EQ(MapRowOffset, 1488);
}

TEST_F(RaceTest, EscAndPOpenTheirOverlays) {
  world.overlays.clear();
  GameState.KeyEdges.Esc = true;
  Frames(1);
  GameState.KeyEdges = {};
  GameState.KeyEdges.P = true;
  Frames(1);
  EXPECT_EQ(world.overlays, (std::vector<int>{OverlayExitToMenu, OverlayPause}));
}

TEST_F(RaceTest, EndRaceFreesEverything) {
  world.playing.insert("Horn");
  EndRace();
  EXPECT_EQ(GameState.Screen, ScreenNone);
  EXPECT_EQ(world.engine.Count(), 0);
  EXPECT_TRUE(world.engine.DeadList().empty());
  EXPECT_EQ(RaceRoad, nullptr);
  EXPECT_EQ(RacePlayer, nullptr);
  EXPECT_EQ(RaceMen, nullptr);
  EXPECT_EQ(RaceHud.Pointer, nullptr);
  EXPECT_TRUE(world.playing.empty());
}

}  // namespace
}  // namespace kestrune
