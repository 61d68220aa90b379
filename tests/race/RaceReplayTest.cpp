#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "game/GameState.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Traffic.h"

namespace kestrune {
namespace {

std::map<std::string, std::string> Summary(const TReplayResult& result) {
  return {result.Summary.begin(), result.Summary.end()};
}

// The whole game on the headless back end with the built data: the script starts a level 1 race
// and holds Up for two seconds at 85 Hz once the level announcement is over. The announcement
// (2000 ms: 15 ms in the first frame, then 11 ms a frame) ends in frame 182, so race frame k is
// frame 182 + k.
TEST(RaceReplay, HoldingUpForTwoSecondsOnLevelOne) {
  TReplayRunner runner(
      ParseReplayScript("seed 5\n"
                        "refresh 85\n"
                        "frames 382\n"
                        "race 1 1\n"
                        "@202 keydown Up\n"
                        "@372 keyup Up\n"));
  const TReplayResult result = runner.Run();
  ASSERT_TRUE(result.Started);
  auto s = Summary(result);
  EXPECT_EQ(s["Screen"], "7");
  EXPECT_EQ(s["Overlay"], "0");
  EXPECT_EQ(s["Level"], "1");
  EXPECT_EQ(s["Heading"], "0");
  EXPECT_EQ(s["Crashed"], "false");
  EXPECT_EQ(s["HitsLeft"], "3");
  EXPECT_EQ(s["MapColumnOffset"], "318");
  // Up goes down before race frame 20 and up before race frame 190; the car uses the keys copied
  // in the frame before, so it accelerates in race frames 21 to 190: 170 steps up to Speed 48.75,
  // then ten frames of coasting at 0.05 a frame.
  EXPECT_NEAR(std::stod(s["Speed"]), 48.25, 0.01);
  // The window moved up four rows (the first right away).
  EXPECT_EQ(s["MapRowOffset"], "1484");
  EXPECT_EQ(std::stoi(s["TimeLeft"]), 54000 - 200 * 11);
}

// A driver for the replay: after every frame it looks 250 pixels up the road from the car,
// steers for the middle of the road it is on there and holds the speed near 140, as a player in a hurry
// would. It stops driving once the level has changed.
struct RoadDriver {
  static constexpr int kLeft = 0x25, kUp = 0x26, kRight = 0x27;

  void Steer(HeadlessPlatform& platform) {
    const TPlayer* car = RacePlayer;
    if (!car || GameState.Level != 1) {
      platform.ReleaseAllKeys();
      return;
    }
    const double carX = MapColumnOffset * 72.0 - RaceRoadX() + car->X + car->Width / 2.0;
    const double carY = MapRowOffset * 72.0 - RaceRoadY() + car->Y + car->Height / 2.0;
    const int row = static_cast<int>(carY - 250) / 72;
    const int column = static_cast<int>(carX) / 72;
    // The run of road cells nearest the car's column in that row.
    int from = column, to = column;
    for (int d = 0; d < 8 && !IsRoadCode(RoadMap.Get(row, from)); ++d)
      from = to = column + (d % 2 ? -(d / 2 + 1) : d / 2 + 1);
    // One road only: a left edge (1) or a right edge (4) ends it even where a second road lies
    // right beside it.
    while (RoadMap.Get(row, from) != 1 && IsRoadCode(RoadMap.Get(row, from - 1))) --from;
    while (RoadMap.Get(row, to) != 4 && IsRoadCode(RoadMap.Get(row, to + 1))) ++to;
    const double target = 72.0 * (from + to + 1) / 2;
    const double wanted = std::clamp(std::atan2(target - carX, 250.0) * 128 / std::numbers::pi, -20.0, 20.0);
    platform.SetKey(kRight, car->Heading < wanted - 0.5);
    platform.SetKey(kLeft, car->Heading > wanted + 0.5);
    platform.SetKey(kUp, car->Speed < 140 && !RaceFinishReached());
    // The moment the car stands after crossing the line: what it has scored and the time left.
    if (RaceFinishReached() && car->Speed > 0) {
      scoreAtStop = GameState.Score;
      timeAtStop = GameState.TimeLeft;
    }
    if (RaceFinishReached() && finishFrame < 0) finishFrame = frames;
    ++frames;
  }

