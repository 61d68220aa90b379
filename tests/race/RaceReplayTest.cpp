#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/headless/ReplayRunner.h"
#include "platform/headless/ReplayScript.h"
#include "race/Race.h"
#include "shell/GameState.h"
#include "vehicles/Player.h"
#include "vehicles/Traffic.h"

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

TEST(RaceReplay, StartsAtTheGivenLevelAndCar) {
  TReplayRunner runner(ParseReplayScript("race 6 3\nframes 2\n"));
  auto s = Summary(runner.Run());
  EXPECT_EQ(s["Level"], "6");
  EXPECT_EQ(s["Lives"], "3");
  // The level announcement holds the clock.
  EXPECT_EQ(s["Overlay"], "6");
  EXPECT_EQ(s["TimeLeft"], "234000");
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
      ParseReplayScript("seed 2\n"
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