  std::int32_t scoreAtStop = -1, timeAtStop = -1;
  std::int64_t frames = 0, finishFrame = -1;
};

TEST(RaceReplay, DrivesLevelOneToItsFinishAndOnToLevelTwo) {
  TReplayRunner runner(ParseReplayScript("seed 3\nrefresh 85\nframes 5000\nrace 1 1\n"));
  RoadDriver driver;
  runner.AfterFrame = [&](TMForm&, std::int64_t) { driver.Steer(runner.Platform()); };
  const TReplayResult result = runner.Run();
  auto s = Summary(result);
  ASSERT_GT(driver.finishFrame, 0) << "progress " << s["Progress"];
  EXPECT_EQ(s["Level"], "2");
  EXPECT_GE(std::stoi(s["Lives"]), 1);  // the traffic may have cost one
  EXPECT_EQ(s["FinishReached"], "false");
  EXPECT_EQ(s["Progress"], "0.000000");
  // Once the car stood, the time left was paid at 5 points a whole second.
  ASSERT_GT(driver.timeAtStop, 0);
  EXPECT_EQ(std::stoi(s["Score"]), driver.scoreAtStop + 5 * (driver.timeAtStop / 1000));
  // Level 2 has run since the pay-out (ten times the clock's speed) ended.
  const int payoutFrames = driver.timeAtStop / 110 + 1;
  EXPECT_GT(std::stoi(s["TimeLeft"]), 90000 - 11 * (5000 - driver.finishFrame - payoutFrames));
  EXPECT_LT(std::stoi(s["TimeLeft"]), 90000);
  EXPECT_GT(std::stoi(s["PedestriansAlive"]), 100);
  EXPECT_EQ(s["PedestriansLying"], "0");
}

TEST(RaceReplay, StartsAtTheGivenLevelAndCar) {
  TReplayRunner runner(ParseReplayScript("race 6 3\nframes 2\n"));
  auto s = Summary(runner.Run());
  EXPECT_EQ(s["Level"], "6");
  EXPECT_EQ(s["Lives"], "3");
  // The level announcement holds the clock.
  EXPECT_EQ(s["Overlay"], "6");
  EXPECT_EQ(s["TimeLeft"], "234000");
  // The road's objects are those of level 6: pedestrians along its 1300 rows, the finish ahead.
  EXPECT_GT(std::stoi(s["PedestriansAlive"]), 400);
  EXPECT_EQ(s["Progress"], "0.000000");
  EXPECT_THROW(ParseReplayScript("race 1 7\n"), EReplayScriptError);
  EXPECT_THROW(ParseReplayScript("race 0 1\n"), EReplayScriptError);
}

// Counts, frame by frame, the hits the car takes, those taken while touching a traffic car, and
// its crashes.
struct HitCounter {
  int hits = 0, trafficHits = 0, crashes = 0;
  std::int32_t hitsLeft = 3;
  bool crashed = false;
  void operator()(TMForm&, std::int64_t) {
    const TPlayer* p = RacePlayer;
    if (!p) return;
    if (p->HitsLeft != hitsLeft || (p->Crashed && !crashed)) {
      ++hits;
      bool touching = false;
      for (bool contact : RaceTraffic->CarContact) touching = touching || contact;
      trafficHits += touching;
    }
    crashes += p->Crashed && !crashed;
    hitsLeft = p->HitsLeft;
    crashed = p->Crashed;
  }
};

// Level 2 with the accelerator held and no steering: the car runs into the traffic of its lane
// until the third hit costs a life; it restarts on the road's edge and drives on.
TEST(RaceReplay, DrivingIntoTheTrafficOnLevelTwo) {
  TReplayRunner runner(
      ParseReplayScript("seed 12\n"
                        "refresh 85\n"
                        "frames 2200\n"
                        "race 2 1\n"
                        "@200 keydown Up\n"));
  HitCounter count;
  runner.AfterFrame = [&count](TMForm& form, std::int64_t frame) { count(form, frame); };
  auto s = Summary(runner.Run());
  EXPECT_GE(count.trafficHits, 3);
  ASSERT_GE(count.crashes, 1);
  EXPECT_EQ(s["Lives"], std::to_string(3 - count.crashes));
  EXPECT_EQ(s["HitsLeft"], std::to_string(count.hitsLeft));
  EXPECT_EQ(s["Crashed"], count.crashed ? "true" : "false");
  EXPECT_EQ(s["CarVisible"], "true");
  EXPECT_EQ(s["Level"], "2");
}

// On level 5 the same driving loses all three lives: the last wreck is hidden and the game-over
// window opens.
TEST(RaceReplay, LosingTheLastLifeOnLevelFive) {
  TReplayRunner runner(
      ParseReplayScript("seed 5\n"
                        "refresh 85\n"
                        "frames 16000\n"
                        "race 5 1\n"
                        "@200 keydown Up\n"));
  HitCounter count;
  bool gameOver = false, carVisibleAtGameOver = true;
  std::int32_t livesAtGameOver = -1;
  runner.AfterFrame = [&](TMForm& form, std::int64_t frame) {
    count(form, frame);
    if (!gameOver && GameState.Overlay == OverlayGameOver) {
      gameOver = true;
      carVisibleAtGameOver = RacePlayer && RacePlayer->Visible;
      livesAtGameOver = GameState.Lives;
    }
  };
  runner.Run();
  EXPECT_EQ(count.crashes, 3);
  EXPECT_TRUE(gameOver);
  EXPECT_FALSE(carVisibleAtGameOver);
  EXPECT_EQ(livesAtGameOver, 0);
}

// A rocket projector picked up at the start unfolds and fires while Z is held.
TEST(RaceReplay, ABonusWeaponFiresFromTheKeyboard) {
  TReplayRunner runner(
      ParseReplayScript("seed 2\n"
                        "refresh 85\n"
                        "frames 292\n"
                        "race 1 1\n"
                        "@187 bonus 4\n"
                        "@242 keydown Z\n"));
  auto s = Summary(runner.Run());
  EXPECT_EQ(s["Weapon"], "4");
  EXPECT_EQ(s["WeaponStage"], "6");
  // After the level announcement (182 frames): shots at frames 243 and 243 + 500 ms.
  EXPECT_EQ(s["Ammo"], "18");
  EXPECT_EQ(s["RocketsFlying"], "2");
  EXPECT_THROW(ParseReplayScript("@5 bonus 5\n"), EReplayScriptError);
}

}  // namespace
}  // namespace kestrune
